#pragma once

// Drawing of the whole spectrum plot on the picture, in the user scale of
// the view window: background, the four traces, frame, amplitude and
// frequency grids with their labels, the minimum peak threshold line, the two
// cursors and the selection marker. Cursors and marker are drawn in invert
// mode, so drawing them again erases them without a redraw. The view window
// maps onto the plotting area inside the label column and band, and what
// the view holds (traces, threshold, cursors, marker) is drawn only there,
// so the labels stay readable however the view is moved.

#include "processing/TraceStore.h"
#include "view/Palettes.h"
#include "view/ViewModel.h"

#include <array>
#include <cstdint>
#include <string>

namespace forms {
class PictureBox;
}

namespace specterm {

// The faces of the plot's texts: the legend (amplitude labels, and the
// measure of the label column and band) in the picture's own font, the
// frequency labels in a rotated font 160 twips high.
inline constexpr const char* kLegendFontFace = "Courier New";
inline constexpr double kLegendFontPoints = 9.0;
inline constexpr int kFrequencyLabelHeightTwips = 160;
inline constexpr int kFrequencyLabelEscapement = 900;

// The widest amplitude label, which sets the label column's width.
inline constexpr const char* kWidestAmplitudeLabel = "-125.00dB";
// The unit of the amplitude labels, in the corner above them: the values are
// relative, the modem gives no reference level.
inline constexpr const char* kAmplitudeUnitCaption = "dB rel.";
// The label field of the amplitude labels.
inline constexpr const char* kAmplitudeLabelField = "@@@@@@";

// Cursor lines: dotted, inverted; this colour is what they would have in
// copy mode. The zoom gestures' figures likewise, in yellow.
inline constexpr std::uint32_t kCursorColor = 0xFF00FF;
inline constexpr std::uint32_t kRubberBandColor = 0x00FFFF;
// The selection marker and the pick box extend this many pixels.
inline constexpr int kPickPixels = 12;

// Everything a redraw reads besides the picture's scale.
struct PlotScene {
  const TraceStore* Traces = nullptr;
  // The trace rows whose Tools menu item is checked.
  std::array<bool, kTraceRows> TraceOn{};
  const PaletteColors* Colors = nullptr;
  float BandLow = 0;
  float BandHigh = 0;
  float SpanScale = 1;
  std::string FreqFormat;
  float MinPeakThreshold = 0;
  // A line of guidance across the middle of the plotting area.
  std::string Guidance;
  bool CursorsOn = false;
  std::array<float, 4> CursorPos{};  // Cursor1X, Cursor1Y, Cursor2X, Cursor2Y; x = -1: not placed
  bool MarkerShown = false;
  std::int32_t SelectedPoint = 0;  // 1-based, 0 none
  std::int16_t SelectedTrace = -1;
  // The pick box of the last redraw or pick; its centre is kept.
  float PickLeft = 0;
  float PickRight = 0;
  float PickTop = 0;
  float PickBottom = 0;
};

// What the redraw hands back.
struct PlotMarks {
  float PickLeft = 0;
  float PickRight = 0;
  float PickTop = 0;
  float PickBottom = 0;
  bool MarkerDrawn = false;
};

// The label column is a 128th of the picture's width wider than the widest
// amplitude label.
inline constexpr int kMarginFraction = 128;

// The layout of the plot: the label column at the left and the label band
// at the top, in pixels, from the legend font; and the plotting area inside
// them, in scale units, which is the view window itself.
struct PlotFrame {
  int LabelColumn = 0;
  int LabelBand = 0;
  float PlotLeft = 0;
  float PlotTop = 0;
  float Right = 0;
  float Bottom = 0;
};
PlotFrame MeasureFrame(const forms::PictureBox& pic, const std::string& freqFormat);
// The view window (the picture's scale) maps onto the plotting area: the
// picture less the label column and band. Grid, labels, traces, overlay
// and mouse all go through that one mapping.
void MapViewOntoPlottingArea(forms::PictureBox& pic, const PlotFrame& frame);

// Clears the picture and draws everything; the derived parameters give the
// pen width and the grid steps.
PlotMarks DrawPlot(forms::PictureBox& pic, const PlotScene& scene, const DerivedParameters& params);

// The cursors' lines across the plotting area of frame and, with both
// placed, the line between them, cut to that area; inverted and dotted.
// Lines that coincide on the picture are drawn once, so that they stay
// visible; drawn again with the same positions, all of it is erased.
void DrawCursorLines(forms::PictureBox& pic, const std::array<float, 4>& cursorPos, const PlotFrame& frame);
// One cursor's vertical and horizontal line through (x, y), and the line
// joining the two cursors, cut to the plotting area: each drawn again
// erases it.
void DrawCursorCross(forms::PictureBox& pic, float x, float y, const PlotFrame& frame);
void DrawCursorJoin(forms::PictureBox& pic, const std::array<float, 4>& cursorPos, const PlotFrame& frame);
// A rubber-band figure of the zoom gestures: a box outline, or a filled box,
// inverted in yellow and cut to the plotting area; drawn again it is gone.
void DrawRubberBand(forms::PictureBox& pic, float x1, float y1, float x2, float y2, bool filled);

// The selection marker: an inverted circle about a point (radius in x
// units), cut to the plotting area.
void DrawSelectionMarker(forms::PictureBox& pic, float x, float y, float radius, std::uint32_t color);

}  // namespace specterm
