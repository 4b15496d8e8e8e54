// The status bar's notices and timers, the copy of the view to the
// clipboard, and the trace switches.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace specterm {
namespace {

class StatusPanelTest : public testing::FormTest {};

TEST_F(StatusPanelTest, ANoticeStaysUntilTheTimerOrTheNextRedraw) {
  frmMain& f = Open();
  f.Status().ShowStatusMessage("You have reached the zoom in limit!");
  EXPECT_EQ(f.sbStatus->PanelText("Status"), "You have reached the zoom in limit!");
  EXPECT_TRUE(f.timerStatus->isActive());
  f.View().UpdateView();
  EXPECT_EQ(f.sbStatus->PanelText("Status"), "");
  f.Status().ShowStatusMessage("again");
  f.timerStatus_Timer();
  EXPECT_EQ(f.sbStatus->PanelText("Status"), "");
  EXPECT_FALSE(f.timerStatus->isActive());
}

TEST_F(StatusPanelTest, DoubleClickOnThePointPanelWithoutAPointSaysSo) {
  frmMain& f = Open();
  f.sbStatus->PanelDblClick("CurPoint");
  EXPECT_EQ(f.sbStatus->PanelText("Status"), "There is no previously selected data point!");
  EXPECT_TRUE(f.timerStatus->isActive());
  EXPECT_EQ(forms::DialogSeam::BeepCount(), 1);
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, 0);
  // Other panels do nothing on a double click.
  f.timerStatus_Timer();
  f.sbStatus->PanelDblClick("Frequency");
  EXPECT_EQ(f.sbStatus->PanelText("Status"), "");
}

TEST_F(StatusPanelTest, ProgressShowsInTheStatusPanelOnlyWhileItRuns) {
  frmMain& f = Open();
  EXPECT_FALSE(f.pbStatus->isVisible());
  f.pbStatus->setValue(40);
  EXPECT_TRUE(f.pbStatus->isVisible());
  const QRect bar = f.pbStatus->geometry();
  const QRect panel(f.sbStatus->geometry().topLeft(),
                    QSize(f.sbStatus->PanelWidth("Status") / 15, f.sbStatus->height()));
  EXPECT_TRUE(panel.contains(bar)) << bar.x() << "," << bar.width();
  f.pbStatus->setValue(0);
  EXPECT_FALSE(f.pbStatus->isVisible());
}

TEST_F(StatusPanelTest, TheCoordinateLabelHidesWhenItsTimerFires) {
  frmMain& f = Open();
  f.cmdCoord->show();
  f.timerCoord->start();
  f.timerCoord_Timer();
  EXPECT_FALSE(f.cmdCoord->isVisible());
  EXPECT_FALSE(f.timerCoord->isActive());
}

TEST_F(StatusPanelTest, CopyPutsExactlyThePictureOnTheClipboard) {
  frmMain& f = Open();
  f.picSpectrum->Line(560, -100, 840, 100, 0x00FF00);
  f.picSpectrum->SetDrawMode(forms::vbInvert);
  f.picSpectrum->Circle(700, 0, 5, 0x00FFFF);
  f.picSpectrum->SetDrawMode(forms::vbCopyPen);
  QGuiApplication::clipboard()->setText("old");
  f.mnuViewCopy->trigger();
  const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
  const QImage picture = f.picSpectrum->Image().convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(copied.isNull());
  EXPECT_EQ(copied, picture);
}

TEST_F(StatusPanelTest, CopyWithThePrintingPaletteHasItsColours) {
  frmMain& f = Open();
  f.mnuOptionsPalette[1]->trigger();
  f.mnuViewCopy->trigger();
  const QImage copied = QGuiApplication::clipboard()->image();
  EXPECT_EQ(copied.pixel(5, 5), qRgb(255, 255, 255));
}

TEST_F(StatusPanelTest, TraceSwitchesKeepMenuButtonAndRowInStep) {
  frmMain& f = Open();
  f.tbMain->ClickButton("PeakHold");
  EXPECT_TRUE(f.mnuToolsPeakHold->isChecked());
  EXPECT_TRUE(f.tbMain->Pressed("PeakHold"));
  EXPECT_TRUE(f.Spectrum().Traces().TraceShown[kTracePeakHold]);
  f.mnuToolsPeakHold->trigger();
  EXPECT_FALSE(f.tbMain->Pressed("PeakHold"));
  EXPECT_FALSE(f.Spectrum().Traces().TraceShown[kTracePeakHold]);
  f.tbMain->ClickButton("CurrentTrace");
  EXPECT_FALSE(f.mnuToolsCurrentTrace->isChecked());
  EXPECT_FALSE(f.tbMain->Pressed("CurrentTrace"));
  EXPECT_FALSE(f.Spectrum().Traces().TraceShown[kTraceCurrent]);
}

TEST_F(StatusPanelTest, HidingTheRowOfTheLastSelectionForgetsIt) {
  frmMain& f = Open();
  const TraceStore& t = f.Spectrum().Traces();
  // Point 17 of the video average picked, then the next point: 17 is the
  // last selected point, on the video average row.
  f.mnuToolsVideoAverage->trigger();
  f.mnuToolsCurrentTrace->trigger();
  ShowBlock(f, blocks::CarrierBlock({{600, 60}}, 6));
  f.tbMain_ButtonClick("ZoomFitView");
  f.picSpectrum_MouseDown(1, 0, t.TraceX[kTraceVideoAverage][16], -t.TraceY[kTraceVideoAverage][16]);
  f.picSpectrum_Click();
  ASSERT_EQ(f.Navigator().Selection().SelectedPoint, 17);
  f.comboPeakPoint->setCurrentIndex(0);
  f.Form_KeyUp('N', 0);
  ASSERT_EQ(f.Navigator().Selection().LastSelectedPoint, 17);
  ASSERT_EQ(f.Navigator().Selection().LastSelectedTrace, kTraceVideoAverage);
  // Hiding another row keeps it.
  f.mnuToolsPeakHold->trigger();
  f.mnuToolsPeakHold->trigger();
  EXPECT_EQ(f.Navigator().Selection().LastSelectedPoint, 17);
  f.mnuToolsVideoAverage->trigger();
  EXPECT_EQ(f.Navigator().Selection().LastSelectedTrace, -1);
  EXPECT_EQ(f.Navigator().Selection().LastSelectedPoint, 0);
}

TEST_F(StatusPanelTest, SampleRatePanelTipNamesTheResolutionBandwidth) {
  const std::pair<std::uint16_t, const char*> rates[] = {{0, "12.207 kHz (sample rate 50.000 MHz"},
                                                         {1, "6.104 kHz (sample rate 25.000 MHz"},
                                                         {3, "1.526 kHz (sample rate 6.250 MHz"}};
  frmMain& f = Open();
  EXPECT_EQ(f.sbStatus->PanelWidget("SampleRate")->toolTip(), "Sample Rate");
  for (const auto& [k, bandwidth] : rates) {
    ShowBlock(f, blocks::ZeroBlock(700000, k));
    const QString tip = f.sbStatus->PanelWidget("SampleRate")->toolTip();
    EXPECT_TRUE(tip.startsWith("Sample Rate")) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Resolution bandwidth %1").arg(bandwidth))) << tip.toStdString();
  }
}

}  // namespace
}  // namespace specterm
