// Point and peak navigation on the window: the moves from the keys, menus
// and toolbar with their read-outs and marker, the pick with and without
// snapping, and the window's keys while another control has the focus.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace specterm {
namespace {

class NavigationTest : public testing::FormTest {
 protected:
  // Arms the threshold positioning and clicks at amplitude dB.
  static void PositionThreshold(frmMain& f, float dB) {
    f.mnuViewThreshold->trigger();
    f.picSpectrum_MouseDown(1, 0, 700, -dB);
    f.picSpectrum_Click();
  }
  static QString Panel(const frmMain& f, const char* key) { return f.sbStatus->PanelText(QString::fromLatin1(key)); }
};

TEST_F(NavigationTest, KeysMenusAndButtonsStepThroughPointsAndPeaks) {
  frmMain& f = OpenWithCarriers();
  // Only the two carriers count as peaks from here.
  PositionThreshold(f, 60);
  struct Step {
    const char* how;
    int moveType;
    std::function<void()> act;
    int point;
  };
  const Step steps[] = {
      // Peak points (the stored default): highest, then down and up; the
      // lowest at or above the threshold.
      {"T key", 1, [&] { f.Form_KeyUp('T', 0); }, kHighPoint},
      {"P key", 1, [&] { f.Form_KeyUp('P', 0); }, kLowPoint},
      {"N key", 1, [&] { f.Form_KeyUp('N', 0); }, kHighPoint},
      {"Ctrl+B", 1, [&] { f.mnuViewFirstPoint->trigger(); }, kLowPoint},
      {"toolbar next", 1, [&] { f.tbMain->ClickButton("NextPoint"); }, kHighPoint},
      // All points: the ends wrap.
      {"Ctrl+T", 0, [&] { f.mnuViewLastPoint->trigger(); }, 2048},
      {"N from the last", 0, [&] { f.Form_KeyUp('N', 0); }, 1},
      {"P from the first", 0, [&] { f.Form_KeyUp('P', 0); }, 2048},
      {"toolbar previous", 0, [&] { f.tbMain->ClickButton("PreviousPoint"); }, 2047},
      // The last selected point, twice: the two swap.
      {"L", 0, [&] { f.Form_KeyUp('L', 0); }, 2048},
      {"Ctrl+L", 0, [&] { f.mnuViewCurPoint->trigger(); }, 2047},
      // A letter with Ctrl or Alt is not a move.
      {"Alt+N", 0, [&] { f.Form_KeyUp('N', 4); }, 2047},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.how);
    f.comboPeakPoint->setCurrentIndex(step.moveType);
    step.act();
    EXPECT_EQ(f.Navigator().Selection().SelectedPoint, step.point);
    EXPECT_EQ(f.Navigator().Selection().SelectedTrace, kTraceCurrent);
    EXPECT_TRUE(f.Navigator().Selection().MarkerShown);
    EXPECT_EQ(Panel(f, "CurPoint"), QString::number(step.point));
    EXPECT_EQ(Panel(f, "CurTrace"), "Current");
    // The simulated click has ended: the capture cycle is not held back.
    EXPECT_EQ(f.Modes().Mouse().ClickButton, 0);
  }
  EXPECT_TRUE(f.mnuViewCurPoint->isEnabled());
  EXPECT_TRUE(f.tbMain->Enabled("CurPoint"));
  // The selection panel reads the point out beside it.
  EXPECT_TRUE(f.cmdCoord->isVisible());
  EXPECT_TRUE(f.cmdCoord->text().startsWith("Trace = Current\nData Point = 2047\nFrequency = "));
  EXPECT_TRUE(f.timerCoord->isActive());
}

TEST_F(NavigationTest, APointButtonPutsThePointerBackWhereTheToolbarWasPressed) {
  frmMain& f = OpenWithCarriers();
  QWidget* button = f.tbMain->ButtonWidget("LastPoint");
  QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
  QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, kHighPoint);
  EXPECT_EQ(QCursor::pos(), f.tbMain->mapToGlobal(button->pos() + QPoint(5, 6)));
}

TEST_F(NavigationTest, PickTakesTheNearestWithSnapAndAnExactMatchWithout) {
  frmMain& f = OpenWithCarriers();
  const QImage plain = f.picSpectrum->Image().copy();
  const TraceStore& traces = f.Spectrum().Traces();
  const float x = traces.TraceX[kTraceCurrent][kHighPoint - 1];
  const float y = -traces.TraceY[kTraceCurrent][kHighPoint - 1];
  // Snap on: a click near the peak selects it and moves its location there.
  f.picSpectrum_MouseDown(1, 0, x + 0.05f, y + 1);
  f.picSpectrum_Click();
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, kHighPoint);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickX, x);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickY, y);
  EXPECT_NE(f.picSpectrum->Image(), plain);  // circled

  // Equally near points on two rows: the lower row wins. The peak-hold
  // row, restarted, holds the same data set as the current one.
  f.mnuToolsPeakHold->trigger();
  ShowBlock(f, blocks::CarrierBlock({{kHighPoint, 100}, {kLowPoint, 30}}));
  ASSERT_EQ(traces.TraceY[kTracePeakHold], traces.TraceY[kTraceCurrent]);
  const float x100 = traces.TraceX[kTraceCurrent][99];
  const float y100 = -traces.TraceY[kTraceCurrent][99];
  f.picSpectrum_MouseDown(1, 0, x100, y100);
  f.picSpectrum_Click();
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, 100);
  EXPECT_EQ(f.Navigator().Selection().SelectedTrace, kTraceCurrent);
  f.mnuToolsPeakHold->trigger();

  // Snap off: only a click that reads the same at the legend's precision
  // picks, and then the last match in scan order wins.
  f.mnuOptionsSnap->trigger();
  ASSERT_FALSE(f.Navigator().SnapToPoint());
  const QImage selected = f.picSpectrum->Image().copy();
  f.picSpectrum_MouseDown(1, 0, x + 0.05f, y + 1);
  f.picSpectrum_Click();
  // A miss: the selection stays, the marker goes, the plot is as it was
  // before any marker was drawn.
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, 100);
  EXPECT_FALSE(f.Navigator().Selection().MarkerShown);
  EXPECT_NE(f.picSpectrum->Image(), selected);
  f.View().UpdateView();
  const QImage unmarked = f.picSpectrum->Image().copy();
  f.picSpectrum_MouseDown(1, 0, x, y);
  f.picSpectrum_Click();
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, kHighPoint);
  f.picSpectrum_MouseDown(1, 0, 1000, -200);
  f.picSpectrum_Click();
  EXPECT_EQ(f.picSpectrum->Image(), unmarked);
}

TEST_F(NavigationTest, ThresholdPositioningAndTheFirstPeakAboveIt) {
  frmMain& f = OpenWithCarriers();
  f.mnuViewThreshold->trigger();
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCustom);
  // The next left click sets the threshold where it lands.
  f.mnuOptionsSnap->trigger();
  f.picSpectrum_MouseDown(1, 0, 700, -60);
  f.picSpectrum_Click();
  EXPECT_FLOAT_EQ(f.Navigator().Selection().MinPeakThreshold, 60);
  EXPECT_EQ(f.txtThreshold->text(), "60.000dB");
  EXPECT_FALSE(f.Modes().Mouse().PositioningThreshold);
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCrosshair);
  // The lowest peak at or above 60 dB: the lower carrier.
  f.Form_KeyUp('B', 0);
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, kLowPoint);
}

TEST_F(NavigationTest, TheWindowsKeysWorkFromTheStartAndBeforeAFocusedControl) {
  frmMain& f = OpenWithCarriers();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  EXPECT_EQ(QApplication::focusWidget(), f.picSpectrum);
  // With another control focused the window still sees the keys first.
  f.hScroll->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), f.hScroll);
  f.picSpectrum_MouseMove(0, 0, 700, -40);
  const float width = f.picSpectrum->ScaleWidth();
  QTest::keyClick(f.hScroll, Qt::Key_PageUp);
  EXPECT_LT(f.picSpectrum->ScaleWidth(), width);
  // In the threshold box, a menu shortcut wins over the box's own use of
  // the key.
  f.txtThreshold->setFocus();
  const bool average = f.mnuToolsVideoAverage->isChecked();
  // (Through the window, as the keyboard delivers it, so that shortcuts are
  // looked up.)
  ASSERT_EQ(QApplication::focusWidget(), f.txtThreshold);
  QTest::keyClick(f.windowHandle(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_NE(f.mnuToolsVideoAverage->isChecked(), average);
}

}  // namespace
}  // namespace specterm
