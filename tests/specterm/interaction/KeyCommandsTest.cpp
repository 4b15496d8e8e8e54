// The view keys: arrows with Ctrl and Alt, the pan that follows a location
// leaving the view, Home, End, Page Up and Page Down, and the window's
// preview of key releases: only of keys pressed in the window, each once.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "modems/frmModem.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <cmath>

namespace specterm {
namespace {

constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;

class KeyCommandsTest : public testing::FormTest {
 protected:
  frmMain& OpenFitted() {
    frmMain& f = Open();
    f.tbMain_ButtonClick("ZoomFitView");
    return f;
  }
  static void Select(frmMain& f, float x, float y) {
    // The pointer's last place over the plot is the selected location.
    f.picSpectrum_MouseMove(0, 0, x, y);
  }
  static QPoint PointerAt(const frmMain& f, float x, float y) {
    return f.picSpectrum->mapToGlobal(QPoint(static_cast<int>(std::nearbyint(f.picSpectrum->PixelX(x))),
                                             static_cast<int>(std::nearbyint(f.picSpectrum->PixelY(y)))));
  }
};

TEST_F(KeyCommandsTest, ArrowsMoveTheLocationByOneOrTenStepsAndTakeThePointer) {
  frmMain& f = OpenFitted();
  ASSERT_FLOAT_EQ(f.View().PanStepX(), 2.5f);
  ASSERT_FLOAT_EQ(f.View().PanStepY(), 1.0f);
  Select(f, 700, -20);
  f.Form_KeyUp(37, 0);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 697.5f);
  EXPECT_EQ(QCursor::pos(), PointerAt(f, 697.5f, -20));
  f.Form_KeyUp(39, kCtrl);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 722.5f);
  f.Form_KeyUp(38, kShift);  // Shift does not count
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedY, -21);
  f.Form_KeyUp(40, kCtrl);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedY, -11);
  EXPECT_EQ(QCursor::pos(), PointerAt(f, 722.5f, -11));
  // The view stays while the location is in it.
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 550);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), -125);
}

TEST_F(KeyCommandsTest, AltArrowsAlsoPanAndALocationLeavingTheViewTakesItAlong) {
  frmMain& f = OpenFitted();
  Select(f, 700, -20);
  f.Form_KeyUp(39, kAlt);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 725);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 575);
  f.Form_KeyUp(38, kAlt | kCtrl);  // Alt wins over Ctrl
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedY, -30);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), -135);

  // A plain arrow past the edge pans by ten steps.
  f.tbMain_ButtonClick("ZoomFitView");
  Select(f, 849, 0);
  f.Form_KeyUp(39, 0);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 851.5f);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 575);
  EXPECT_EQ(QCursor::pos(), PointerAt(f, 851.5f, 0));

  // Still outside after its own pan: an Alt arrow pans a second time.
  f.tbMain_ButtonClick("ZoomFitView");
  Select(f, 870, 0);
  f.Form_KeyUp(39, kAlt);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 895);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 600);

  // Below the view.
  f.tbMain_ButtonClick("ZoomFitView");
  Select(f, 700, 124.5f);
  f.Form_KeyUp(40, 0);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), -115);
}

TEST_F(KeyCommandsTest, HomeFitsEndCentresAndPageKeysZoomAboutTheLocation) {
  frmMain& f = OpenFitted();
  Select(f, 640, -35);
  f.Form_KeyUp(33, 0);  // Page Up
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), static_cast<float>(300 * 0.6667));
  EXPECT_NEAR(f.picSpectrum->ScaleLeft() + f.picSpectrum->ScaleWidth() / 2, 640, 1e-3);
  f.Form_KeyUp(34, 0);  // Page Down
  EXPECT_NEAR(f.picSpectrum->ScaleWidth(), 300 * 0.6667 * 1.75, 1e-3);
  Select(f, 700, 10);
  const float width = f.picSpectrum->ScaleWidth();
  f.Form_KeyUp(35, 0);  // End
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), width);
  EXPECT_NEAR(f.picSpectrum->ScaleLeft() + width / 2, 700, 1e-3);
  EXPECT_NEAR(f.picSpectrum->ScaleTop() + f.picSpectrum->ScaleHeight() / 2, 10, 1e-3);
  f.tbMain->ClickButton("ZoomIn");
  f.Form_KeyUp(36, 0);  // Home
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 550);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 300);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), -125);
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Select);
  // Page Down three times from the fit view meets the limit.
  f.Form_KeyUp(34, 0);
  f.Form_KeyUp(34, 0);
  f.Form_KeyUp(34, 0);
  EXPECT_EQ(f.sbStatus->PanelText("Status"), "Cannot zoom out farther...you have reached the zoom out limit!");
}

TEST_F(KeyCommandsTest, TheWindowPreviewsKeyReleasesOnceWhileItPreviews) {
  frmMain& f = OpenFitted();
  Select(f, 700, 0);
  QTest::keyClick(f.picSpectrum, Qt::Key_PageUp);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), static_cast<float>(300 * 0.6667));
  // A held key's repeats do nothing until it is let go.
  QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(f.picSpectrum, &repeat);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), static_cast<float>(300 * 0.6667));
  // Modifiers arrive with the key.
  Select(f, 700, 0);
  QTest::keyClick(f.picSpectrum, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 700 - 10 * f.View().PanStepX());
  // Not while an entry field has the keyboard.
  f.Input().SetKeyPreview(false);
  QTest::keyClick(f.picSpectrum, Qt::Key_Home);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), static_cast<float>(300 * 0.6667));
  f.Input().SetKeyPreview(true);
  QTest::keyClick(f.picSpectrum, Qt::Key_Home);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 300);
}

TEST_F(KeyCommandsTest, AKeyPressedInADialogOrAMenuDoesNothingWhenReleasedOverTheWindow) {
  frmMain& f = OpenWithCarriers();
  Select(f, 700, -20);
  const float clickX = f.Navigator().Selection().ClickX;
  // Enter confirms the Add dialog; its release comes to the window.
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    form.txtModemName->setText("Bench");
    form.txtIPA->setText("127.0.0.2");
    QTest::keyPress(form.txtModemName, Qt::Key_Return);
  });
  f.mnuCommAdd->trigger();
  QTest::keyRelease(f.picSpectrum, Qt::Key_Return);
  ASSERT_EQ(f.Directory().LastModem(), "Bench");
  EXPECT_EQ(f.Navigator().Selection().ClickX, clickX);  // no click at the location
  // Esc closes a menu; Zoom In mode stays.
  f.tbMain->ClickButton("ZoomIn");
  f.mnuView->popup(QPoint(0, 0));
  QTest::keyPress(f.mnuView, Qt::Key_Escape);
  QTest::keyRelease(f.picSpectrum, Qt::Key_Escape);
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::ZoomIn);
  // Pressed in the window, it acts.
  QTest::keyClick(f.picSpectrum, Qt::Key_Escape);
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Select);
}

TEST_F(KeyCommandsTest, EveryReleaseActsOnceEvenRightAfterAnother) {
  frmMain& f = OpenWithCarriers();
  QTest::keyClick(f.picSpectrum, Qt::Key_T);
  const std::int32_t top = f.Navigator().Selection().SelectedPoint;
  ASSERT_NE(top, 0);
  // Overlapping letters: each release steps once.
  QTest::keyPress(f.picSpectrum, Qt::Key_P);
  QTest::keyPress(f.picSpectrum, Qt::Key_N);
  QTest::keyRelease(f.picSpectrum, Qt::Key_P);
  EXPECT_NE(f.Navigator().Selection().SelectedPoint, top);
  QTest::keyRelease(f.picSpectrum, Qt::Key_N);
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, top);
  // Ctrl let go before the arrow: the arrow still acts, as a plain one.
  f.tbMain_ButtonClick("ZoomFitView");
  Select(f, 700, -20);
  QTest::keyPress(f.picSpectrum, Qt::Key_Control);
  QTest::keyPress(f.picSpectrum, Qt::Key_Left, Qt::ControlModifier);
  QTest::keyRelease(f.picSpectrum, Qt::Key_Control);
  QTest::keyRelease(f.picSpectrum, Qt::Key_Left);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 700 - f.View().PanStepX());
}

}  // namespace
}  // namespace specterm
