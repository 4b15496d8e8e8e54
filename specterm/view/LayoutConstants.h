#pragma once

// Measures of the main window's layout, in twips (15 per pixel).

#include <array>

namespace specterm {

// The controls of the client area use the classic form font's metrics, for
// which the widths below are made.
inline constexpr const char* kFormFontFamily = "Arial";
inline constexpr int kFormFontPoints = 8;

inline constexpr int kToolbarHeight = 420;    // each of the two toolbar rows
inline constexpr int kPlotTop = 840;          // the plot starts below both rows
inline constexpr int kStatusFieldTop = 45;    // entry fields below the status bar's top
inline constexpr int kStatusFieldLeft = 440;  // entry fields right of their panel's left edge
inline constexpr int kStatusFieldRightGap = 60;
inline constexpr int kCursorFieldGap = 30;  // between a cursor toolbar slot's two read-outs
inline constexpr int kStatusPanelMinimum = 1440;
inline constexpr int kCursorPlaceholderWidth = 2210;
inline constexpr int kPeakPointPlaceholderWidth = 1245;
inline constexpr int kReadoutWidth = 1200;  // pointer read-outs on the cursor toolbar row
inline constexpr int kThresholdFieldWidth = 1110;
inline constexpr int kCursorRowGap = 90;
inline constexpr int kProgressWidth = 1500;  // at the right end of the "Status" panel

// The panels of the status bar, left to right. "Status" takes what the
// others leave.
struct PanelDesign {
  const char* key;
  const char* description;
  int width;
  const char* text;
};
inline constexpr std::array<PanelDesign, 7> kStatusPanels = {{
    {"Status", "Status", 3210, ""},
    {"CenterFreq", "Center Frequency", 1500, ""},
    {"SampleRate", "Sample Rate", 1500, ""},
    {"CurTrace", "Current Trace", 1350, "None"},
    {"CurPoint", "Current Data Point", 1200, "None"},
    {"Frequency", "Frequency", 1650, ""},
    {"Amplitude", "Amplitude", 1500, ""},
}};

}  // namespace specterm
