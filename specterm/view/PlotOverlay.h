#pragma once

// What the plot shows over its traces and grid, as the subsystems that own
// it hand it to the view: the minimum peak threshold and the selection
// marker (the navigation's), the two cursors (the cursors'), and the
// rubber-band figures of a zoom gesture (the mouse modes'). Values only: the
// view keeps what it was given and draws it; it asks no one.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace specterm {

// The selection marker: a circle about one point of a trace row.
struct SelectionMarker {
  bool Shown = false;
  std::int32_t Point = 0;  // 1-based
  std::int16_t Trace = -1;
  bool operator==(const SelectionMarker&) const = default;
};

// The two cursors' lines: shown or not, and where (Cursor1X, Cursor1Y,
// Cursor2X, Cursor2Y; an x of -1 is a cursor not placed).
struct CursorLines {
  bool Shown = false;
  std::array<float, 4> Pos = {-1, -1, -1, -1};
  bool operator==(const CursorLines&) const = default;
};

// A rectangle of the plot space between two corners.
struct PlotBox {
  float X1 = 0;
  float Y1 = 0;
  float X2 = 0;
  float Y2 = 0;
  bool operator==(const PlotBox&) const = default;
};

// The figures of a zoom gesture: the box to zoom into, the filled seed
// square about the press, and the box whose size says how far to zoom out.
struct GestureFigures {
  std::optional<PlotBox> ZoomBox;
  std::optional<PlotBox> Seed;
  std::optional<PlotBox> Outer;
  bool operator==(const GestureFigures&) const = default;
};

struct PlotOverlay {
  float MinPeakThreshold = 0;
  // One line of guidance across the middle of the field; empty for none.
  std::string Guidance;
  CursorLines Cursors;
  SelectionMarker Marker;
  // Drawn over the picture as they come; a redraw ends them.
  GestureFigures Figures;
};

// The box about a location in which a click picks a point; it also sizes
// the selection marker.
struct PickBox {
  float Left = 0;
  float Right = 0;
  float Top = 0;
  float Bottom = 0;
};

}  // namespace specterm
