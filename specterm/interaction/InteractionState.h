#pragma once

// What the user is doing on the plot, one record per owner: the selection
// and the reference location (Navigation), the mouse mode with its gesture
// (MouseModes), the two cursors (Cursors), where the main toolbar was
// pressed (Interaction) and the entry fields (EntryFields).

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
  // The reference location of the presets and the entry fields: the last
  // Select-mode click, or the capture's centre.
  float ClickX = kNoLocation;
  float ClickY = kNoLocation;
};

// The plot's mouse modes. DragFinished swallows the click that follows a
// gesture's zoom.
enum class MouseMode : std::int32_t { Select = 0, ZoomWindow = 1, ZoomIn = 2, ZoomOut = 3, Pan = 5, DragFinished = 6 };

struct MouseState {
  MouseMode Mode = MouseMode::Select;
  MouseMode SavedMode = MouseMode::Select;
  bool PositioningThreshold = false;
  std::int32_t PositioningCursor = 0;
  std::int16_t ClickButton = 0;
  bool PointerMoved = false;
  // The gesture: the press and the corner that follows the pointer, the
  // seed square about the press and the box grown from it.
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
