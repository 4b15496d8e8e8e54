// The plot's mouse modes driven as a user does: the mode buttons and menu
// items, clicks on the plot in each mode, the pop-up menu of the right
// button, the pointer's read-outs and Esc.

#include "FormFixture.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "vbformat/VbFormat.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace specterm {
namespace {

class MouseModesTest : public testing::FormTest {
 protected:
  frmMain& OpenFitted() {
    frmMain& f = Open();
    f.tbMain_ButtonClick("ZoomFitView");
    return f;
  }
  // The pixel of a plot location.
  static QPoint PixelOf(const frmMain& f, double x, double y) {
    return {static_cast<int>(f.picSpectrum->PixelX(x)), static_cast<int>(f.picSpectrum->PixelY(y))};
  }
  // Moves the pointer onto a plot location, as the user does before a
  // click; returns the pixel.
  static QPoint Point(frmMain& f, double x, double y) {
    const QPoint p = PixelOf(f, x, y);
    QTest::mouseMove(f.picSpectrum, p);
    return p;
  }
  static void ExpectCentredOnSelection(const frmMain& f) {
    EXPECT_NEAR(f.picSpectrum->ScaleLeft() + f.picSpectrum->ScaleWidth() / 2, f.Navigator().Selection().SelectedX,
                1e-3);
    EXPECT_NEAR(f.picSpectrum->ScaleTop() + f.picSpectrum->ScaleHeight() / 2, f.Navigator().Selection().SelectedY,
                1e-3);
  }
  static void ExpectSelectMode(const frmMain& f) {
    EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Select);
    for (const char* key : {"ZoomWin", "ZoomIn", "ZoomOut", "Pan"}) EXPECT_FALSE(f.tbMain->Pressed(key)) << key;
    for (QAction* item : {f.mnuViewZoomWin, f.mnuViewZoomIn, f.mnuViewZoomOut, f.mnuViewPan})
      EXPECT_FALSE(item->isChecked()) << item->objectName().toStdString();
    EXPECT_FALSE(f.mnuViewEnd->isEnabled());
  }
};

TEST_F(MouseModesTest, ModeButtonsEnterToggleAndSwitchModes) {
  frmMain& f = OpenFitted();
  f.tbMain->ClickButton("ZoomIn");
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::ZoomIn);
  EXPECT_TRUE(f.tbMain->Pressed("ZoomIn"));
  EXPECT_TRUE(f.mnuViewZoomIn->isChecked());
  EXPECT_TRUE(f.mnuViewEnd->isEnabled());
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCustom);
  // The same mode again returns to Select mode.
  f.mnuViewZoomIn->trigger();
  ExpectSelectMode(f);
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCrosshair);
  // From Pan straight to Zoom In.
  f.mnuViewPan->trigger();
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Pan);
  f.tbMain->ClickButton("ZoomIn");
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::ZoomIn);
  EXPECT_FALSE(f.tbMain->Pressed("Pan"));
  EXPECT_FALSE(f.mnuViewPan->isChecked());
  f.mnuViewEnd->trigger();
  ExpectSelectMode(f);
  // Zoom Window and Zoom Out have their own modes.
  f.mnuViewZoomWin->trigger();
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::ZoomWindow);
  f.tbMain->ClickButton("ZoomOut");
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::ZoomOut);
  EXPECT_FALSE(f.mnuViewZoomWin->isChecked());
}

TEST_F(MouseModesTest, SelectCancelsArmedPositioningAndFitLeavesTheMode) {
  frmMain& f = OpenFitted();
  // A cursor armed (F2), then a zoom mode: Select cancels both.
  f.mnuViewCursor[1]->trigger();
  ASSERT_EQ(f.Modes().Mouse().PositioningCursor, 2);
  f.tbMain->ClickButton("ZoomOut");
  f.mnuViewSelect->trigger();
  ExpectSelectMode(f);
  EXPECT_EQ(f.Modes().Mouse().PositioningCursor, 0);
  EXPECT_FALSE(f.mnuViewCursor[1]->isChecked());
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCrosshair);
  // The threshold armed (Ctrl+M): Select cancels it too.
  f.mnuViewThreshold->trigger();
  ASSERT_TRUE(f.Modes().Mouse().PositioningThreshold);
  f.tbMain->ClickButton("Select");
  EXPECT_FALSE(f.Modes().Mouse().PositioningThreshold);
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCrosshair);

  f.tbMain->ClickButton("Pan");
  f.picSpectrum_MouseMove(0, 0, 600, f.Navigator().Selection().SelectedY);
  f.mnuViewFB[5]->trigger();
  f.tbMain->ClickButton("ZoomFitView");
  ExpectSelectMode(f);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 550);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 300);
}

TEST_F(MouseModesTest, LeftClicksZoomInZoomOutOrCentreAtThePointer) {
  frmMain& f = OpenFitted();
  f.tbMain->ClickButton("ZoomIn");
  QPoint p = Point(f, 640, -30);
  EXPECT_NEAR(f.Navigator().Selection().SelectedX, 640, f.picSpectrum->ScaleWidth() / f.picSpectrum->PixelWidth());
  QTest::mouseClick(f.picSpectrum, Qt::LeftButton, {}, p);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), static_cast<float>(300 * 0.6667));
  ExpectCentredOnSelection(f);
  EXPECT_EQ(f.Modes().Mouse().ClickButton, 0);

  f.tbMain->ClickButton("ZoomOut");
  const float width = f.picSpectrum->ScaleWidth();
  p = Point(f, f.picSpectrum->ScaleLeft() + width / 4, -30);
  QTest::mouseClick(f.picSpectrum, Qt::LeftButton, {}, p);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), width * 1.75f);
  ExpectCentredOnSelection(f);

  f.tbMain->ClickButton("Pan");
  const float panWidth = f.picSpectrum->ScaleWidth();
  p = Point(f, f.picSpectrum->ScaleLeft() + panWidth / 5, -10);
  QTest::mouseClick(f.picSpectrum, Qt::LeftButton, {}, p);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), panWidth);
  ExpectCentredOnSelection(f);
}

TEST_F(MouseModesTest, ALeftClickInSelectModeBecomesTheReferenceLocation) {
  frmMain& f = OpenFitted();
  const QPoint p = Point(f, 655, -42);
  QTest::mouseClick(f.picSpectrum, Qt::LeftButton, {}, p);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickX, static_cast<float>(f.picSpectrum->ScaleFromPixelX(p.x())));
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickY, static_cast<float>(f.picSpectrum->ScaleFromPixelY(p.y())));
  // The view does not move in Select mode.
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 550);
}

TEST_F(MouseModesTest, MiddleClickCentresOnThePointerInAnyModeWithoutZooming) {
  frmMain& f = OpenFitted();
  QPoint p = Point(f, 610, 40);
  QTest::mouseClick(f.picSpectrum, Qt::MiddleButton, {}, p);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 300);
  ExpectCentredOnSelection(f);
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Select);

  f.tbMain->ClickButton("ZoomIn");
  p = Point(f, f.picSpectrum->ScaleLeft() + 200, -60);
  QTest::mouseClick(f.picSpectrum, Qt::MiddleButton, {}, p);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 300);
  ExpectCentredOnSelection(f);
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::ZoomIn);
  // The press and release restored the mode's pointer.
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCustom);
}

TEST_F(MouseModesTest, RightClickOpensThePopUpAndLeavesAZoomMode) {
  frmMain& f = OpenFitted();
  f.tbMain->ClickButton("ZoomWin");
  const QPoint p = Point(f, 700, 0);
  QTest::mousePress(f.picSpectrum, Qt::RightButton, {}, p);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.mnuView->isVisible(); }));
  EXPECT_TRUE(f.mnuViewDone->isVisible());
  EXPECT_TRUE(f.mnuViewSep1->isVisible());
  f.mnuView->hide();
  ExpectSelectMode(f);
  EXPECT_FALSE(f.mnuViewDone->isVisible());
  EXPECT_FALSE(f.mnuViewSep1->isVisible());
  EXPECT_EQ(f.Modes().Mouse().ClickButton, 0);

  // In Select mode it only opens the menu.
  QTest::mousePress(f.picSpectrum, Qt::RightButton, {}, p);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.mnuView->isVisible(); }));
  f.mnuView->hide();
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Select);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 550);

  // A command chosen from the pop-up runs after the right click has ended.
  f.tbMain->ClickButton("ZoomOut");
  QTest::mousePress(f.picSpectrum, Qt::RightButton, {}, p);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.mnuView->isVisible(); }));
  f.mnuView->hide();
  f.mnuViewPan->trigger();
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Pan);
}

TEST_F(MouseModesTest, RightButtonOnTheWindowOpensThePopUpWithoutDone) {
  frmMain& f = OpenFitted();
  QWidget* client = f.centralWidget();
  QTest::mousePress(client, Qt::RightButton, {}, QPoint(2, client->height() - 2));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.mnuView->isVisible(); }));
  EXPECT_FALSE(f.mnuViewDone->isVisible());
  f.mnuView->hide();
}

TEST_F(MouseModesTest, PointerMovesWriteTheLocationAndItsReadouts) {
  frmMain& f = OpenFitted();
  Point(f, 701.3, -47.2);
  const float x = f.Navigator().Selection().SelectedX;
  const float y = f.Navigator().Selection().SelectedY;
  // Within the pixel the pointer landed on.
  EXPECT_NEAR(x, 701.3, f.picSpectrum->ScaleWidth() / f.picSpectrum->PixelWidth());
  EXPECT_NEAR(y, -47.2, f.picSpectrum->ScaleHeight() / f.picSpectrum->PixelHeight());
  EXPECT_TRUE(f.Modes().Mouse().PointerMoved);
  EXPECT_EQ(f.txtCursor[6]->text().toStdString(), vb::Format(static_cast<double>(x) / 10.0, "##0.000MHz"));
  EXPECT_EQ(f.txtCursor[7]->text().toStdString(), vb::Format(-static_cast<double>(y), "###0.000dB"));
  EXPECT_TRUE(f.txtCursor[6]->text().endsWith("MHz"));
  EXPECT_TRUE(f.txtCursor[7]->text().endsWith("dB"));
}

TEST_F(MouseModesTest, EscLeavesAZoomModeThenCancelsThresholdThenCursorPositioning) {
  frmMain& f = OpenFitted();
  f.tbMain->ClickButton("ZoomWin");
  f.Form_KeyUp(27, 0);
  ExpectSelectMode(f);

  // Arming the threshold gives up an armed cursor: one Esc cancels it.
  f.mnuViewCursor[1]->trigger();
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCustom);  // the cursor's pointer
  f.mnuViewThreshold->trigger();
  EXPECT_EQ(f.Modes().Mouse().PositioningCursor, 0);
  EXPECT_FALSE(f.mnuViewCursor[1]->isChecked());
  f.Form_KeyUp(27, 0);
  EXPECT_FALSE(f.Modes().Mouse().PositioningThreshold);
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCrosshair);
  // An armed cursor alone: Esc cancels it.
  f.mnuViewCursor[1]->trigger();
  f.Form_KeyUp(27, 0);
  EXPECT_EQ(f.Modes().Mouse().PositioningCursor, 0);
  EXPECT_FALSE(f.mnuViewCursor[1]->isChecked());
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCrosshair);

  // Leaving a zoom mode with a positioning armed shows its pointer.
  f.mnuViewThreshold->trigger();
  f.tbMain->ClickButton("Pan");
  f.Form_KeyUp(27, 0);
  EXPECT_EQ(f.Modes().Mouse().Mode, MouseMode::Select);
  EXPECT_TRUE(f.Modes().Mouse().PositioningThreshold);
  EXPECT_EQ(f.picSpectrum->MousePointer(), forms::vbCustom);
}

// A message box or a menu that opens while a button is held on the plot
// takes the mouse: the click ends there, without its action, so that
// nothing waits on it; a zoom box drawn meanwhile goes. A release that goes
// elsewhere ends it too.
TEST_F(MouseModesTest, AWindowThatTakesTheMouseEndsTheClick) {
  frmMain& f = OpenFitted();
  const ViewRect fit = f.View().Window();
  struct Case {
    const char* name;
    Qt::MouseButton button;
    bool drag;
    bool releaseElsewhere;
  };
  for (const Case c :
       {Case{"left, box", Qt::LeftButton, false, false}, Case{"zoom box, box", Qt::MiddleButton, true, false},
        Case{"left, released elsewhere", Qt::LeftButton, false, true}}) {
    const QPoint at = Point(f, 700, 0);
    const QImage before = f.picSpectrum->Image().copy();
    QTest::mousePress(f.picSpectrum, c.button, {}, at);
    ASSERT_TRUE(f.Input().ClickPending()) << c.name;
    if (c.drag)
      for (float y : {-20.0f, -40.0f}) f.picSpectrum_MouseMove(forms::vbMiddleButton, 0, 720, y);
    if (c.releaseElsewhere) {
      QTest::mouseRelease(f.tbMain, c.button, {}, QPoint(2, 2));
    } else {
      QDialog box(&f);
      box.setModal(true);
      box.show();
      EXPECT_FALSE(f.Input().ClickPending()) << c.name;
      box.close();
      // The release comes late, after the box: it makes no click.
      QTest::mouseRelease(f.picSpectrum, c.button, {}, at);
    }
    EXPECT_FALSE(f.Input().ClickPending()) << c.name;
    EXPECT_FLOAT_EQ(f.View().Window().Width, fit.Width) << c.name;
    if (c.drag) {
      EXPECT_EQ(f.picSpectrum->Image(), before) << c.name;
    }
  }
  // The right button's pop-up: nothing waits on the click while it is open,
  // and the click still ends the zoom mode as the pop-up closes.
  f.tbMain->ClickButton("ZoomIn");
  QTest::mousePress(f.picSpectrum, Qt::RightButton, {}, Point(f, 700, 0));
  ASSERT_TRUE(f.mnuView->isVisible());
  EXPECT_FALSE(f.Input().ClickPending());
  f.mnuView->close();
  ExpectSelectMode(f);
}

}  // namespace
}  // namespace specterm
