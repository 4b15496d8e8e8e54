// The keys the window previews on release: the arrows move the selected
// location (Ctrl by ten steps, Alt also pans the view), Home fits the view,
// End centres it on the location, Page Down and Page Up zoom out and in
// about it, Esc leaves a zoom mode or cancels an armed positioning.

#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "forms/VirtualKeys.h"
#include "interaction/Interaction.h"
#include "view/PlotView.h"
#include "view/ViewModel.h"
#include "window/FormControls.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>

namespace specterm {
namespace {

// A Ctrl or Alt arrow moves this many steps.
constexpr float kLargeSteps = 10.0f;

bool IsArrow(int keyCode) { return keyCode >= forms::vbKeyLeft && keyCode <= forms::vbKeyDown; }

class KeyPreviewFilter : public QObject {
 public:
  KeyPreviewFilter(QObject* window, Interaction& input) : QObject(window), window_(window), input_(input) {}

 protected:
  // Releases that no control took reach the window; a held key's repeats
  // count once, when it is let go.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease && watched == window_ && input_.KeyPreview()) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (!key->isAutoRepeat()) {
        const int code = forms::VirtualKeyFromQt(key->key());
        if (code != 0) input_.Form_KeyUp(code, forms::ShiftFromQt(key->modifiers()));
      }
    }
    return false;
  }

 private:
  QObject* window_;
  Interaction& input_;
};

}  // namespace

QObject* Interaction::NewKeyPreview(QObject* window) { return new KeyPreviewFilter(window, *this); }

void Interaction::Escape() {
  if (mouse_.MouseMode != kModeSelect) {
    LeaveZoomMode();
    return;
  }
  if (mouse_.PositioningThreshold) {
    mouse_.PositioningThreshold = false;
    ShowSelectPointer();
  } else if (mouse_.PositioningCursor == 1 || mouse_.PositioningCursor == 2) {
    c_.mnuViewCursor[static_cast<std::size_t>(mouse_.PositioningCursor - 1)]->setChecked(false);
    mouse_.PositioningCursor = 0;
    ShowSelectPointer();
  }
}

void Interaction::Form_KeyUp(int keyCode, int shift) {
  const bool alt = (shift & forms::vbAltMask) != 0;
  const bool ctrl = (shift & forms::vbCtrlMask) != 0;
  if (IsArrow(keyCode)) {
    const float steps = alt || ctrl ? kLargeSteps : 1.0f;
    switch (keyCode) {
      case forms::vbKeyLeft:
        selection_.SelectedX -= steps * view_.PanStepX();
        break;
      case forms::vbKeyRight:
        selection_.SelectedX += steps * view_.PanStepX();
        break;
      case forms::vbKeyUp:
        selection_.SelectedY -= steps * view_.PanStepY();
        break;
      default:
        selection_.SelectedY += steps * view_.PanStepY();
        break;
    }
    if (alt) view_.PanView(keyCode, true);
    // The pointer follows the location; a location that left the view takes
    // the view with it.
    if (view_.InRange())
      view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
    else
      view_.PanView(keyCode, true);
    return;
  }
  switch (keyCode) {
    case forms::vbKeyEscape:
      Escape();
      break;
    case forms::vbKeyHome:
      ViewButtonClick(QStringLiteral("ZoomFitView"));
      break;
    case forms::vbKeyEnd:
      view_.CenterView();
      break;
    case forms::vbKeyPageDown:
      view_.ZoomOutView();
      break;
    case forms::vbKeyPageUp:
      view_.ZoomInView();
      break;
    default:
      break;
  }
}

}  // namespace specterm
