#pragma once

// The plot's view window and the bookkeeping of what moves it.

#include <cstdint>
#include <string>

namespace specterm {

struct ViewRect {
  float Left = 0;
  float Top = 0;
  float Width = 0;
  float Height = 0;
};

// The arrows a flat scroll bar shows: both, or only the one leading away from
// the end it reached.
enum class ScrollArrows { Both, LeftUp, RightDown };

struct ViewState {
  std::int16_t DBDivIndex = 0;
  std::int16_t SpanIndex = 0;
  float ZoomFactor = 0;
  ViewRect PreviousView;
  ViewRect TempView;
  double MinViewWidth = 0.025;
  std::string AmpFormat = "####";
  std::int32_t TraceWidth = 1;
  float PanStepX = 0;
  float PanStepY = 0;
  bool ScrollSync = false;
  bool ScrollBarsStale = false;
  bool ScrollDragging = false;
  std::int16_t ScrollDragStart = 0;
  std::int16_t LastScrollValueH = 50;
  std::int16_t LastScrollValueV = 0;
  ScrollArrows ArrowsH = ScrollArrows::Both;
  ScrollArrows ArrowsV = ScrollArrows::Both;

  // Steps of the start-up band; the band itself (BandLow, BandHigh,
  // SpanScale, FreqFormat) and the amplitude scale (AmpFloor, AmpCeiling,
  // AmpRange) live in the spectrum state that each block updates.
  double BandWidth = 250;
  double DisplayStep = 0;    // (BandHigh - BandLow) / 4096
  double TransformStep = 0;  // BandWidth / 4096
};

// The start-up band edges lie this many band widths about the centre.
inline constexpr double kStartupBandEdgeFraction = 0.6;
inline constexpr int kTransformLength = 4096;

}  // namespace specterm
