#pragma once

// The arithmetic of the plot's view window, free of widgets: the width and
// height tables that derive the grid steps, number formats, pen width and pan
// steps from the view, the dB-per-division and span presets, zoom, centre,
// fit and pan, the scroll bar positions, the grid lines with their labels and
// the continuous pieces of a trace.

#include "view/ViewState.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace specterm {

// ----- Derived parameters -----

// What the view's width decides: the checked span preset and Kx (the
// frequency grid step is Kx / 100 plot x units).
struct WidthRow {
  int SpanCheck;
  int Kx;
};
WidthRow WidthRowFor(float scaleWidth);

// What the view's height decides: the checked dB-per-division preset, the
// number format of amplitudes, the traces' pen width and Ky (the amplitude
// grid step is Ky / 100 dB).
struct HeightRow {
  int DbCheck;
  const char* AmpFormat;
  int TraceWidth;
  int Ky;
};
HeightRow HeightRowFor(float scaleHeight);

struct DerivedParameters {
  WidthRow Width;
  HeightRow Height;
  float PanStepX;  // Kx / 1000: one tenth of a pan
  float PanStepY;  // Ky / 1000
};
DerivedParameters DeriveParameters(float scaleWidth, float scaleHeight);

// ----- Presets -----

inline constexpr int kPresetCount = 10;

// The view height of a dB-per-division preset: ten divisions of the
// preset's dB each, 250 / D whatever the fitted amplitude range. An index
// outside 0..8 acts as 9.
float DbPresetHeight(int index);
// The view width of a span preset in plot x units. The x unit already
// carries SpanScale, so the width names the span the preset's caption says
// at every scale. An index outside 0..8 acts as 9.
float SpanPresetWidth(int index);

// ----- Zoom, centre, fit, pan -----

inline constexpr float kZoomOutFactor = 1.75f;
// Zoom in applies 0.6667 but records 0.667 as the last zoom factor.
inline constexpr double kZoomInFactor = 0.6667;
inline constexpr float kZoomInRecorded = 0.667f;
// Zoom out stops where the height would exceed this many amplitude ranges.
inline constexpr float kZoomOutLimitRanges = 4.0f;
// One pan is ten pan steps.
inline constexpr float kPanSteps = 10.0f;

inline constexpr const char* kZoomOutLimitMessage = "Cannot zoom out farther...you have reached the zoom out limit!";
inline constexpr const char* kZoomInLimitMessage = "You have reached the zoom in limit!";

// Virtual-key codes of the four pan directions.
inline constexpr int kPanLeft = 37;
inline constexpr int kPanUp = 38;
inline constexpr int kPanRight = 39;
inline constexpr int kPanDown = 40;

// The view of the same size centred on (x, y).
ViewRect CentredOn(const ViewRect& view, float x, float y);
// One zoom-out step about (x, y), or nothing when the new height would pass
// the zoom-out limit.
std::optional<ViewRect> ZoomedOut(const ViewRect& view, float x, float y, float ampRange);
// One zoom-in step about (x, y), or nothing when the new width would not
// stay above the minimum view width.
std::optional<ViewRect> ZoomedIn(const ViewRect& view, float x, float y, double minViewWidth);
// The whole band and amplitude range.
ViewRect FittedView(float bandLow, float bandHigh, float ampCeiling, float ampRange);
// The view moved by one pan (ten pan steps) towards a key's direction; any
// other key leaves it.
ViewRect Panned(const ViewRect& view, int keyCode, float panStepX, float panStepY);
// Bounds included.
bool Contains(const ViewRect& view, float x, float y);

// ----- Scroll bars -----

// The horizontal bar's value for a view: the view's centre as a percentage
// of the band, or 50 when the whole band is shown and the width has just
// changed. Nothing when it cannot be formed or lies outside min..max; the
// bar then keeps its value.
std::optional<int> HScrollValueFor(const ViewRect& view, float bandLow, float bandHigh, float previousWidth, int min,
                                   int max);
// The vertical bar's value: the view's centre in dB below zero, held within
// min..max.
int VScrollValueFor(const ViewRect& view, int min, int max);
// The arrows a bar shows at a value: both, or only the one leading away
// from the end it reached.
ScrollArrows ArrowsAt(int value, int min, int max);

// ----- Grids and labels -----

// The amplitude grid never goes beyond +/-120 dB (in hundredths of y).
inline constexpr std::int32_t kAmplitudeGridLimit = 12000;

// The amplitude grid lines from the view's top to its bottom, as y x 100
// (y = -dB), in steps of Ky (hundredths of a dB). Lines in the label band
// are still listed; the renderer leaves them out.
std::vector<std::int32_t> AmplitudeGridLines(float scaleTop, float scaleHeight, int ky);

// The amplitude grid step (hundredths of a dB) at which labels textHeight
// high (in dB) stand apart: Ky, or the next steps of 1, 2, 5 times a power
// of ten (10, 20, 50 dB ...) until the lines are a text height apart.
int AmplitudeGridStep(int ky, float textHeight);

// The label of an amplitude line at y x 100: the amplitude with two
// decimals, padded on the left to nine characters with its unit ("   0.00dB",
// "  -5.00dB", "-125.00dB").
std::string AmplitudeLabel(std::int32_t hundredths);

// The frequency grid lines between left (the end of the label column) and
// right, in steps of Kx / 100: at multiples of the step (formed in whole
// hundredths), or one step inside a band edge that lies within the view; the
// last multiple before the right edge is left out so that its label is not
// cut.
std::vector<double> FrequencyGridLines(double left, double right, float bandLow, float bandHigh, int kx);

// ----- Traces -----

// The continuous pieces of one half of a trace, as [first, end) point
// ranges: a point whose frequency is lower than the one before starts a new
// piece, so the wrap of the transform's frequency order draws no line across
// the plot. The first segment of the half is always drawn. Pieces of a
// single point draw nothing and are left out.
std::vector<std::pair<std::size_t, std::size_t>> TracePieces(const float* frequencies, std::size_t first,
                                                             std::size_t end);

// Rounding to the nearest whole number, halves to even, as the classic
// runtime converts to integers.
std::int64_t RoundHalfEven(double value);

}  // namespace specterm
