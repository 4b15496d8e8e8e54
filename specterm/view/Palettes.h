#pragma once

// The two colour palettes of the plot: 0 for viewing, 1 for printing (it
// recolours the plot for copies to the clipboard). Nine colours each, as
// 0x00BBGGRR values, in slot order.

#include <array>
#include <cstdint>

namespace specterm {

enum PaletteSlot : int {
  kSlotBackground = 0,
  kSlotSpectrumTrace = 1,
  kSlotLegendScale = 2,
  kSlotGridLines = 3,
  kSlotSelectionMarker = 4,
  kSlotPeakThreshold = 5,
  kSlotPeakHold = 6,
  kSlotVideoAverage = 7,
  kSlotPreviousTrace = 8,
};

inline constexpr int kPaletteSlots = 9;
inline constexpr int kViewingPalette = 0;
inline constexpr int kPrintingPalette = 1;

using PaletteColors = std::array<std::uint32_t, kPaletteSlots>;

struct PaletteState {
  std::array<PaletteColors, 2> Palettes{};
  std::int16_t CurrentPalette = kViewingPalette;
};

// The colours used when nothing is stored. The selection marker is never
// stored: it starts black in both and start-up makes the viewing one yellow.
PaletteColors DefaultPalette(int index);

// The selection marker of the viewing palette, set when the window is made.
inline constexpr std::uint32_t kViewingSelectionMarker = 0x00FFFF;

// The eight stored slots: registry value names in their stored order.
struct StoredColor {
  const char* valueName;
  int slot;
};
inline constexpr std::array<StoredColor, 8> kStoredColors = {{
    {"BackGroundColor", kSlotBackground},
    {"SpectrumColor", kSlotSpectrumTrace},
    {"LegendColor", kSlotLegendScale},
    {"GridLinesColor", kSlotGridLines},
    {"PeakThreshold", kSlotPeakThreshold},
    {"PeakHold", kSlotPeakHold},
    {"VideoAverage", kSlotVideoAverage},
    {"LastTrace", kSlotPreviousTrace},
}};

// The colour menu items of each palette's submenu, in menu order.
struct ColorMenuItem {
  const char* namePrefix;  // "mnuOptionsBGColor": the item is this plus the palette index
  int slot;
  const char* caption;          // viewing palette's item
  const char* printingCaption;  // printing palette's item
  const char* dialogTitle;
};
inline constexpr std::array<ColorMenuItem, 8> kColorMenuItems = {{
    {"mnuOptionsBGColor", kSlotBackground, "&Background Color", "&Background Color",
     "Select Analyzer Background Color"},
    {"mnuOptionsTMColor", kSlotLegendScale, "&Legend Scale Color", "&Legend Scale Color",
     "Select Analyzer Tick Marks Color"},
    {"mnuOptionsGLColor", kSlotGridLines, "&Grid Lines Color", "&Grid Lines Color", "Select Analyzer Grid Lines Color"},
    {"mnuOptionsPTColor", kSlotPeakThreshold, "&Minimum Peak Threshold Color", "&Minimum Peak Threshold Color",
     "Select Minumum Peak Threshold Color"},
    {"mnuOptionsFGColor", kSlotSpectrumTrace, "&Spectrum Trace Color", "&Spectrum Trace  Color",
     "Select Analyzer Spectrum Trace Color"},
    {"mnuOptionsPHColor", kSlotPeakHold, "&Peak Hold Trace Color", "&Peak Hold Trace Color",
     "Select Peak Hold Trace Color"},
    {"mnuOptionsVAColor", kSlotVideoAverage, "&Video Average Trace Color", "&Video Average Trace Color",
     "Select Video Average Trace Color"},
    {"mnuOptionsLTColor", kSlotPreviousTrace, "&Previous Trace Color", "&Previous Trace Color",
     "Select Previous Trace Color"},
}};

}  // namespace specterm
