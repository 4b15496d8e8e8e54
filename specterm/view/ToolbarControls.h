#pragma once

// The main toolbar: its buttons belong to several subsystems (the exports,
// the link's commands, the trace switches, the mouse modes and the view's
// commands, the point moves, the cursors, the link status), and each drives
// the buttons of its own keys. The window builds it with its images.

#include "forms/ImageList.h"

namespace forms {
class KeyedToolBar;
}  // namespace forms

namespace specterm {

struct ToolbarControls {
  forms::KeyedToolBar* tbMain = nullptr;
  // One image per button, keyed by the button's key; the link status
  // images at 7, 8 and 9.
  forms::ImageList imgToolbar;
};

}  // namespace specterm
