// The rubber-band zoom gestures, made with the left button in Zoom Window
// mode or with the middle button in any mode. Dragging up from the press
// draws the box to zoom into; dragging down first shows a small seed square
// about the press, and past it a growing box whose size says how far to
// zoom out. The view draws the figures over the picture and says which are
// on it: a redraw in the middle of a gesture clears them.

#include "forms/Dialogs.h"
#include "forms/PictureBox.h"
#include "interaction/InputBindings.h"
#include "interaction/MouseModes.h"
#include "processing/Processing.h"
#include "view/Icons.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ViewModel.h"

#include <cmath>

namespace specterm {
namespace {

// The seed square reaches this share of the view's width and height about
// the press.
constexpr float kSeedShare = 0.05f;
constexpr float kNoSeed = 32000.0f;

}  // namespace

bool MouseModes::DragsWith(int button) const { return MouseDoes(button, mouse_.Mode, MouseButtonAction::DragZoom); }

PlotBox MouseModes::ZoomInBox() const {
  return {mouse_.DragAnchorX, mouse_.DragAnchorY, mouse_.DragCornerX, mouse_.DragCornerY};
}

PlotBox MouseModes::SeedBox() const { return {mouse_.SeedLeft, mouse_.SeedTop, mouse_.SeedRight, mouse_.SeedBottom}; }

PlotBox MouseModes::OuterBox() const {
  return {mouse_.OuterLeft, mouse_.OuterTop, mouse_.OuterRight, mouse_.OuterBottom};
}

void MouseModes::DragMove(float x, float y) {
  MouseState& m = mouse_;
  const ViewRect view = view_.Window();
  if (y <= m.DragAnchorY) {
    // At or above the press: the box to zoom into, alone on the plot.
    ShowPointerImage(kPointerZoomIn);
    m.DragCornerX = x;
    m.DragCornerY = y;
    m.OuterLeft = m.OuterTop = m.OuterRight = m.OuterBottom = 0;
    view_.ShowFigures({ZoomInBox(), std::nullopt, std::nullopt});
    return;
  }

  // Below the press: zooming out, from a seed square about the press.
  GestureFigures figures;
  if (!view_.Overlay().Figures.Seed) {
    m.SeedLeft = m.DragAnchorX - kSeedShare * view.Width;
    m.SeedRight = m.DragAnchorX + kSeedShare * view.Width;
    m.SeedBottom = m.DragAnchorY + kSeedShare * view.Height;
    m.SeedTop = m.DragAnchorY - kSeedShare * view.Height;
    m.DragCornerX = m.DragAnchorX;
    m.DragCornerY = m.DragAnchorY;
  }
  figures.Seed = SeedBox();
  if (y > m.SeedBottom) {
    // The seed square grows by as much as the pointer is below it, keeping
    // the view's proportions on the screen.
    const float d = y - m.SeedBottom;
    const float a = (view.Width / view.Height) / 2.0f;
    m.OuterLeft = m.SeedLeft - d * a;
    m.OuterRight = m.SeedRight + d * a;
    m.OuterTop = m.SeedTop - d;
    m.OuterBottom = m.SeedBottom + d;
    figures.Outer = OuterBox();
    m.ZoomOutX = 1.0f + d * a / (m.OuterRight - m.OuterLeft);
    m.ZoomOutY = 1.0f + d / (m.OuterBottom - m.OuterTop);
    view_.ShowFigures(figures);
    ShowPointerImage(kPointerZoomOut);
  } else {
    // Back inside the seed square: no zoom-out box.
    m.OuterLeft = m.OuterTop = m.OuterRight = m.OuterBottom = 0;
    view_.ShowFigures(figures);
  }
}

// The gesture ends where it is: its figures go and nothing zooms.
void MouseModes::DragCancel() {
  MouseState& m = mouse_;
  m.SeedLeft = m.SeedRight = m.SeedTop = m.SeedBottom = kNoSeed;
  m.OuterLeft = m.OuterTop = m.OuterRight = m.OuterBottom = 0;
  view_.ShowFigures({});
  if (m.Mode == MouseMode::Select)
    ShowSelectPointer();
  else
    ShowModePointer();
}

void MouseModes::DragEnd(int button) {
  MouseState& m = mouse_;
  m.SeedLeft = m.SeedRight = m.SeedTop = m.SeedBottom = kNoSeed;
  ShowModePointer();
  if (button == forms::vbMiddleButton && m.Mode == MouseMode::Select) {
    m.SavedMode = MouseMode::Select;
    // After a zoom to a box the click that follows does nothing.
    if (m.DragCornerX != m.DragAnchorX && m.DragCornerY != m.DragAnchorY) m.Mode = MouseMode::DragFinished;
    view_.ShowCrosshair();
  }
  // The zoom-in box goes; what the gesture left on the plot says how it
  // ends.
  GestureFigures shown = view_.Overlay().Figures;
  shown.ZoomBox.reset();
  view_.ShowFigures(shown);

  const ViewRect view = view_.Window();
  const float ampRange = spectrum_.Amplitude().AmpRange;
  if (shown.Outer) {
    // Zoom out by the box, about the view's centre; beyond the amplitude
    // range the whole band and range are shown. The redraw takes the
    // figures.
    m.OuterLeft = m.OuterTop = m.OuterRight = m.OuterBottom = 0;
    ViewRect zoomed = view_.FitWindow();
    if (!(view.Height * m.ZoomOutY > ampRange)) {
      zoomed = view;
      zoomed.Width = view.Width * m.ZoomOutX;
      zoomed.Height = view.Height * m.ZoomOutY;
      zoomed.Left = view.Left - (zoomed.Width - view.Width) / 2.0f;
      zoomed.Top = view.Top - (zoomed.Height - view.Height) / 2.0f;
    }
    view_.ZoomToView(zoomed);
  } else if (shown.Seed) {
    // A short drag down shows the whole band and range; the click that
    // follows is swallowed.
    if (m.PointerMoved) {
      view_.ZoomToView(view_.FitWindow());
      if (m.Mode != MouseMode::DragFinished) m.SavedMode = m.Mode;
      m.Mode = MouseMode::DragFinished;
    } else {
      view_.ShowFigures({});
    }
  } else {
    // The box becomes the view, the view's proportions kept.
    const float dx = std::abs(m.DragCornerX - m.DragAnchorX);
    const float dy = std::abs(m.DragCornerY - m.DragAnchorY);
    if (dx > view_.MinViewWidth()) {
      const double dxPixels = view_.Mapping().PixelsX(dx);
      const double dyPixels = view_.Mapping().PixelsY(dy);
      ViewRect box;
      if (dxPixels > dyPixels) {
        box.Width = dx;
        box.Height = view.Height * (dx / view.Width);
      } else {
        box.Height = dy;
        box.Width = view.Width * (dy / view.Height);
      }
      box.Left = std::min(m.DragAnchorX, m.DragCornerX) + dx / 2.0f - box.Width / 2.0f;
      box.Top = std::min(m.DragAnchorY, m.DragCornerY) + dy / 2.0f - box.Height / 2.0f;
      view_.ZoomToView(box);
    } else if (m.Mode == MouseMode::ZoomWindow || m.Mode == MouseMode::DragFinished) {
      status_.ShowStatusMessage(QString::fromLatin1(kZoomInLimitMessage));
      forms::Beep();
    }
  }

  // A pending positioning gets its pointer back.
  if ((m.Mode == MouseMode::Select || m.Mode == MouseMode::DragFinished) &&
      (m.PositioningThreshold || m.PositioningCursor != 0))
    ShowSelectPointer();
}

}  // namespace specterm
