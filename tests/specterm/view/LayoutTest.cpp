// The window layout: the three size refusals, where the controls go, and
// the plot's view window on the plotting area at the first-run size.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "interaction/Navigation.h"
#include "processing/Processing.h"
#include "view/LayoutConstants.h"
#include "view/Palettes.h"
#include "view/PlotRenderer.h"
#include "view/PlotView.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

namespace specterm {
namespace {

class LayoutTest : public testing::FormTest {};

std::vector<forms::ShownDialog> Boxes() { return forms::DialogSeam::Shown(); }

// Sizes settle synchronously on the offscreen platform; waiting costs
// nothing when they have.
bool SizeBecomes(const frmMain& f, QSize size) {
  return testsupport::WaitUntil([&] { return f.size() == size; }, std::chrono::seconds(5));
}

TEST_F(LayoutTest, TooNarrowShowsTheWidthMessageOnceAndRestoresTheWidth) {
  frmMain& f = Open();
  f.resize(700, 500);
  ASSERT_TRUE(SizeBecomes(f, QSize(794, 500)));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "You cannot resize this window to this width!");
  EXPECT_EQ(boxes[0].title, "Invalid Window Width");
  EXPECT_EQ(boxes[0].style, forms::vbCritical);
}

TEST_F(LayoutTest, TooLowShowsTheHeightMessageOnceAndRestoresTheHeight) {
  frmMain& f = Open();
  f.resize(900, 300);
  ASSERT_TRUE(SizeBecomes(f, QSize(900, 384)));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "You cannot resize this window to this height!");
  EXPECT_EQ(boxes[0].title, "Invalid Window Height");
  EXPECT_EQ(boxes[0].style, forms::vbCritical);
}

TEST_F(LayoutTest, TooSmallBothWaysShowsOnlyTheSizeMessage) {
  frmMain& f = Open();
  f.resize(600, 300);
  ASSERT_TRUE(SizeBecomes(f, QSize(794, 384)));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "You cannot resize this window to this size!");
  EXPECT_EQ(boxes[0].title, "Invalid Window Width");
}

TEST_F(LayoutTest, EachLaterRefusalIsToldAgain) {
  frmMain& f = Open();
  f.resize(700, 500);
  ASSERT_TRUE(SizeBecomes(f, QSize(794, 500)));
  f.resize(900, 300);
  ASSERT_TRUE(SizeBecomes(f, QSize(900, 384)));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].title, "Invalid Window Height");
}

TEST_F(LayoutTest, TheMinimumItselfIsAccepted) {
  frmMain& f = Open();
  f.resize(900, 500);
  f.resize(794, 384);
  ASSERT_TRUE(SizeBecomes(f, QSize(794, 384)));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LayoutTest, PlotScrollBarsAndStatusBarFillTheClientArea) {
  frmMain& f = Open();
  f.resize(1000, 640);
  ASSERT_TRUE(SizeBecomes(f, QSize(1000, 640)));
  QWidget* client = f.centralWidget();
  const int clientWidth = client->width();
  const int clientHeight = client->height();
  EXPECT_EQ(clientWidth, 1000);
  EXPECT_EQ(clientHeight, 640 - f.menuBar()->height());

  EXPECT_EQ(f.tbMain->geometry(), QRect(0, 0, clientWidth, 28));
  EXPECT_EQ(f.tbCursors->geometry(), QRect(0, 28, clientWidth, 28));
  const QRect plot = f.picSpectrum->geometry();
  EXPECT_EQ(plot.top(), 56);  // 840 twips
  EXPECT_EQ(plot.left(), 0);
  EXPECT_EQ(f.vScroll->geometry().left(), plot.right() + 1);
  EXPECT_EQ(f.vScroll->geometry().right(), clientWidth - 1);
  EXPECT_EQ(f.vScroll->geometry().top(), plot.top());
  EXPECT_EQ(f.vScroll->height(), plot.height());
  EXPECT_EQ(f.hScroll->geometry().top(), plot.bottom() + 1);
  EXPECT_EQ(f.hScroll->width(), plot.width());
  EXPECT_EQ(f.sbStatus->geometry().top(), f.hScroll->geometry().bottom() + 1);
  EXPECT_EQ(f.sbStatus->geometry().bottom(), clientHeight - 1);
  EXPECT_EQ(f.sbStatus->width(), clientWidth);

  // The "Status" panel takes what the others leave.
  int others = 0;
  for (const char* key : {"CenterFreq", "SampleRate", "CurTrace", "CurPoint", "Frequency", "Amplitude"})
    others += f.sbStatus->PanelWidth(key);
  EXPECT_EQ(f.sbStatus->PanelWidth("Status"), clientWidth * 15 - others);

  // The picture keeps its view window when it is resized.
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 550);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 300);
}

TEST_F(LayoutTest, EntryFieldsLieOverTheirPanels) {
  frmMain& f = Open();
  f.resize(1100, 600);
  ASSERT_TRUE(SizeBecomes(f, QSize(1100, 600)));
  const int barTop = f.sbStatus->geometry().top();
  const auto over = [&](QLineEdit* edit, const char* key) {
    const int panelLeft = f.sbStatus->PanelLeft(key) / 15;
    EXPECT_EQ(edit->x(), panelLeft + kStatusFieldLeft / 15) << key;
    EXPECT_EQ(edit->y(), barTop + kStatusFieldTop / 15) << key;
    EXPECT_LE(edit->geometry().right(), panelLeft + f.sbStatus->PanelWidth(key) / 15) << key;
  };
  over(f.txtPoint, "CurPoint");
  over(f.txtFreq, "Frequency");
  over(f.txtAmp, "Amplitude");
  EXPECT_FALSE(f.txtPoint->isVisible());
}

TEST_F(LayoutTest, CursorReadoutsSitInTheirToolbarSlots) {
  frmMain& f = Open();
  for (int i = 0; i < 3; ++i) {
    QWidget* slot = f.tbCursors->ButtonWidget(QStringLiteral("Cursor%1").arg(i + 1));
    const QPoint slotLeft = slot->mapTo(f.centralWidget(), QPoint(0, 0));
    QLineEdit* first = f.txtCursor[static_cast<std::size_t>(i)];
    QLineEdit* second = f.txtCursor[static_cast<std::size_t>(i + 3)];
    EXPECT_EQ(first->x(), slotLeft.x()) << i;
    EXPECT_EQ(second->x(), first->x() + first->width() + 2) << i;  // 30 twips apart
    EXPECT_EQ(second->y(), first->y());
    EXPECT_LE(second->geometry().right(), slotLeft.x() + slot->width()) << i;
    EXPECT_TRUE(first->isVisible());
  }
  // The pointer read-outs and the threshold box follow, inside the window.
  EXPECT_GT(f.txtCursor[6]->x(), f.txtCursor[5]->geometry().right());
  EXPECT_GT(f.txtThreshold->x(), f.txtCursor[7]->geometry().right());
  EXPECT_LE(f.txtThreshold->geometry().right(), f.centralWidget()->width());
}

TEST_F(LayoutTest, MaximisingIsRecordedAndMinimisingLeavesTheLayout) {
  frmMain& f = Open();
  EXPECT_EQ(f.Layout().SavedWindowState(), 0);
  const QRect plot = f.picSpectrum->geometry();
  f.showMinimized();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.isMinimized(); }));
  EXPECT_EQ(f.Layout().SavedWindowState(), 0);
  EXPECT_EQ(f.picSpectrum->geometry(), plot);
  f.showMaximized();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.isMaximized(); }));
  EXPECT_EQ(f.Layout().SavedWindowState(), 2);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LayoutTest, AtTheFirstRunSizeTheFittedViewShowsItsHighestPeakAndClicksPickIt) {
  frmMain& f = OpenWithCarriers();
  ASSERT_TRUE(SizeBecomes(f, QSize(794, 384)));
  f.tbMain_ButtonClick("ZoomFitView");
  const TraceStore& traces = f.Spectrum().Traces();
  const float x = traces.TraceX[0][kHighPoint - 1];
  const float y = -traces.TraceY[0][kHighPoint - 1];
  // The peak is drawn where the view's one mapping puts it, inside the
  // plotting area, below the frequency labels.
  const forms::ScaleMapping mapping = f.View().Mapping();
  const QPoint peak(static_cast<int>(std::lround(mapping.PixelX(x))), static_cast<int>(std::lround(mapping.PixelY(y))));
  EXPECT_GT(peak.y(), MeasureFrame(*f.picSpectrum, f.Spectrum().Block().FreqFormat).LabelBand);
  const QRgb trace = forms::RgbFromColorRef(f.View().Palettes()[0][kSlotSpectrumTrace]);
  int drawn = 0;
  const QImage& picture = f.picSpectrum->Image();
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) drawn += picture.pixel(peak + QPoint(dx, dy)) == trace ? 1 : 0;
  EXPECT_GT(drawn, 0);
  // A click on that pixel converts through the same mapping and picks it.
  QTest::mouseClick(f.picSpectrum, Qt::LeftButton, {}, peak);
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, kHighPoint);
}

}  // namespace
}  // namespace specterm
