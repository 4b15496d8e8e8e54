#include "view/WaterfallRows.h"

#include <algorithm>
#include <cmath>

namespace specterm {
namespace {

// A colour scale's stops: position 0..1 and 0xRRGGBB.
struct Stop {
  double At;
  std::uint32_t Rgb;
};

// Viewing: from black through blue, cyan, green, yellow and red to white.
constexpr std::array<Stop, 7> kViewingStops = {{{0.0, 0x000000},
                                                {0.18, 0x00007F},
                                                {0.36, 0x0000FF},
                                                {0.52, 0x00FFFF},
                                                {0.68, 0x00FF00},
                                                {0.84, 0xFFFF00},
                                                {1.0, 0xFF0000}}};
// Printing: from white paper through yellow, orange and red to dark purple.
constexpr std::array<Stop, 6> kPrintingStops = {
    {{0.0, 0xFFFFFF}, {0.2, 0xFFF5B0}, {0.45, 0xFFA030}, {0.65, 0xE02020}, {0.85, 0x800040}, {1.0, 0x200020}}};

template <std::size_t N>
std::array<std::uint32_t, kWaterfallColourSteps> Interpolate(const std::array<Stop, N>& stops) {
  std::array<std::uint32_t, kWaterfallColourSteps> colours{};
  for (int i = 0; i < kWaterfallColourSteps; ++i) {
    const double t = i / static_cast<double>(kWaterfallColourSteps - 1);
    std::size_t s = 1;
    while (s + 1 < N && stops[s].At < t) ++s;
    const Stop& a = stops[s - 1];
    const Stop& b = stops[s];
    const double f = std::clamp((t - a.At) / (b.At - a.At), 0.0, 1.0);
    std::uint32_t rgb = 0;
    for (int shift : {16, 8, 0}) {
      const double ca = (a.Rgb >> shift) & 0xFF;
      const double cb = (b.Rgb >> shift) & 0xFF;
      rgb |= static_cast<std::uint32_t>(std::lround(ca + (cb - ca) * f)) << shift;
    }
    colours[static_cast<std::size_t>(i)] = 0xFF000000u | rgb;
  }
  return colours;
}

}  // namespace

std::vector<ColumnSpan> RowSpans(const ColumnMap& map, double firstX, double stepX, std::size_t points) {
  std::vector<ColumnSpan> spans(static_cast<std::size_t>(map.Columns()));
  if (!(stepX > 0) || !std::isfinite(firstX) || !(map.Scale > 0) || points == 0) return spans;
  const auto n = static_cast<double>(points);
  // The fractional point index at a pixel position: points lie at whole
  // indexes, and point k is drawn in the column its pixel rounds to.
  const auto index = [&](double pixel) { return ((pixel - map.Origin) / map.Scale - firstX) / stepX; };
  for (int c = map.First; c <= map.Last; ++c) {
    ColumnSpan& span = spans[static_cast<std::size_t>(c - map.First)];
    // Points whose pixel lies in [c - 0.5, c + 0.5).
    const double low = std::ceil(index(c - 0.5));
    const double high = std::ceil(index(c + 0.5)) - 1;
    if (low <= high) {
      if (high < 0 || low > n - 1) continue;
      span = {static_cast<std::int32_t>(std::max(low, 0.0)), static_cast<std::int32_t>(std::min(high, n - 1))};
      continue;
    }
    // Between two points: the nearer, within half a step of the row.
    const double at = index(c);
    if (at < -0.5 || at > n - 0.5) continue;
    const auto nearest = static_cast<std::int32_t>(std::clamp(std::floor(at + 0.5), 0.0, n - 1));
    span = {nearest, nearest};
  }
  return spans;
}

std::optional<float> ColumnLevel(std::span<const float> levels, const ColumnSpan& span) {
  if (span.Empty() || span.Low < 0 || static_cast<std::size_t>(span.High) >= levels.size()) return std::nullopt;
  return *std::max_element(levels.begin() + span.Low, levels.begin() + span.High + 1);
}

int ColourStep(float level, float topDb, float bottomDb) {
  const float range = topDb - bottomDb;
  if (!(range > 0) || !std::isfinite(level)) return 0;
  const float t = (level - bottomDb) / range * static_cast<float>(kWaterfallColourSteps);
  if (!(t > 0)) return 0;
  return std::min(static_cast<int>(t), kWaterfallColourSteps - 1);
}

std::array<std::uint32_t, kWaterfallColourSteps> WaterfallColours(int palette) {
  return palette == 1 ? Interpolate(kPrintingStops) : Interpolate(kViewingStops);
}

void PaintRow(std::span<const float> levels, std::span<const ColumnSpan> spans, float topDb, float bottomDb,
              const std::array<std::uint32_t, kWaterfallColourSteps>& colours, std::uint32_t empty,
              std::uint32_t* pixels) {
  const float range = topDb - bottomDb;
  const float perDb = range > 0 ? static_cast<float>(kWaterfallColourSteps) / range : 0.0f;
  const float* data = levels.data();
  const auto count = static_cast<std::int32_t>(levels.size());
  for (std::size_t c = 0; c < spans.size(); ++c) {
    const ColumnSpan span = spans[c];
    if (span.Empty() || span.Low < 0 || span.High >= count) {
      pixels[c] = empty;
      continue;
    }
    float level = data[span.Low];
    for (std::int32_t k = span.Low + 1; k <= span.High; ++k) level = std::max(level, data[k]);
    // As ColourStep, without its checks in the inner loop.
    const float t = (level - bottomDb) * perDb;
    const int step = t > 0 ? std::min(static_cast<int>(t), kWaterfallColourSteps - 1) : 0;
    pixels[c] = colours[static_cast<std::size_t>(step)];
  }
}

float ClampWaterfallShare(float share) {
  if (!std::isfinite(share)) return kWaterfallShareDefault;
  return std::clamp(share, kWaterfallShareMin, kWaterfallShareMax);
}

}  // namespace specterm
