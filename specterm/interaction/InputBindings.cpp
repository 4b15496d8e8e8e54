#include "interaction/InputBindings.h"

#include <array>

namespace specterm {
namespace {

// Virtual-key codes and the classic shift bits.
constexpr int kEnter = 13;
constexpr int kEsc = 27;
constexpr int kSpace = 32;
constexpr int kPageUp = 33;
constexpr int kPageDown = 34;
constexpr int kEnd = 35;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kCtrlBit = 2;
constexpr int kAltBit = 4;

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

using enum KeyAction;
using enum KeyModifiers;
using enum HelpGroup;

constexpr std::array<KeyBinding, 24> kKeys = {{
    {kLeft, None, StepLocation, Selection, "Move the selected location one step to lower frequency"},
    {kRight, None, StepLocation, Selection, "Move the selected location one step to higher frequency"},
    {kUp, None, StepLocation, Selection, "Move the selected location one step to higher amplitude"},
    {kDown, None, StepLocation, Selection, "Move the selected location one step to lower amplitude"},
    {kLeft, Ctrl, StepLocationFar, Selection, "Move the selected location ten steps to lower frequency"},
    {kRight, Ctrl, StepLocationFar, Selection, "Move the selected location ten steps to higher frequency"},
    {kUp, Ctrl, StepLocationFar, Selection, "Move the selected location ten steps to higher amplitude"},
    {kDown, Ctrl, StepLocationFar, Selection, "Move the selected location ten steps to lower amplitude"},
    {kSpace, Any, ClickAtLocation, Selection, "Click at the selected location (select the point there)"},
    {kEnter, Any, ClickAtLocation, Selection, "Click at the selected location (select the point there)"},
    {'N', None, NextPoint, Selection, "Go to the next point or peak"},
    {'P', None, PreviousPoint, Selection, "Go to the previous point or peak"},
    {'B', None, FirstPoint, Selection, "Go to the first (bottom) point or the highest peak"},
    {'T', None, LastPoint, Selection, "Go to the last (top) point or the lowest peak above the threshold"},
    {'L', None, LastSelectedPoint, Selection, "Go to the last selected point"},
    {kLeft, Alt, StepAndPan, ZoomPan, "Pan the view ten steps to lower frequency with the location"},
    {kRight, Alt, StepAndPan, ZoomPan, "Pan the view ten steps to higher frequency with the location"},
    {kUp, Alt, StepAndPan, ZoomPan, "Pan the view ten steps to higher amplitude with the location"},
    {kDown, Alt, StepAndPan, ZoomPan, "Pan the view ten steps to lower amplitude with the location"},
    {kHome, Any, FitView, ZoomPan, "Fit the view to the whole band and amplitude range"},
    {kEnd, Any, CenterView, ZoomPan, "Centre the view on the selected location"},
    {kPageUp, Any, ZoomInAtLocation, ZoomPan, "Zoom in about the selected location"},
    {kPageDown, Any, ZoomOutAtLocation, ZoomPan, "Zoom out about the selected location"},
    {kEsc, Any, Escape, ZoomPan, "Leave the zoom mode, or cancel the armed threshold or cursor positioning"},
}};

constexpr std::array<MouseBinding, 12> kMouse = {{
    {kLeftButton, MouseMode::Select, MouseButtonAction::Pick, Selection, "Left click",
     "Select the nearest point, or place the armed cursor or threshold there"},
    {kRightButton, std::nullopt, MouseButtonAction::ViewMenu, Selection, "Right click",
     "Show the View menu at the pointer"},
    {kLeftButton, MouseMode::ZoomWindow, MouseButtonAction::DragZoom, ZoomPan, "Left drag (Zoom Window mode)",
     "Zoom to the box drawn"},
    {kMiddleButton, std::nullopt, MouseButtonAction::DragZoom, ZoomPan, "Middle drag",
     "Zoom to the box drawn, in any mode"},
    {kMiddleButton, std::nullopt, MouseButtonAction::Center, ZoomPan, "Middle click",
     "Centre the view on the point clicked"},
    {kLeftButton, MouseMode::ZoomIn, MouseButtonAction::ZoomIn, ZoomPan, "Left click (Zoom In mode)",
     "Zoom in about the point clicked"},
    {kLeftButton, MouseMode::ZoomOut, MouseButtonAction::ZoomOut, ZoomPan, "Left click (Zoom Out mode)",
     "Zoom out about the point clicked"},
    {kLeftButton, MouseMode::Pan, MouseButtonAction::Center, ZoomPan, "Left click (Pan mode)",
     "Centre the view on the point clicked"},
    {kRightButton, MouseMode::ZoomWindow, MouseButtonAction::LeaveZoomMode, ZoomPan, "Right click (a zoom mode)",
     "Leave the zoom mode for Select mode"},
    {kRightButton, MouseMode::ZoomIn, MouseButtonAction::LeaveZoomMode, ZoomPan, "Right click (a zoom mode)",
     "Leave the zoom mode for Select mode"},
    {kRightButton, MouseMode::ZoomOut, MouseButtonAction::LeaveZoomMode, ZoomPan, "Right click (a zoom mode)",
     "Leave the zoom mode for Select mode"},
    {kRightButton, MouseMode::Pan, MouseButtonAction::LeaveZoomMode, ZoomPan, "Right click (a zoom mode)",
     "Leave the zoom mode for Select mode"},
}};

}  // namespace

const char* HelpGroupTitle(HelpGroup group) {
  switch (group) {
    case Selection:
      return "Moving the selection";
    case ZoomPan:
      return "Zoom and pan";
    case Cursors:
      return "Cursors";
    case Traces:
      return "Traces";
    case Updates:
      return "Updates";
    case Files:
      return "Files";
    default:
      return "Help";
  }
}

std::span<const KeyBinding> ViewKeyBindings() { return kKeys; }

std::optional<KeyBinding> FindKeyBinding(int keyCode, int shift) {
  const KeyModifiers pressed = (shift & kAltBit) != 0 ? Alt : (shift & kCtrlBit) != 0 ? Ctrl : None;
  for (const KeyBinding& key : ViewKeyBindings())
    if (key.KeyCode == keyCode && (key.Modifiers == Any || key.Modifiers == pressed)) return key;
  return std::nullopt;
}

std::span<const MouseBinding> MouseBindings() { return kMouse; }

bool MouseDoes(int button, MouseMode mode, MouseButtonAction action) {
  for (const MouseBinding& m : kMouse)
    if (m.Button == button && m.Action == action && (!m.Mode || *m.Mode == mode)) return true;
  return false;
}

}  // namespace specterm
