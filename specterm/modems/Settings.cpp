#include "modems/Settings.h"

#include "modems/RegSettings.h"
#include "modems/SettingText.h"

#include <QDir>

namespace specterm {
namespace {

constexpr std::array<const char*, 4> kCursorValues = {"Cursor1X", "Cursor1Y", "Cursor2X", "Cursor2Y"};

std::string PaletteKey(int index) { return std::string(kPaletteKeyPrefix) + std::to_string(index); }

std::string Config(const char* name, const std::string& defaultText) {
  return GetRegSetting(kConfigurationKey, name, defaultText);
}

// A dock's values beside the window's, each name prefixed with the dock's.
DockPlacement LoadDock(const std::string& dock) {
  const auto value = [&](const char* name, const char* defaultText) {
    return GetRegSetting(kWindowStateKey, dock + name, defaultText);
  };
  DockPlacement place;
  place.Shown = BooleanSetting(value("Shown", "False"), false);
  place.Area = DockAreaFromName(value("Area", "Right"));
  place.Left = SingleSetting(value("Left", "0"), 0);
  place.Top = SingleSetting(value("Top", "0"), 0);
  place.Width = SingleSetting(value("Width", "0"), 0);
  place.Height = SingleSetting(value("Height", "0"), 0);
  return place;
}

void SaveDock(const std::string& dock, const DockPlacement& place) {
  SaveRegSetting(kWindowStateKey, dock + "Shown", BooleanText(place.Shown));
  SaveRegSetting(kWindowStateKey, dock + "Area", DockAreaName(place.Area));
  SaveRegSetting(kWindowStateKey, dock + "Left", SingleText(place.Left));
  SaveRegSetting(kWindowStateKey, dock + "Top", SingleText(place.Top));
  SaveRegSetting(kWindowStateKey, dock + "Width", SingleText(place.Width));
  SaveRegSetting(kWindowStateKey, dock + "Height", SingleText(place.Height));
}

}  // namespace

std::string DefaultLastPath() {
  std::string home = QDir::homePath().toStdString();
  if (home.empty() || home.back() != '/') home += '/';
  return home;
}

Settings LoadSettings(const std::array<PaletteColors, 2>& palettes) {
  Settings s;
  const Settings defaults;
  int state = IntegerSetting(GetRegSetting(kWindowStateKey, "WindowState", "0"), kWindowNormal);
  s.WindowState = state >= kWindowNormal && state <= kWindowMaximized ? state : kWindowNormal;
  s.Placement.Left = LocaleSingleSetting(GetRegSetting(kWindowStateKey, "WindowLeft", "0"), 0);
  s.Placement.Top = LocaleSingleSetting(GetRegSetting(kWindowStateKey, "WindowTop", "0"), 0);
  s.Placement.Width = LocaleSingleSetting(GetRegSetting(kWindowStateKey, "WindowWidth", "11910"), kMinWindowWidth);
  s.Placement.Height = LocaleSingleSetting(GetRegSetting(kWindowStateKey, "WindowHeight", "5760"), kMinWindowHeight);
  s.WaterfallShown = BooleanSetting(GetRegSetting(kWindowStateKey, "Waterfall", "False"), defaults.WaterfallShown);
  s.WaterfallShare = ClampWaterfallShare(SingleSetting(
      GetRegSetting(kWindowStateKey, "WaterfallSplit", SingleText(kWaterfallShareDefault)), kWaterfallShareDefault));

  s.Palettes = palettes;
  for (int p = 0; p < 2; ++p) {
    const PaletteColors fallback = DefaultPalette(p);
    for (const StoredColor& c : kStoredColors) {
      const auto slot = static_cast<std::size_t>(c.slot);
      s.Palettes[static_cast<std::size_t>(p)][slot] =
          ColorSetting(GetRegSetting(PaletteKey(p), c.valueName, ColorText(fallback[slot])), fallback[slot]);
    }
  }

  const int palette = IntegerSetting(Config("CurrentPalette", "0"), kViewingPalette);
  s.CurrentPalette = palette == kPrintingPalette ? kPrintingPalette : kViewingPalette;
  s.LastPath = Config("LastPath", DefaultLastPath());
  s.SnapToPoint = BooleanSetting(Config("SnapToPoint", "True"), defaults.SnapToPoint);
  s.WindowSpectrum = BooleanSetting(Config("WindowSpectrum", "True"), defaults.WindowSpectrum);
  s.StopUpdates = BooleanSetting(Config("StopUpdates", "True"), defaults.StopUpdates);
  s.SelectionPanelOn = BooleanSetting(Config("SelectionPanelOn", "True"), defaults.SelectionPanelOn);
  s.CursorDisplay = BooleanSetting(Config("CursorDisplay", "False"), defaults.CursorDisplay);
  for (std::size_t i = 0; i < kCursorValues.size(); ++i)
    s.CursorPos[i] = SingleSetting(Config(kCursorValues[i], "-1"), -1);
  const int moves = IntegerSetting(Config("PointMoves", "1"), 1);
  s.PointMoves = moves == 0 || moves == 1 ? moves : 1;
  s.PeakThreshold = SingleSetting(Config("PeakThreshold", "0"), 0);
  s.CurrentTrace = BooleanSetting(Config("CurrentTrace", "True"), defaults.CurrentTrace);
  s.PeakHold = BooleanSetting(Config("PeakHold", "False"), defaults.PeakHold);
  s.VideoAverage = BooleanSetting(Config("VideoAverage", "False"), defaults.VideoAverage);
  s.LastTrace = BooleanSetting(Config("LastTrace", "False"), defaults.LastTrace);
  s.Measurements = LoadDock("Measurements");
  return s;
}

void SaveSettings(const Settings& s, bool writePlacement) {
  if (writePlacement) {
    SaveRegSetting(kWindowStateKey, "WindowLeft", LocaleNumberText(s.Placement.Left));
    SaveRegSetting(kWindowStateKey, "WindowTop", LocaleNumberText(s.Placement.Top));
    SaveRegSetting(kWindowStateKey, "WindowWidth", LocaleNumberText(s.Placement.Width));
    SaveRegSetting(kWindowStateKey, "WindowHeight", LocaleNumberText(s.Placement.Height));
  }
  SaveRegSetting(kWindowStateKey, "WindowState", std::to_string(s.WindowState));
  SaveRegSetting(kWindowStateKey, "Waterfall", BooleanText(s.WaterfallShown));
  SaveRegSetting(kWindowStateKey, "WaterfallSplit", SingleText(s.WaterfallShare));

  for (int p = 0; p < 2; ++p)
    for (const StoredColor& c : kStoredColors)
      SaveRegSetting(PaletteKey(p), c.valueName,
                     ColorText(s.Palettes[static_cast<std::size_t>(p)][static_cast<std::size_t>(c.slot)]));

  SaveRegSetting(kConfigurationKey, "CurrentPalette", std::to_string(s.CurrentPalette));
  SaveRegSetting(kConfigurationKey, "LastPath", s.LastPath);
  SaveRegSetting(kConfigurationKey, "SnapToPoint", BooleanText(s.SnapToPoint));
  SaveRegSetting(kConfigurationKey, "WindowSpectrum", BooleanText(s.WindowSpectrum));
  SaveRegSetting(kConfigurationKey, "StopUpdates", BooleanText(s.StopUpdates));
  SaveRegSetting(kConfigurationKey, "SelectionPanelOn", BooleanText(s.SelectionPanelOn));
  SaveRegSetting(kConfigurationKey, "CursorDisplay", BooleanText(s.CursorDisplay));
  for (std::size_t i = 0; i < kCursorValues.size(); ++i)
    SaveRegSetting(kConfigurationKey, kCursorValues[i], SingleText(s.CursorPos[i]));
  SaveRegSetting(kConfigurationKey, "PointMoves", std::to_string(s.PointMoves));
  SaveRegSetting(kConfigurationKey, "PeakThreshold", SingleText(s.PeakThreshold));
  SaveRegSetting(kConfigurationKey, "CurrentTrace", BooleanText(s.CurrentTrace));
  SaveRegSetting(kConfigurationKey, "PeakHold", BooleanText(s.PeakHold));
  SaveRegSetting(kConfigurationKey, "VideoAverage", BooleanText(s.VideoAverage));
  SaveRegSetting(kConfigurationKey, "LastTrace", BooleanText(s.LastTrace));
  SaveDock("Measurements", s.Measurements);
}

}  // namespace specterm
