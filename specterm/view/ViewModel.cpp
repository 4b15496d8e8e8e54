#include "view/ViewModel.h"

#include "vbformat/VbFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace specterm {
namespace {

struct WidthTableRow {
  float atLeast;
  WidthRow row;
};

// First row whose test the width passes (comparisons in single precision).
constexpr std::array<WidthTableRow, 9> kWidthTable = {{
    {250.0f, {9, 2500}},
    {100.0f, {8, 1000}},
    {50.0f, {7, 500}},
    {25.0f, {6, 250}},
    {10.0f, {5, 100}},
    {5.0f, {4, 50}},
    {2.5f, {3, 25}},
    {1.0f, {2, 10}},
    {0.5f, {1, 5}},
}};
constexpr WidthRow kNarrowestWidthRow = {0, 2};

struct HeightTableRow {
  float above;
  HeightRow row;
};

constexpr std::array<HeightTableRow, 9> kHeightTable = {{
    {50.0f, {9, "####", 1, 1000}},
    {25.0f, {8, "####", 1, 500}},
    {10.0f, {7, "####", 1, 250}},
    {5.0f, {6, "####.0", 2, 100}},
    {2.5f, {5, "####.00", 3, 50}},
    {1.0f, {4, "####.000", 4, 25}},
    {0.5f, {3, "####.0000", 5, 10}},
    {0.25f, {2, "####.00000", 6, 5}},
    {0.1f, {1, "####.000000", 7, 2}},
}};
constexpr HeightRow kLowestHeightRow = {0, "####.0000000", 8, 1};

// Divisors of the preset range for the dB-per-division presets 0..8; any
// other index divides by 2.
constexpr std::array<float, 9> kDbPresetDivisors = {2000, 1000, 400, 200, 100, 40, 20, 10, 4};
constexpr float kWidestDbDivisor = 2;
// The range the presets divide: 250 / D is ten divisions of the dB each
// preset's caption names.
constexpr float kDbPresetRange = 250.0f;

// Widths of the span presets 0..8 in plot x units; any other index is 250.
constexpr std::array<float, 9> kSpanPresetUnits = {0.25f, 0.5f, 1, 2.5f, 5, 10, 25, 50, 100};
constexpr float kWidestSpanUnits = 250;

// A label's number format, its full width and unit.
constexpr const char* kAmplitudeLabelFormat = "###0.00";
constexpr const char* kAmplitudeUnit = "dB";

// A grid never gets more lines than this, whatever the numbers say.
constexpr std::size_t kMaxGridLines = 10000;

}  // namespace

std::int64_t RoundHalfEven(double value) {
  constexpr double kLimit = 9.0e18;
  if (!std::isfinite(value)) return 0;
  if (value > kLimit) return static_cast<std::int64_t>(kLimit);
  if (value < -kLimit) return -static_cast<std::int64_t>(kLimit);
  // The default rounding mode rounds halves to even.
  return static_cast<std::int64_t>(std::nearbyint(value));
}

WidthRow WidthRowFor(float scaleWidth) {
  for (const WidthTableRow& r : kWidthTable)
    if (scaleWidth >= r.atLeast) return r.row;
  return kNarrowestWidthRow;
}

HeightRow HeightRowFor(float scaleHeight) {
  for (const HeightTableRow& r : kHeightTable)
    if (scaleHeight > r.above) return r.row;
  return kLowestHeightRow;
}

DerivedParameters DeriveParameters(float scaleWidth, float scaleHeight) {
  DerivedParameters d{WidthRowFor(scaleWidth), HeightRowFor(scaleHeight), 0, 0};
  d.PanStepX = static_cast<float>(d.Width.Kx) / 1000.0f;
  d.PanStepY = static_cast<float>(d.Height.Ky) / 1000.0f;
  return d;
}

float DbPresetHeight(int index) {
  const bool listed = index >= 0 && index < static_cast<int>(kDbPresetDivisors.size());
  return kDbPresetRange / (listed ? kDbPresetDivisors[static_cast<std::size_t>(index)] : kWidestDbDivisor);
}

float SpanPresetWidth(int index) {
  const bool listed = index >= 0 && index < static_cast<int>(kSpanPresetUnits.size());
  return listed ? kSpanPresetUnits[static_cast<std::size_t>(index)] : kWidestSpanUnits;
}

ViewRect CentredOn(const ViewRect& view, float x, float y) {
  ViewRect r = view;
  r.Left = static_cast<float>(static_cast<double>(x) - static_cast<double>(view.Width) / 2.0);
  r.Top = static_cast<float>(static_cast<double>(y) - static_cast<double>(view.Height) / 2.0);
  return r;
}

std::optional<ViewRect> ZoomedOut(const ViewRect& view, float x, float y, float ampRange) {
  const float limit = kZoomOutLimitRanges * ampRange;
  const auto height = static_cast<float>(static_cast<double>(view.Height) * kZoomOutFactor);
  if (!(limit >= height)) return std::nullopt;
  ViewRect r;
  r.Width = static_cast<float>(static_cast<double>(view.Width) * kZoomOutFactor);
  r.Height = height;
  return CentredOn(r, x, y);
}

std::optional<ViewRect> ZoomedIn(const ViewRect& view, float x, float y, double minViewWidth) {
  const double width = static_cast<double>(view.Width) * kZoomInFactor;
  if (!(width > minViewWidth)) return std::nullopt;
  ViewRect r;
  r.Width = static_cast<float>(width);
  r.Height = static_cast<float>(static_cast<double>(view.Height) * kZoomInFactor);
  return CentredOn(r, x, y);
}

ViewRect FittedView(float bandLow, float bandHigh, float ampCeiling, float ampRange) {
  return {bandLow, -ampCeiling, bandHigh - bandLow, ampRange};
}

ViewRect Panned(const ViewRect& view, int keyCode, float panStepX, float panStepY) {
  ViewRect r = view;
  switch (keyCode) {
    case kPanLeft:
      r.Left = view.Left - kPanSteps * panStepX;
      break;
    case kPanRight:
      r.Left = view.Left + kPanSteps * panStepX;
      break;
    case kPanUp:
      r.Top = view.Top - kPanSteps * panStepY;
      break;
    case kPanDown:
      r.Top = view.Top + kPanSteps * panStepY;
      break;
    default:
      break;
  }
  return r;
}

bool Contains(const ViewRect& view, float x, float y) {
  const float right = view.Left + view.Width;
  const float bottom = view.Top + view.Height;
  return x >= view.Left && x <= right && y >= view.Top && y <= bottom;
}

std::optional<int> HScrollValueFor(const ViewRect& view, float bandLow, float bandHigh, float previousWidth, int min,
                                   int max) {
  const float band = bandHigh - bandLow;
  if (band == view.Width && view.Width != previousWidth) return std::clamp(50, min, max);
  const double centre = static_cast<double>(view.Left) + static_cast<double>(view.Width) / 2.0;
  const double percent =
      (centre - static_cast<double>(bandLow)) / (static_cast<double>(bandHigh) - static_cast<double>(bandLow)) * 100.0;
  if (!std::isfinite(percent)) return std::nullopt;
  const std::int64_t value = RoundHalfEven(percent);
  if (value < min || value > max) return std::nullopt;
  return static_cast<int>(value);
}

int VScrollValueFor(const ViewRect& view, int min, int max) {
  const float centre = view.Top + view.Height / 2.0f;
  if (centre > static_cast<float>(max)) return max;
  if (centre < static_cast<float>(min)) return min;
  return static_cast<int>(RoundHalfEven(centre));
}

ScrollArrows ArrowsAt(int value, int min, int max) {
  if (value >= max) return ScrollArrows::LeftUp;
  if (value <= min) return ScrollArrows::RightDown;
  return ScrollArrows::Both;
}

std::vector<std::int32_t> AmplitudeGridLines(float scaleTop, float scaleHeight, int ky) {
  std::vector<std::int32_t> lines;
  if (ky <= 0 || !std::isfinite(scaleTop) || !std::isfinite(scaleHeight)) return lines;
  const std::int64_t t = std::max<std::int64_t>(RoundHalfEven(scaleTop * 100.0f), -kAmplitudeGridLimit);
  const std::int64_t first = t - t % ky;
  const std::int64_t b = std::min<std::int64_t>(RoundHalfEven((scaleTop + scaleHeight) * 100.0f), kAmplitudeGridLimit);
  const std::int64_t last = b - b % ky;
  for (std::int64_t i = first; i <= last && lines.size() < kMaxGridLines; i += ky)
    lines.push_back(static_cast<std::int32_t>(i));
  return lines;
}

int AmplitudeGridStep(int ky, float textHeight) {
  std::int64_t step = std::max(ky, 1);
  // Beyond twice the grid's reach a step shows at most one line.
  while (static_cast<double>(step) / 100.0 < static_cast<double>(textHeight) && step <= 2 * kAmplitudeGridLimit) {
    std::int64_t decade = 1;
    while (decade * 10 <= step) decade *= 10;
    const std::int64_t leading = step / decade;
    // 1 -> 2, 2 or 2.5 -> 5, 5 -> 10.
    step = leading < 2 ? 2 * decade : leading < 5 ? 5 * decade : 10 * decade;
  }
  return static_cast<int>(step);
}

std::string AmplitudeLabel(std::int32_t hundredths) {
  const double amplitude = -static_cast<double>(hundredths) / 100.0;
  const std::string text = vb::Format(amplitude, kAmplitudeLabelFormat);
  const double magnitude = std::abs(amplitude);
  int pad = 0;
  if (text == "0.00")
    pad = 3;
  else if (text.find('-') == std::string::npos)
    pad = magnitude < 10 ? 3 : magnitude < 100 ? 2 : 1;
  else
    pad = magnitude < 10 ? 2 : magnitude < 100 ? 1 : 0;
  return std::string(static_cast<std::size_t>(pad), ' ') + text + kAmplitudeUnit;
}

std::vector<double> FrequencyGridLines(double left, double right, float bandLow, float bandHigh, int kx) {
  std::vector<double> lines;
  if (kx <= 0 || !std::isfinite(left) || !std::isfinite(right)) return lines;
  const double step = kx / 100.0;
  // Lines are counted in hundredths, the multiples in whole ones, so that a
  // line lies exactly on the value its label shows.
  const std::int64_t l = RoundHalfEven(left * 100.0);
  const std::int64_t r = RoundHalfEven(right * 100.0);
  const double first = left < static_cast<double>(bandLow) ? (static_cast<double>(bandLow) + step) * 100.0
                                                           : static_cast<double>(l - l % kx + kx);
  const double last = right > static_cast<double>(bandHigh) ? (static_cast<double>(bandHigh) - step) * 100.0
                                                            : static_cast<double>(r - r % kx) - kx / 4.0;
  for (std::size_t k = 0; k < kMaxGridLines; ++k) {
    const double hundredths = first + static_cast<double>(k) * kx;
    if (!(hundredths <= last)) break;
    lines.push_back(hundredths / 100.0);
  }
  return lines;
}

std::vector<std::pair<std::size_t, std::size_t>> TracePieces(const float* frequencies, std::size_t first,
                                                             std::size_t end) {
  std::vector<std::pair<std::size_t, std::size_t>> pieces;
  if (end <= first + 1) return pieces;
  std::size_t start = first;
  for (std::size_t i = first + 2; i < end; ++i)
    if (frequencies[i] < frequencies[i - 1]) {
      if (i - start >= 2) pieces.emplace_back(start, i);
      start = i;
    }
  if (end - start >= 2) pieces.emplace_back(start, end);
  return pieces;
}

}  // namespace specterm
