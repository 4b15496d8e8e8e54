// The rubber-band zoom gestures and the two measurement cursors, driven
// through the plot's mouse handlers and the commands.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "view/PlotRenderer.h"

#include <QAction>
#include <QLineEdit>

#include <functional>
#include <optional>
#include <vector>

namespace specterm {
namespace {

struct Point {
  float x;
  float y;
};

// A view small enough that zooming out by a box stays inside the range.
constexpr ViewRect kStart{600, -80, 100, 50};

class GesturesTest : public testing::FormTest {
 protected:
  frmMain& OpenAt(const ViewRect& view) {
    frmMain& f = Open();
    f.tbMain_ButtonClick("ZoomFitView");
    f.View().ZoomToView(view);
    return f;
  }
  // Press at the first point, move along the rest, release at the last.
  static void Drag(frmMain& f, int button, const std::vector<Point>& path) {
    f.picSpectrum_MouseMove(0, 0, path.front().x, path.front().y);
    f.picSpectrum_MouseDown(button, 0, path.front().x, path.front().y);
    for (std::size_t i = 1; i < path.size(); ++i) f.picSpectrum_MouseMove(button, 0, path[i].x, path[i].y);
    f.picSpectrum_MouseUp(button, 0, path.back().x, path.back().y);
  }
  static void ExpectView(const frmMain& f, const ViewRect& v) {
    const ViewRect w = f.View().Window();
    EXPECT_NEAR(w.Left, v.Left, 1e-3);
    EXPECT_NEAR(w.Top, v.Top, 1e-3);
    EXPECT_NEAR(w.Width, v.Width, 1e-3);
    EXPECT_NEAR(w.Height, v.Height, 1e-3);
  }
};

TEST_F(GesturesTest, PressMoveReleaseAndTheClickThatFollows) {
  const ViewRect fit{550, -125, 300, 250};
  struct Case {
    const char* name;
    const char* modeButton;  // nullptr: Select mode
    int button;
    std::vector<Point> path;
    ViewRect afterRelease;
    MouseMode modeAfterRelease;
    ViewRect afterClick;
    bool limitMessage;
  };
  const Case cases[] = {
      // A middle press without moving centres the view on the pointer.
      {"middle click", nullptr, 4, {{650, -60}}, kStart, MouseMode::Select, {600, -85, 100, 50}, false},
      // Up: the box, widened to the view's proportions; the click after it
      // does nothing.
      {"middle box",
       nullptr,
       4,
       {{620, -50}, {660, -70}},
       {620, -70, 40, 20},
       MouseMode::DragFinished,
       {620, -70, 40, 20},
       false},
      // Down past the seed square: out by the box (10 below it: 4/3 wide,
      // 7/5 high, about the centre); the click then centres on the release.
      {"middle out",
       nullptr,
       4,
       {{650, -60}, {650, -47.5f}},
       {583.3333f, -90, 133.3333f, 70},
       MouseMode::Select,
       {583.3333f, -82.5f, 133.3333f, 70},
       false},
      // Down past it and back inside: the whole band, the click swallowed.
      {"back inside the seed",
       nullptr,
       4,
       {{650, -60}, {650, -47.5f}, {650, -58}},
       fit,
       MouseMode::DragFinished,
       fit,
       false},
      // Zoom Window: a press and release without moving is too small a box.
      {"zero width", "ZoomWin", 1, {{650, -60}}, kStart, MouseMode::ZoomWindow, kStart, true},
      // Less than 5 % down: the whole band.
      {"short drag down", "ZoomWin", 1, {{650, -60}, {650, -59}}, fit, MouseMode::DragFinished, fit, false},
      {"window box",
       "ZoomWin",
       1,
       {{620, -50}, {660, -70}},
       {620, -70, 40, 20},
       MouseMode::ZoomWindow,
       {620, -70, 40, 20},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    frmMain& f = OpenAt(kStart);
    if (c.modeButton != nullptr) f.tbMain->ClickButton(c.modeButton);
    const MouseMode mode = f.Modes().Mouse().Mode;
    Drag(f, c.button, c.path);
    ExpectView(f, c.afterRelease);
    EXPECT_EQ(f.Modes().Mouse().Mode, c.modeAfterRelease);
    EXPECT_EQ(f.sbStatus->PanelText("Status") == "You have reached the zoom in limit!", c.limitMessage);
    f.picSpectrum_Click();
    ExpectView(f, c.afterClick);
    EXPECT_EQ(f.Modes().Mouse().Mode, mode);
    EXPECT_EQ(f.Modes().Mouse().ClickButton, 0);
    // The pointer of the mode is back.
    EXPECT_EQ(f.picSpectrum->MousePointer(), mode == MouseMode::Select ? forms::vbCrosshair : forms::vbCustom);
    Close();
  }
}

TEST_F(GesturesTest, EveryFigureDrawnTwiceLeavesThePlotAsItWas) {
  frmMain& f = OpenAt(kStart);
  forms::PictureBox& pic = *f.picSpectrum;
  const QImage plain = pic.Image().copy();
  const std::array<float, 4> cursors = {620, -70, 680, -60};
  const PlotFrame frame = MeasureFrame(pic, f.Spectrum().Block().FreqFormat);
  const std::vector<std::function<void()>> figures = {
      [&] { DrawRubberBand(pic, 620, -70, 660, -50, false); },
      [&] { DrawRubberBand(pic, 645, -62.5f, 655, -57.5f, true); },
      [&] { DrawCursorCross(pic, 630, -65, frame); },
      [&] { DrawCursorJoin(pic, cursors, frame); },
      [&] { DrawSelectionMarker(pic, 640, -66, 2, 0x00FFFF); },
  };
  for (std::size_t i = 0; i < figures.size(); ++i) {
    figures[i]();
    EXPECT_NE(pic.Image(), plain) << i;
    figures[i]();
    EXPECT_EQ(pic.Image(), plain) << i;
  }
  // A gesture that ends without zooming takes its rubber band with it.
  f.tbMain->ClickButton("ZoomWin");
  Drag(f, 1, {{650, -55}, {650.01f, -70}, {650.01f, -40}, {650.01f, -75}});
  ExpectView(f, kStart);
  EXPECT_EQ(pic.Image(), plain);
}

TEST_F(GesturesTest, CursorsArePlacedReadOutAndZoomedTo) {
  frmMain& f = OpenAt({550, -125, 300, 250});
  f.mnuOptionsSnap->trigger();  // the cursors go where the clicks are
  const auto click = [&](float x, float y) {
    f.picSpectrum_MouseDown(1, 0, x, y);
    f.picSpectrum_Click();
  };
  // Cursor 1 alone: its read-outs, not the deltas.
  f.mnuViewCursor[0]->trigger();
  EXPECT_TRUE(f.mnuViewCursors->isChecked());
  EXPECT_TRUE(f.tbCursors->Pressed("CursorDelta"));
  click(650, -40);
  EXPECT_EQ(f.txtCursor[0]->text(), "65.000MHz");
  EXPECT_EQ(f.txtCursor[3]->text(), "40.000dB");
  EXPECT_EQ(f.txtCursor[2]->text(), "");
  EXPECT_EQ(f.txtCursor[5]->text(), "");
  EXPECT_FALSE(f.mnuViewCursor[0]->isChecked());
  EXPECT_FALSE(f.mnuViewZoomCursors->isEnabled());
  // Cursor 2: the deltas and the zoom command.
  f.tbCursors->ClickButton("CursorTwo");
  click(700, -60);
  EXPECT_EQ(f.txtCursor[1]->text(), "70.000MHz");
  EXPECT_EQ(f.txtCursor[4]->text(), "60.000dB");
  EXPECT_EQ(f.txtCursor[2]->text(), "5.000MHz");
  EXPECT_EQ(f.txtCursor[5]->text(), "20.000dB");
  EXPECT_TRUE(f.mnuViewZoomCursors->isEnabled());
  EXPECT_TRUE(f.tbMain->Enabled("ZoomCursors"));
  // Placed again elsewhere: the old lines are gone, as a redraw shows.
  f.mnuViewCursor[0]->trigger();
  click(620, -30);
  const QImage placed = f.picSpectrum->Image().copy();
  f.View().UpdateView();
  EXPECT_EQ(f.picSpectrum->Image(), placed);

  // Zoom to fit: 1.5 times the frequency spread, the view's proportions.
  f.mnuViewZoomCursors->trigger();
  ExpectView(f, {600, -95, 120, 100});
  // Both at one place: the narrowest view, 20 dB high, about them.
  f.mnuViewCursor[1]->trigger();
  click(620, -30);
  f.tbMain->ClickButton("ZoomCursors");
  ExpectView(f, {619.975f, -40, 0.05f, 20});

  // The display off and on again.
  f.tbCursors->ClickButton("CursorDelta");
  EXPECT_FALSE(f.mnuViewCursors->isChecked());
  EXPECT_FALSE(f.tbCursors->Pressed("CursorDelta"));
  EXPECT_FALSE(f.mnuViewZoomCursors->isEnabled());
  f.mnuViewCursors->trigger();
  EXPECT_TRUE(f.mnuViewZoomCursors->isEnabled());
}

TEST_F(GesturesTest, CursorsOnOneLineStayVisible) {
  frmMain& f = OpenAt({550, -125, 300, 250});
  f.mnuOptionsSnap->trigger();
  const auto place = [&](int index, float x, float y) {
    f.mnuViewCursor[static_cast<std::size_t>(index)]->trigger();
    f.picSpectrum_MouseDown(1, 0, x, y);
    f.picSpectrum_Click();
  };
  // Inverted black is white: the dotted lines' pixels along a column or a row.
  const auto lit = [&](bool column, float at) {
    const forms::ScaleMapping m = f.View().Mapping();
    const QImage& picture = f.picSpectrum->Image();
    const QRect area = m.Area.toRect();
    const int fixed = static_cast<int>(std::lround(column ? m.PixelX(at) : m.PixelY(at)));
    int n = 0;
    for (int i = column ? area.top() : area.left(); i <= (column ? area.bottom() : area.right()); ++i)
      n += picture.pixel(column ? QPoint(fixed, i) : QPoint(i, fixed)) == qRgb(255, 255, 255) ? 1 : 0;
    return n;
  };
  place(0, 655, -43);
  const int column = lit(true, 655);
  const int row = lit(false, -43);
  ASSERT_GT(column, 50);
  ASSERT_GT(row, 50);
  // At one place, then sharing the frequency, then the amplitude; the
  // picture is the one a redraw makes.
  for (const auto& [x, y] : {std::pair{655.0f, -43.0f}, {655.0f, -63.0f}, {705.0f, -43.0f}}) {
    place(1, x, y);
    EXPECT_GE(lit(true, 655), column) << x << ", " << y;
    EXPECT_GE(lit(false, -43), row) << x << ", " << y;
    const QImage placed = f.picSpectrum->Image().copy();
    f.View().UpdateView();
    EXPECT_EQ(f.picSpectrum->Image(), placed);
  }
}

}  // namespace
}  // namespace specterm
