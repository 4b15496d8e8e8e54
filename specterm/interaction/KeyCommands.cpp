// The keys the window previews on release: the arrows move the selected
// location (Ctrl by ten steps, Alt also pans the view), Home fits the view,
// End centres it on the location, Page Down and Page Up zoom out and in
// about it, Esc leaves a zoom mode or cancels an armed positioning, Space
// and Enter click at the location, and N, P, B, T and L step through the
// points or peaks. Also the window's event filters that bring the keys and
// the presses on the bare client area here.

#include "forms/PictureBox.h"
#include "forms/VirtualKeys.h"
#include "interaction/InputBindings.h"
#include "interaction/Interaction.h"
#include "interaction/MouseModes.h"
#include "interaction/Navigation.h"
#include "view/PlotView.h"
#include "view/ViewModel.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <set>

namespace specterm {
namespace {

// A Ctrl or Alt arrow moves this many steps.
constexpr float kLargeSteps = 10.0f;

// Watches every key event of the application and acts on those of one
// window: a release goes to Form_KeyUp before the control that has the
// focus sees it, and a text box may not keep a key that is the shortcut of
// one of the window's enabled menu items, so that the shortcut runs the
// item. Only a release whose press the window received while it previewed
// keys acts, and it acts once, however far it then travels up the widgets:
// the Enter that closed a dialog or the Esc that closed a menu is released
// over the window, but it was not the window's key.
class KeyPreviewFilter : public QObject {
 public:
  KeyPreviewFilter(QWidget* window, Interaction& input) : QObject(window), window_(window), input_(input) {
    QApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (watched == window_ && (type == QEvent::WindowDeactivate || type == QEvent::WindowBlocked)) {
      // The keys held now are let go elsewhere.
      pressed_.clear();
      return false;
    }
    if (type != QEvent::KeyRelease && type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    if (!watched->isWidgetType() || window_ == nullptr || static_cast<QWidget*>(watched)->window() != window_)
      return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) return IsMenuShortcut(*key);
    // A held key's repeats count once, when it is let go.
    if (key->isAutoRepeat()) return false;
    if (type == QEvent::KeyPress) {
      if (input_.KeyPreview()) pressed_.insert(key->key());
      return false;
    }
    if (pressed_.erase(key->key()) == 0 || !input_.KeyPreview()) return false;
    const int code = forms::VirtualKeyFromQt(key->key());
    if (code != 0) input_.Form_KeyUp(code, forms::ShiftFromQt(key->modifiers()));
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
  // The keys pressed in the window whose release has not come yet.
  std::set<int> pressed_;
};

// Sends presses on the window's bare client area to Form_MouseDown.
class FormMouse : public QObject {
 public:
  FormMouse(QObject* parent, QObject* clientArea, Interaction& input)
      : QObject(parent), clientArea_(clientArea), input_(input) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress && watched == clientArea_) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int button = mouse->button() == Qt::RightButton    ? forms::vbRightButton
                         : mouse->button() == Qt::LeftButton   ? forms::vbLeftButton
                         : mouse->button() == Qt::MiddleButton ? forms::vbMiddleButton
                                                               : 0;
      if (button != 0)
        input_.Form_MouseDown(button, 0, static_cast<float>(mouse->position().x()),
                              static_cast<float>(mouse->position().y()));
    }
    return false;
  }

 private:
  QObject* clientArea_;
  Interaction& input_;
};

}  // namespace

QObject* Interaction::NewKeyPreview(QWidget* window) { return new KeyPreviewFilter(window, *this); }

QObject* Interaction::NewFormMouse(QObject* window, QObject* clientArea) {
  return new FormMouse(window, clientArea, *this);
}

// What each key does is the table's (InputBindings), which the Keyboard and
// Mouse window lists.
void Interaction::Form_KeyUp(int keyCode, int shift) {
  const std::optional<KeyBinding> key = FindKeyBinding(keyCode, shift);
  if (!key) return;
  const SelectionState& selection = navigation_.Selection();
  switch (key->Action) {
    case KeyAction::StepLocation:
    case KeyAction::StepLocationFar:
    case KeyAction::StepAndPan:
      StepLocation(keyCode, key->Action == KeyAction::StepLocation ? 1.0f : kLargeSteps,
                   key->Action == KeyAction::StepAndPan);
      break;
    case KeyAction::Escape:
      modes_.Escape();
      break;
    case KeyAction::FitView:
      modes_.ViewButtonClick(QStringLiteral("ZoomFitView"));
      break;
    case KeyAction::CenterView:
      view_.CenterView(selection.SelectedX, selection.SelectedY);
      break;
    case KeyAction::ZoomOutAtLocation:
      view_.ZoomOutView(selection.SelectedX, selection.SelectedY);
      break;
    case KeyAction::ZoomInAtLocation:
      view_.ZoomInView(selection.SelectedX, selection.SelectedY);
      break;
    case KeyAction::ClickAtLocation:
      modes_.ClickAtSelection();
      break;
    case KeyAction::NextPoint:
      MoveIfPossible(&Navigation::MoveNextPoint);
      break;
    case KeyAction::PreviousPoint:
      MoveIfPossible(&Navigation::MovePreviousPoint);
      break;
    case KeyAction::FirstPoint:
      MoveIfPossible(&Navigation::MoveFirstPoint);
      break;
    case KeyAction::LastPoint:
      MoveIfPossible(&Navigation::MoveLastPoint);
      break;
    case KeyAction::LastSelectedPoint:
      // Only when there is a last selected point to go to.
      if (selection.LastSelectedPoint > 0) MoveAndClick(&Navigation::MoveCurPoint);
      break;
  }
}

void Interaction::StepLocation(int keyCode, float steps, bool pan) {
  const SelectionState& selection = navigation_.Selection();
  float x = selection.SelectedX;
  float y = selection.SelectedY;
  switch (keyCode) {
    case forms::vbKeyLeft:
      x -= steps * view_.PanStepX();
      break;
    case forms::vbKeyRight:
      x += steps * view_.PanStepX();
      break;
    case forms::vbKeyUp:
      y -= steps * view_.PanStepY();
      break;
    default:
      y += steps * view_.PanStepY();
      break;
  }
  navigation_.SetSelectedLocation(x, y);
  if (pan) PanWithLocation(keyCode);
  // The pointer follows the location; a location that left the view takes
  // the view with it.
  if (view_.InRange(selection.SelectedX, selection.SelectedY))
    view_.MoveCursor(selection.SelectedX, selection.SelectedY);
  else
    PanWithLocation(keyCode);
}

void Interaction::PanWithLocation(int keyCode) {
  view_.PanView(keyCode);
  view_.MoveCursor(navigation_.Selection().SelectedX, navigation_.Selection().SelectedY);
}

void Interaction::MoveIfPossible(void (Navigation::*move)()) {
  // As the point commands: only while they are enabled.
  if (navigation_.MovesPossible()) MoveAndClick(move);
}

}  // namespace specterm
