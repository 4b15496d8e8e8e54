#pragma once

// Where a dock of the main window is and whether it is shown, as the window
// settings keep it: its side of the plot (or floating), its size and, when
// floating, its place on the screen. Measures are twips.

#include <array>
#include <string>

namespace specterm {

enum class DockArea { Right, Left, Top, Bottom, Floating };

inline constexpr std::array<const char*, 5> kDockAreaNames = {"Right", "Left", "Top", "Bottom", "Floating"};

struct DockPlacement {
  bool Shown = false;
  DockArea Area = DockArea::Right;
  float Left = 0;  // a floating dock's place
  float Top = 0;
  float Width = 0;  // the dock's size; 0 leaves it to the window
  float Height = 0;
};

inline std::string DockAreaName(DockArea area) { return kDockAreaNames[static_cast<std::size_t>(area)]; }

// The area of a stored name; the right side for a name that is none.
inline DockArea DockAreaFromName(const std::string& name) {
  for (std::size_t i = 0; i < kDockAreaNames.size(); ++i)
    if (name == kDockAreaNames[i]) return static_cast<DockArea>(i);
  return DockArea::Right;
}

}  // namespace specterm
