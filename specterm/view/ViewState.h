#pragma once

// The plot's view window and what moves it, the capture's frequency axis
// that bounds it, and the window layout's own state.

#include <cstdint>
#include <string>

namespace specterm {

struct ViewRect {
  float Left = 0;
  float Top = 0;
  float Width = 0;
  float Height = 0;
};

struct ViewState {
  std::int16_t DBDivIndex = 0;
  std::int16_t SpanIndex = 0;
  float ZoomFactor = 0;
  ViewRect PreviousView;
  ViewRect TempView;
  float BandLow = 550;
  float BandHigh = 850;
  double MinViewWidth = 0.025;
  float AmpFloor = -125;
  float AmpCeiling = 125;
  float AmpRange = 250;
  float SpanScale = 1;
  std::string FreqFormat = "##0.000MHz";
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

  // The capture's frequency axis until the first block replaces it.
  double RateDivisor = 4;
  double CenterFreq = 700;
  double SampleRate = 250;
  double BandWidth = 250;
  double DisplayStep = 0;    // (BandHigh - BandLow) / 4096
  double TransformStep = 0;  // BandWidth / 4096
};

// Start-up values of the view.
inline constexpr double kInitialRateDivisor = 4.0;
inline constexpr double kInitialCenterFreq = 700.0;
inline constexpr double kBandEdgeFraction = 0.6;  // band edges lie this many band widths about the centre
inline constexpr int kTransformLength = 4096;

struct LayoutState {
  int SavedWindowState = 0;  // recorded by each accepted resize
  bool LayoutReady = false;  // set while the window loads; resizing does nothing before
};

}  // namespace specterm
