// The keys the window previews on release: the arrows move the selected
// location (Ctrl by ten steps, Alt also pans the view), Home fits the view,
// End centres it on the location, Page Down and Page Up zoom out and in
// about it, Esc leaves a zoom mode or cancels an armed positioning.

#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "forms/VirtualKeys.h"
#include "interaction/ViewInput.h"
#include "modems/frmMain.h"
#include "view/ViewModel.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>

namespace specterm {
namespace {

// A Ctrl or Alt arrow moves this many steps.
constexpr float kLargeSteps = 10.0f;

bool IsArrow(int keyCode) { return keyCode >= forms::vbKeyLeft && keyCode <= forms::vbKeyDown; }

class KeyPreview : public QObject {
 public:
  explicit KeyPreview(frmMain& form) : QObject(&form), form_(form) {}

 protected:
  // Releases that no control took reach the window; a held key's repeats
  // count once, when it is let go.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease && watched == &form_ && form_.KeyPreview) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (!key->isAutoRepeat()) {
        const int code = forms::VirtualKeyFromQt(key->key());
        if (code != 0) form_.Form_KeyUp(code, forms::ShiftFromQt(key->modifiers()));
      }
    }
    return false;
  }

 private:
  frmMain& form_;
};

void Escape(frmMain& f) {
  if (f.Mouse.MouseMode != kModeSelect) {
    LeaveZoomMode(f);
    return;
  }
  if (f.Mouse.PositioningThreshold) {
    f.Mouse.PositioningThreshold = false;
    ShowSelectPointer(f);
  } else if (f.Mouse.PositioningCursor == 1 || f.Mouse.PositioningCursor == 2) {
    f.mnuViewCursor[static_cast<std::size_t>(f.Mouse.PositioningCursor - 1)]->setChecked(false);
    f.Mouse.PositioningCursor = 0;
    ShowSelectPointer(f);
  }
}

}  // namespace

QObject* NewKeyPreview(frmMain& form) { return new KeyPreview(form); }

void frmMain::Form_KeyUp(int keyCode, int shift) {
  const bool alt = (shift & forms::vbAltMask) != 0;
  const bool ctrl = (shift & forms::vbCtrlMask) != 0;
  if (IsArrow(keyCode)) {
    const float steps = alt || ctrl ? kLargeSteps : 1.0f;
    switch (keyCode) {
      case forms::vbKeyLeft:
        Selection.SelectedX -= steps * View.PanStepX;
        break;
      case forms::vbKeyRight:
        Selection.SelectedX += steps * View.PanStepX;
        break;
      case forms::vbKeyUp:
        Selection.SelectedY -= steps * View.PanStepY;
        break;
      default:
        Selection.SelectedY += steps * View.PanStepY;
        break;
    }
    if (alt) PanView(keyCode, true);
    // The pointer follows the location; a location that left the view takes
    // the view with it.
    if (InRange())
      MoveCursor(Selection.SelectedX, Selection.SelectedY);
    else
      PanView(keyCode, true);
    return;
  }
  switch (keyCode) {
    case forms::vbKeyEscape:
      Escape(*this);
      break;
    case forms::vbKeyHome:
      tbMain_ButtonClick(QStringLiteral("ZoomFitView"));
      break;
    case forms::vbKeyEnd:
      CenterView();
      break;
    case forms::vbKeyPageDown:
      ZoomOutView();
      break;
    case forms::vbKeyPageUp:
      ZoomInView();
      break;
    default:
      break;
  }
}

}  // namespace specterm
