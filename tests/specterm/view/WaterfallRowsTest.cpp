// The waterfall's arithmetic: the points each pixel column shows, zoomed
// out, zoomed in and beyond the row; the colour scale over the visible dB
// range; a row painted as pixels; and the split's share as stored.

#include "view/WaterfallRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

namespace specterm {

void PrintTo(const ColumnSpan& span, std::ostream* os) { *os << span.Low << ".." << span.High; }

namespace {

// One pixel per plot x unit, columns 0..9.
constexpr ColumnMap kTenColumns{0.0, 1.0, 0, 9};

TEST(WaterfallRows, EachColumnShowsThePointsDrawnInIt) {
  struct Case {
    const char* name;
    ColumnMap map;
    double firstX;
    double stepX;
    std::size_t points;
    std::vector<ColumnSpan> spans;
  };
  const ColumnSpan none{};
  const std::vector<Case> cases = {
      // Four points a pixel: each column the points whose pixel rounds to it.
      {"zoomed out", {0.0, 1.0, 0, 3}, 0.0, 0.25, 16, {{0, 1}, {2, 5}, {6, 9}, {10, 13}}},
      // A point every four pixels: each column the nearer point.
      {"zoomed in", {0.0, 1.0, 0, 6}, 0.0, 4.0, 2, {{0, 0}, {0, 0}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}}},
      // The row covers x 3..5 only.
      {"beyond the row", kTenColumns, 3.0, 1.0, 3, {none, none, none, {0, 0}, {1, 1}, {2, 2}, none, none, none, none}},
      // An offset and scale as the plot's (x 700 at pixel 100, 2 pixels a
      // unit): the point at 699.5 lies in column 99.
      {"offset", {-1300.0, 2.0, 99, 101}, 699.0, 0.5, 5, {{1, 1}, {2, 2}, {3, 3}}},
      {"no step", kTenColumns, 0.0, 0.0, 5, std::vector<ColumnSpan>(10)},
      {"no number", kTenColumns, std::numeric_limits<double>::quiet_NaN(), 1.0, 5, std::vector<ColumnSpan>(10)},
      {"no columns", {0.0, 1.0, 5, 4}, 0.0, 1.0, 5, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(RowSpans(c.map, c.firstX, c.stepX, c.points), c.spans) << c.name;
}

TEST(WaterfallRows, TheColourScaleSpansTheVisibleRange) {
  struct Case {
    float level;
    float top;
    float bottom;
    int step;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const Case c :
       {Case{20, 120, 20, 0}, Case{119.99f, 120, 20, 255}, Case{120, 120, 20, 255}, Case{500, 120, 20, 255},
        Case{-40, 120, 20, 0}, Case{70, 120, 20, 128}, Case{70, 20, 20, 0}, Case{nan, 120, 20, 0}})
    EXPECT_EQ(ColourStep(c.level, c.top, c.bottom), c.step) << c.level << " in " << c.bottom << ".." << c.top;
}

TEST(WaterfallRows, ARowPaintsEachColumnsHighestPoint) {
  const std::vector<float> levels = {10, 90, 30, 50, 120};
  const std::vector<ColumnSpan> spans = {{0, 1}, {2, 3}, {}, {4, 4}};
  const auto colours = WaterfallColours(0);
  std::vector<std::uint32_t> pixels(spans.size());
  PaintRow(levels, spans, 100, 0, colours, 0xFF123456u, pixels.data());
  EXPECT_EQ(pixels[0], colours[static_cast<std::size_t>(ColourStep(90, 100, 0))]);
  EXPECT_EQ(pixels[1], colours[static_cast<std::size_t>(ColourStep(50, 100, 0))]);
  EXPECT_EQ(pixels[2], 0xFF123456u);
  EXPECT_EQ(pixels[3], colours[255]);
  EXPECT_EQ(ColumnLevel(levels, spans[1]), 50.0f);
  EXPECT_FALSE(ColumnLevel(levels, spans[2]));
}

TEST(WaterfallRows, ViewingStartsDarkAndPrintingLight) {
  const auto brightness = [](std::uint32_t argb) {
    return ((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF);
  };
  EXPECT_EQ(brightness(WaterfallColours(0)[0]), 0u);
  EXPECT_EQ(brightness(WaterfallColours(1)[0]), 3u * 255u);
  EXPECT_LT(brightness(WaterfallColours(1)[255]), 200u);
}

TEST(WaterfallRows, AStoredShareComesBackWithinRange) {
  EXPECT_EQ(ClampWaterfallShare(0.3f), 0.3f);
  EXPECT_EQ(ClampWaterfallShare(-1), kWaterfallShareMin);
  EXPECT_EQ(ClampWaterfallShare(7), kWaterfallShareMax);
  EXPECT_EQ(ClampWaterfallShare(std::numeric_limits<float>::infinity()), kWaterfallShareDefault);
  EXPECT_EQ(ClampWaterfallShare(std::numeric_limits<float>::quiet_NaN()), kWaterfallShareDefault);
}

}  // namespace
}  // namespace specterm
