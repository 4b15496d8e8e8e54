#pragma once

// The settings kept between runs: window placement (with the waterfall and
// its split), both palettes, options, cursors, move type, threshold and
// trace switches. Read once at start-up,
// written once at shutdown, in a fixed order.

#include "view/DockPlacement.h"
#include "view/Palettes.h"
#include "view/WaterfallRows.h"

#include <array>
#include <string>

namespace specterm {

inline constexpr const char* kWindowStateKey = "WindowState";
inline constexpr const char* kConfigurationKey = "Configuration";
inline constexpr const char* kPaletteKeyPrefix = "Configuration\\ColorPalette";

// Window state values.
inline constexpr int kWindowNormal = 0;
inline constexpr int kWindowMinimized = 1;
inline constexpr int kWindowMaximized = 2;

// The smallest window, in twips; also the stored size's default.
inline constexpr int kMinWindowWidth = 11910;
inline constexpr int kMinWindowHeight = 5760;

struct WindowPlacement {
  float Left = 0;
  float Top = 0;
  float Width = kMinWindowWidth;
  float Height = kMinWindowHeight;
};

struct Settings {
  int WindowState = kWindowNormal;
  WindowPlacement Placement;
  std::array<PaletteColors, 2> Palettes = {DefaultPalette(0), DefaultPalette(1)};
  int CurrentPalette = kViewingPalette;
  std::string LastPath;
  bool SnapToPoint = true;
  bool WindowSpectrum = true;
  bool StopUpdates = true;
  bool SelectionPanelOn = true;
  bool CursorDisplay = false;
  std::array<float, 4> CursorPos = {-1, -1, -1, -1};  // Cursor1X, Cursor1Y, Cursor2X, Cursor2Y
  int PointMoves = 1;
  float PeakThreshold = 0;
  bool CurrentTrace = true;
  bool PeakHold = false;
  bool VideoAverage = false;
  bool LastTrace = false;
  DockPlacement Measurements;  // the "Measurements" dock
  // With the window placement: the waterfall under the plot, and its share
  // of the plot area.
  bool WaterfallShown = false;
  float WaterfallShare = kWaterfallShareDefault;
};

// The folder exports start in when none is stored: the user's home folder.
std::string DefaultLastPath();

// Reads every setting; palettes read into the given records so that the
// slot that is not stored keeps its value.
Settings LoadSettings(const std::array<PaletteColors, 2>& palettes);

// Writes every setting. The four placement values are written only when
// writePlacement is set (the window is in its normal state).
void SaveSettings(const Settings& settings, bool writePlacement);

}  // namespace specterm
