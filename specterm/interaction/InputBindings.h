#pragma once

// The window's keys and the plot's mouse as tables: what each key (with its
// modifiers) and each button in each mouse mode does. The key dispatch
// (Form_KeyUp) and the mouse modes act through these tables, and the
// Keyboard and Mouse window lists them, so the list cannot drift from what
// the keys and buttons do. Free of widgets.

#include "interaction/InteractionState.h"

#include <optional>
#include <span>

namespace specterm {

// The groups the Keyboard and Mouse window lists, in its order.
enum class HelpGroup { Selection, ZoomPan, Cursors, Traces, Updates, Files, Help };
inline constexpr int kHelpGroupCount = 7;
const char* HelpGroupTitle(HelpGroup group);

// The modifiers a key binding asks for. Alt is tested before Ctrl; Shift
// is ignored.
enum class KeyModifiers { Any, None, Ctrl, Alt };

enum class KeyAction {
  StepLocation,     // the arrows: one pan step
  StepLocationFar,  // Ctrl + arrow: ten steps
  StepAndPan,       // Alt + arrow: ten steps, and the view moves with them
  ClickAtLocation,
  Escape,
  FitView,
  CenterView,
  ZoomOutAtLocation,
  ZoomInAtLocation,
  NextPoint,
  PreviousPoint,
  FirstPoint,
  LastPoint,
  LastSelectedPoint,
};

struct KeyBinding {
  int KeyCode;  // virtual-key code
  KeyModifiers Modifiers;
  KeyAction Action;
  HelpGroup Group;
  const char* What;
};

// Every key the window previews, in the order the help lists them.
std::span<const KeyBinding> ViewKeyBindings();
// The binding of a released key with the classic shift state (1 Shift,
// 2 Ctrl, 4 Alt); nothing when the key does nothing.
std::optional<KeyBinding> FindKeyBinding(int keyCode, int shift);

// The plot's mouse: what a button does in a mouse mode.
enum class MouseButtonAction {
  Pick,           // left press in Select mode: pick the nearest point, or place what is armed
  DragZoom,       // a drag zooms to the rubber band (a click centres)
  ZoomIn,         // left click
  ZoomOut,        // left click
  Center,         // left click in Pan mode
  LeaveZoomMode,  // right click in a zoom mode
  ViewMenu,       // right press: the View menu as a pop-up
};

struct MouseBinding {
  int Button;                     // 1 left, 2 right, 4 middle
  std::optional<MouseMode> Mode;  // nothing: in every mode
  MouseButtonAction Action;
  HelpGroup Group;
  const char* Gesture;  // what the user does, for the help
  const char* What;
};

std::span<const MouseBinding> MouseBindings();
// Whether a button does this in a mode.
bool MouseDoes(int button, MouseMode mode, MouseButtonAction action);

}  // namespace specterm
