#pragma once

// The arithmetic of the waterfall's rows, free of widgets: which points of a
// row fall into each pixel column of the plot, the colour scale over the
// plot's visible dB range, and the share of the plot area the waterfall
// takes.

#include "view/ColumnMap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace specterm {

// The points of a row (indexes Low..High, frequency order) drawn in one
// column. Zoomed out, a column holds several points and shows the highest;
// zoomed in, a column between two points shows the nearer one. A column
// beyond the row's points holds none (High < Low).
struct ColumnSpan {
  std::int32_t Low = 0;
  std::int32_t High = -1;
  bool Empty() const { return High < Low; }
  bool operator==(const ColumnSpan&) const = default;
};

// The spans of the columns First..Last for a row of `points` points, the
// first at plot x firstX and each next one stepX further (stepX > 0; a row
// with another step has no points in any column).
std::vector<ColumnSpan> RowSpans(const ColumnMap& map, double firstX, double stepX, std::size_t points);

// The level a column shows: the highest of its points; none when it holds
// none.
std::optional<float> ColumnLevel(std::span<const float> levels, const ColumnSpan& span);

// The colour scale: 256 steps from the bottom of the visible dB range to its
// top, levels beyond either end taking the end's colour.
inline constexpr int kWaterfallColourSteps = 256;
int ColourStep(float level, float topDb, float bottomDb);
// The scale's colours (0xAARRGGBB) for a palette: dark for viewing, light
// for printing (the low end is the paper).
std::array<std::uint32_t, kWaterfallColourSteps> WaterfallColours(int palette);

// One row as pixels: each column's colour, or `empty` where it holds no
// point.
void PaintRow(std::span<const float> levels, std::span<const ColumnSpan> spans, float topDb, float bottomDb,
              const std::array<std::uint32_t, kWaterfallColourSteps>& colours, std::uint32_t empty,
              std::uint32_t* pixels);

// The waterfall's share of the plot area (its height over the heights of
// the plot and the waterfall together), as dragged and stored.
inline constexpr float kWaterfallShareDefault = 0.4f;
inline constexpr float kWaterfallShareMin = 0.1f;
inline constexpr float kWaterfallShareMax = 0.85f;
// A stored share that is no number or out of range comes back within it.
float ClampWaterfallShare(float share);

}  // namespace specterm
