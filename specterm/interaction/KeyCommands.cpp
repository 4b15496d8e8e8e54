// The keys the window previews on release: the arrows move the selected
// location (Ctrl by ten steps, Alt also pans the view), Home fits the view,
// End centres it on the location, Page Down and Page Up zoom out and in
// about it, Esc leaves a zoom mode or cancels an armed positioning, Space
// and Enter click at the location, and N, P, B, T and L step through the
// points or peaks.

#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "forms/VirtualKeys.h"
#include "interaction/Interaction.h"
#include "view/PlotView.h"
#include "view/ViewModel.h"
#include "window/FormControls.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QWidget>

namespace specterm {
namespace {

// A Ctrl or Alt arrow moves this many steps.
constexpr float kLargeSteps = 10.0f;

bool IsArrow(int keyCode) { return keyCode >= forms::vbKeyLeft && keyCode <= forms::vbKeyDown; }

// Watches every key event of the application and acts on those of one
// window: a release goes to Form_KeyUp before the control that has the
// focus sees it (once, however far it then travels up the widgets), and a
// text box may not keep a key that is the shortcut of one of the window's
// enabled menu items, so that the shortcut runs the item.
class KeyPreviewFilter : public QObject {
 public:
  KeyPreviewFilter(QWidget* window, Interaction& input) : QObject(window), window_(window), input_(input) {
    QApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyRelease && type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    if (!watched->isWidgetType() || window_ == nullptr || static_cast<QWidget*>(watched)->window() != window_)
      return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) return IsMenuShortcut(*key);
    // A release that no widget takes travels up to the window: it counts at
    // its first stop only. Every press starts afresh.
    if (type == QEvent::KeyPress) {
      lastRelease_ = nullptr;
      return false;
    }
    if (key == lastRelease_) return false;
    lastRelease_ = key;
    // A held key's repeats count once, when it is let go.
    if (input_.KeyPreview() && !key->isAutoRepeat()) {
      const int code = forms::VirtualKeyFromQt(key->key());
      if (code != 0) input_.Form_KeyUp(code, forms::ShiftFromQt(key->modifiers()));
    }
    return false;
  }

 private:
  bool IsMenuShortcut(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : window_->findChildren<QAction*>())
      if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
    return false;
  }

  QPointer<QWidget> window_;
  Interaction& input_;
  const QKeyEvent* lastRelease_ = nullptr;
};

}  // namespace

QObject* Interaction::NewKeyPreview(QWidget* window) { return new KeyPreviewFilter(window, *this); }

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
    if (alt) PanWithLocation(keyCode);
    // The pointer follows the location; a location that left the view takes
    // the view with it.
    if (view_.InRange(selection_.SelectedX, selection_.SelectedY))
      view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
    else
      PanWithLocation(keyCode);
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
      view_.CenterView(selection_.SelectedX, selection_.SelectedY);
      break;
    case forms::vbKeyPageDown:
      view_.ZoomOutView(selection_.SelectedX, selection_.SelectedY);
      break;
    case forms::vbKeyPageUp:
      view_.ZoomInView(selection_.SelectedX, selection_.SelectedY);
      break;
    case forms::vbKeySpace:
    case forms::vbKeyReturn:
      ClickAtSelection();
      break;
    default:
      LetterCommand(keyCode, shift);
      break;
  }
}

void Interaction::PanWithLocation(int keyCode) {
  view_.PanView(keyCode);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
}

void Interaction::LetterCommand(int keyCode, int shift) {
  if ((shift & (forms::vbAltMask | forms::vbCtrlMask)) != 0) return;
  void (Interaction::*move)() = nullptr;
  switch (keyCode) {
    case 'N':
      move = &Interaction::MoveNextPoint;
      break;
    case 'P':
      move = &Interaction::MovePreviousPoint;
      break;
    case 'B':
      move = &Interaction::MoveFirstPoint;
      break;
    case 'T':
      move = &Interaction::MoveLastPoint;
      break;
    case 'L':
      // Only when there is a last selected point to go to.
      if (selection_.LastSelectedPoint <= 0) return;
      MoveCurPoint();
      ClickAtSelection();
      return;
    default:
      return;
  }
  // As the point commands: only while they are enabled.
  if (!MovesPossible()) return;
  (this->*move)();
  ClickAtSelection();
}

}  // namespace specterm
