#pragma once

// What the user is doing on the plot: the selection, the mouse mode, the two
// cursors, where the toolbar was pressed, and the entry fields.

#include <array>
#include <cstdint>
#include <string>

namespace specterm {

// A location that has not been set yet.
inline constexpr float kNoLocation = -32000.0f;

struct SelectionState {
  std::int16_t MoveType = 1;  // 0 all points, 1 peak points
  float MinPeakThreshold = 0;
  std::int32_t SelectedPoint = 0;
  std::int16_t SelectedTrace = -1;
  float SelectedX = 0;
  float SelectedY = 0;
  std::int32_t LastSelectedPoint = 0;
  std::int16_t LastSelectedTrace = -1;
  bool PickSetsLast = false;
  std::int32_t PickedPoint = 0;
  bool MarkerShown = false;  // the selected point is circled
};

// Mouse modes.
inline constexpr int kModeSelect = 0;
inline constexpr int kModeZoomWindow = 1;
inline constexpr int kModeZoomIn = 2;
inline constexpr int kModeZoomOut = 3;
inline constexpr int kModePan = 5;
inline constexpr int kModeDragFinished = 6;

struct MouseState {
  std::int32_t MouseMode = kModeSelect;
  std::int32_t SavedMouseMode = kModeSelect;
  bool PositioningThreshold = false;
  std::int32_t PositioningCursor = 0;
  std::int16_t ClickButton = 0;
  bool PointerMoved = false;
  float ClickX = kNoLocation;
  float ClickY = kNoLocation;
  float DragAnchorX = 0;
  float DragAnchorY = 0;
  float DragCornerX = 0;
  float DragCornerY = 0;
  float SeedLeft = 32000;
  float SeedRight = 32000;
  float SeedTop = 32000;
  float SeedBottom = 32000;
  float OuterLeft = 0;
  float OuterTop = 0;
  float OuterRight = 0;
  float OuterBottom = 0;
  float ZoomOutX = 1;
  float ZoomOutY = 1;
};

// A cursor whose x is this is not placed.
inline constexpr float kCursorNotPlaced = -1.0f;

struct CursorState {
  // Cursor1X, Cursor1Y, Cursor2X, Cursor2Y.
  std::array<float, 4> CursorPos = {kCursorNotPlaced, kCursorNotPlaced, kCursorNotPlaced, kCursorNotPlaced};
  bool Placed(int cursor) const { return CursorPos[static_cast<std::size_t>((cursor - 1) * 2)] != kCursorNotPlaced; }
  bool BothPlaced() const { return Placed(1) && Placed(2); }
};

struct CommandState {
  float ToolbarPressX = 0;
  float ToolbarPressY = 0;
};

struct EntryState {
  bool EntryCancelled = false;
  std::string AllowedKeys;
};

}  // namespace specterm
