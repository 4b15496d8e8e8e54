// The registry routines, the modem directory's load and save, the dates of
// the directory and the settings schema, through real registry files.

#include "RegistryFolder.h"
#include "modems/DateText.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "modems/SettingText.h"
#include "modems/Settings.h"

#include <QDir>

#include <functional>

#include <gtest/gtest.h>

namespace specterm {
namespace {

using testing::RegistryFolder;

bool KeyExists(const std::string& subKey) {
  HKEY key = nullptr;
  const std::string path = "Software\\Halden Spectrum Analyzer\\" + subKey;
  if (RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TEST(RegSettingsTest, MissingAndEmptyValuesReadAsTheDefault) {
  RegistryFolder registry;
  EXPECT_EQ(GetRegSetting("Configuration", "LastPath", "dflt"), "dflt");
  SaveRegSetting("Configuration", "Other", "x");
  EXPECT_EQ(GetRegSetting("Configuration", "LastPath", "dflt"), "dflt");
  SaveRegSetting("Configuration", "LastPath", "");
  EXPECT_EQ(GetRegSetting("Configuration", "LastPath", "dflt"), "dflt");
  SaveRegSetting("Configuration", "LastPath", "/data/");
  EXPECT_EQ(GetRegSetting("Configuration", "LastPath", "dflt"), "/data/");
}

TEST(RegSettingsTest, ValuesLiveUnderTheProgramsKeyAsText) {
  RegistryFolder registry;
  SaveRegSetting("Halden Modems\\Modem1", "ModemName", "Hub A");
  const std::string hive = registry.HiveText();
  EXPECT_NE(hive.find("[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems\\Modem1]"),
            std::string::npos)
      << hive;
  EXPECT_NE(hive.find("\"ModemName\"=\"Hub A\""), std::string::npos) << hive;
  // Key names compare without regard to case.
  EXPECT_EQ(GetRegSetting("halden modems\\MODEM1", "ModemName", ""), "Hub A");
}

TEST(RegSettingsTest, LongTextsAreReadWhole) {
  RegistryFolder registry;
  const std::string longPath = "/" + std::string(3000, 'p') + "/";
  SaveRegSetting("Configuration", "LastPath", longPath);
  EXPECT_EQ(GetRegSetting("Configuration", "LastPath", ""), longPath);
}

TEST(RegSettingsTest, DeletingWhatIsNotThereIsHarmless) {
  RegistryFolder registry;
  DeleteRegValue("Nowhere", "Nothing");
  DeleteRegKey("Nowhere", "Nothing");
  SaveRegSetting("Halden Modems\\Modem1", "ModemName", "A");
  DeleteRegValue("Halden Modems\\Modem1", "ModemName");
  DeleteRegKey("Halden Modems", "Modem1");
  EXPECT_FALSE(KeyExists("Halden Modems\\Modem1"));
  EXPECT_TRUE(KeyExists("Halden Modems"));
}

void StoreModem(int n, const std::string& name, const std::string& address, const std::string& when) {
  const std::string key = "Halden Modems\\Modem" + std::to_string(n);
  SaveRegSetting(key, "ModemName", name);
  SaveRegSetting(key, "IP_Address", address);
  SaveRegSetting(key, "LastCommunication", when);
}

TEST(ModemStoreTest, AnEmptyRegistryLoadsNothingAndSavesACountOfZero) {
  RegistryFolder registry;
  Modems modems;
  ModemDirectoryHeader header;
  LoadModemDirectory(modems, header);
  EXPECT_EQ(header.StoredModemCount, 0);
  EXPECT_EQ(header.LastModem, "");
  EXPECT_EQ(modems.Count(), 0);
  SaveModemDirectory(modems, header.StoredModemCount, header.LastModem);
  EXPECT_EQ(GetRegSetting("Halden Modems", "ModemCount", "missing"), "0");
  // An empty last modem is stored empty and reads back as the default.
  EXPECT_EQ(GetRegSetting("Halden Modems", "LastModem", "dflt"), "dflt");
}

TEST(ModemStoreTest, OnlyRecordsThatAreThereLoadAndAreWrittenBack) {
  // A gap at 2, and counts far above the records.
  for (const char* count : {"3", "300", "2147483647"}) {
    RegistryFolder registry;
    SaveRegSetting("Halden Modems", "ModemCount", count);
    StoreModem(1, "Hub A", "127.1.1.1", "");
    StoreModem(3, "Hub C", "127.1.1.3", "");
    Modems modems;
    ModemDirectoryHeader header;
    LoadModemDirectory(modems, header);
    ASSERT_EQ(modems.Count(), 2) << count;
    EXPECT_EQ(modems.Item("Hub C")->Index, 2);  // numbered as the dialogs keep them
    SaveModemDirectory(modems, header.StoredModemCount, "");
    EXPECT_EQ(GetRegSetting("Halden Modems", "ModemCount", ""), "2");
    EXPECT_EQ(GetRegSetting("Halden Modems\\Modem2", "ModemName", ""), "Hub C");
    EXPECT_FALSE(KeyExists("Halden Modems\\Modem3"));
  }
}

TEST(ModemStoreTest, WhateverTheCountSaysTheRecordsLoadAndAreWrittenBackWithin) {
  const std::function<void()> counts[] = {
      [] { SaveRegSetting("Halden Modems", "ModemCount", "99999999999999999999999"); },
      [] { SaveRegSetting("Halden Modems", "ModemCount", "-7"); },
      [] { SaveRegSetting("Halden Modems", "ModemCount", "0"); },
      [] {
        HKEY key = nullptr;
        const DWORD count = 0xFFFFFFFF;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Halden Spectrum Analyzer\\Halden Modems", &key),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "ModemCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
        RegCloseKey(key);
      },
  };
  for (const auto& storeCount : counts) {
    RegistryFolder registry;
    storeCount();
    SaveRegSetting("Halden Modems", "LastModem", "Hub B");
    StoreModem(1, "Hub A", "127.1.1.1", "");
    StoreModem(2, "Hub B", "127.1.1.2", "");
    Modems modems;
    ModemDirectoryHeader header;
    LoadModemDirectory(modems, header);
    ASSERT_EQ(modems.Count(), 2) << GetRegSetting("Halden Modems", "ModemCount", "");
    SaveModemDirectory(modems, header.StoredModemCount, header.LastModem);
    EXPECT_EQ(GetRegSetting("Halden Modems", "ModemCount", ""), "2");
    EXPECT_EQ(GetRegSetting("Halden Modems", "LastModem", ""), "Hub B");
    Modems again;
    LoadModemDirectory(again, header);
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Item(2)->IP_Address, "127.1.1.2");
  }
}

TEST(ModemStoreTest, SavingDeletesEveryRecordThatLoadingCounted) {
  RegistryFolder registry;
  SaveRegSetting("Halden Modems", "ModemCount", "3");
  StoreModem(1, "Hub A", "127.1.1.1", DateToText({2024, 5, 1, 9, 0, 0}));
  StoreModem(2, "Hub B", "127.1.1.2", DateToText({2024, 5, 2, 9, 0, 0}));
  StoreModem(3, "Hub C", "127.1.1.3", DateToText({2024, 5, 3, 9, 0, 0}));
  Modems modems;
  ModemDirectoryHeader header;
  LoadModemDirectory(modems, header);
  // Remove the second and renumber the third, as the manager does.
  modems.Item("Hub C")->Index = 2;
  modems.Remove("Hub B");
  SaveModemDirectory(modems, header.StoredModemCount, "Hub C");

  EXPECT_FALSE(KeyExists("Halden Modems\\Modem3"));
  EXPECT_EQ(GetRegSetting("Halden Modems", "ModemCount", ""), "2");
  EXPECT_EQ(GetRegSetting("Halden Modems", "LastModem", ""), "Hub C");
  EXPECT_EQ(GetRegSetting("Halden Modems\\Modem2", "ModemName", ""), "Hub C");
  EXPECT_EQ(GetRegSetting("Halden Modems\\Modem2", "IP_Address", ""), "127.1.1.3");
  Modems again;
  LoadModemDirectory(again, header);
  ASSERT_EQ(again.Count(), 2);
  EXPECT_EQ(again.Item(2)->Name, "Hub C");
  EXPECT_TRUE(SameDate(again.Item(2)->LastComm, {2024, 5, 3, 9, 0, 0}));
}

TEST(ModemStoreTest, TwoStoredRecordsOfOneNameBothLoad) {
  RegistryFolder registry;
  SaveRegSetting("Halden Modems", "ModemCount", "2");
  StoreModem(1, "Hub", "127.1.1.1", "");
  StoreModem(2, "HUB", "127.1.1.2", "");
  Modems modems;
  ModemDirectoryHeader header;
  LoadModemDirectory(modems, header);
  ASSERT_EQ(modems.Count(), 2);
  EXPECT_EQ(modems.Item("hub")->IP_Address, "127.1.1.1");
  EXPECT_EQ(modems.Item(2)->IP_Address, "127.1.1.2");
}

TEST(ModemStoreTest, AHandEditedCountThatIsNoNumberReadsAsZero) {
  RegistryFolder registry;
  SaveRegSetting("Halden Modems", "ModemCount", "three");
  EXPECT_EQ(LoadModemHeader().StoredModemCount, 0);
  SaveRegSetting("Halden Modems", "ModemCount", "-4");
  EXPECT_EQ(LoadModemHeader().StoredModemCount, 0);
}

TEST(DateTextTest, RoundTripKeepsSecondsAndCenturyInTheseLocales) {
  const vb::DateTime when{2031, 11, 4, 17, 5, 9};
  for (const char* name : {"C", "en_US", "de_DE", "en_GB", "ja_JP"}) {
    const QLocale locale(QString::fromLatin1(name));
    const std::string text = DateToText(when, locale);
    EXPECT_TRUE(SameDate(DateFromText(text, locale), when)) << name << ": " << text;
    EXPECT_NE(text.find("2031"), std::string::npos) << name << ": " << text;
  }
  EXPECT_TRUE(SameDate(DateFromText(DateToText(when)), when));
}

TEST(DateTextTest, OtherFormsFallBackToIsoThenToTheEarliestDate) {
  const QLocale us(QStringLiteral("en_US"));
  EXPECT_TRUE(SameDate(DateFromText("2024-02-29T13:14:15", us), {2024, 2, 29, 13, 14, 15}));
  EXPECT_TRUE(SameDate(DateFromText("yesterday", us), EarliestDate()));
  EXPECT_TRUE(SameDate(DateFromText("", us), EarliestDate()));
  // The earliest date sorts before any real one.
  EXPECT_LT(vb::FormatDate(EarliestDate(), "yyyymmddHhNnSs"), vb::FormatDate({1980, 1, 1, 0, 0, 0}, "yyyymmddHhNnSs"));
}

TEST(SettingTextTest, ConversionsFallBackToTheDefault) {
  EXPECT_EQ(IntegerSetting("2", 0), 2);
  EXPECT_EQ(IntegerSetting("2.5", 7), 7);
  EXPECT_EQ(IntegerSetting("two", 7), 7);
  EXPECT_FLOAT_EQ(SingleSetting("-1", 0), -1.0f);
  EXPECT_FLOAT_EQ(SingleSetting("700.125", 0), 700.125f);
  EXPECT_FLOAT_EQ(SingleSetting("12,5", 3), 3.0f);
  EXPECT_TRUE(BooleanSetting("True", false));
  EXPECT_FALSE(BooleanSetting("false", true));
  EXPECT_TRUE(BooleanSetting("maybe", true));
  EXPECT_FALSE(BooleanSetting("0", true));
  EXPECT_EQ(ColorSetting("16711935", 0), 16711935u);
  EXPECT_EQ(ColorSetting("16777216", 5), 5u);
  EXPECT_EQ(ColorSetting("-1", 5), 5u);
}

TEST(SettingTextTest, NumbersAreWrittenPlainAndReadBackExactly) {
  EXPECT_EQ(SingleText(-1.0f), "-1");
  EXPECT_EQ(SingleText(0.0f), "0");
  EXPECT_EQ(SingleText(11910.0f), "11910");
  // The largest singles too, which lie just above 3.4e38.
  for (float v : {700.0737f, -0.1f, 1.0e-7f, 123456.78f, -125.0f, -3.4028233e38f, 3.4028235e38f}) {
    EXPECT_EQ(SingleSetting(SingleText(v), 0), v) << v;
    EXPECT_EQ(LocaleSingleSetting(LocaleNumberText(v), 0), v) << v;
  }
  EXPECT_EQ(BooleanText(true), "True");
}

TEST(SettingsTest, AnEmptyRegistryGivesEveryDefault) {
  RegistryFolder registry;
  const Settings s = LoadSettings({DefaultPalette(0), DefaultPalette(1)});
  EXPECT_EQ(s.WindowState, 0);
  EXPECT_FLOAT_EQ(s.Placement.Left, 0);
  EXPECT_FLOAT_EQ(s.Placement.Top, 0);
  EXPECT_FLOAT_EQ(s.Placement.Width, 11910);
  EXPECT_FLOAT_EQ(s.Placement.Height, 5760);
  EXPECT_EQ(s.Palettes[0], DefaultPalette(0));
  EXPECT_EQ(s.Palettes[1], DefaultPalette(1));
  EXPECT_EQ(s.Palettes[1][kSlotBackground], 0xFFFFFFu);
  EXPECT_EQ(s.Palettes[0][kSlotPeakThreshold], 255u);
  EXPECT_EQ(s.CurrentPalette, 0);
  EXPECT_EQ(s.LastPath, QDir::homePath().toStdString() + "/");
  EXPECT_TRUE(s.SnapToPoint);
  EXPECT_TRUE(s.WindowSpectrum);
  EXPECT_TRUE(s.StopUpdates);
  EXPECT_TRUE(s.SelectionPanelOn);
  EXPECT_FALSE(s.CursorDisplay);
  for (float c : s.CursorPos) EXPECT_FLOAT_EQ(c, -1);
  EXPECT_EQ(s.PointMoves, 1);
  EXPECT_FLOAT_EQ(s.PeakThreshold, 0);
  EXPECT_TRUE(s.CurrentTrace);
  EXPECT_FALSE(s.PeakHold);
  EXPECT_FALSE(s.VideoAverage);
  EXPECT_FALSE(s.LastTrace);
}

TEST(SettingsTest, TheUnstoredSlotKeepsItsValue) {
  RegistryFolder registry;
  auto palettes = std::array<PaletteColors, 2>{DefaultPalette(0), DefaultPalette(1)};
  palettes[0][kSlotSelectionMarker] = 0x00FFFF;
  EXPECT_EQ(LoadSettings(palettes).Palettes[0][kSlotSelectionMarker], 0x00FFFFu);
}

TEST(SettingsTest, StoredValuesUseTheirNamesTypesAndKeys) {
  RegistryFolder registry;
  Settings s;
  s.Palettes[1][kSlotPeakThreshold] = 0x123456;
  s.CursorPos = {700.5f, -20.25f, -1, -1};
  s.PeakThreshold = -12.5f;
  SaveSettings(s, true);
  EXPECT_EQ(GetRegSetting("WindowState", "WindowWidth", ""), "11910");
  EXPECT_EQ(GetRegSetting("Configuration\\ColorPalette1", "PeakThreshold", ""), "1193046");
  EXPECT_EQ(GetRegSetting("Configuration\\ColorPalette0", "BackGroundColor", ""), "0");
  EXPECT_EQ(GetRegSetting("Configuration", "PeakThreshold", ""), "-12.5");
  EXPECT_EQ(GetRegSetting("Configuration", "Cursor1X", ""), "700.5");
  EXPECT_EQ(GetRegSetting("Configuration", "Cursor2Y", ""), "-1");
  EXPECT_EQ(GetRegSetting("Configuration", "StopUpdates", ""), "True");
  EXPECT_EQ(GetRegSetting("Configuration", "PointMoves", ""), "1");
}

TEST(SettingsTest, PlacementIsKeptWhenTheWindowWasNotNormal) {
  RegistryFolder registry;
  Settings first;
  first.Placement = {150, 300, 15000, 9000};
  SaveSettings(first, true);
  Settings second;
  second.WindowState = 2;
  second.Placement = {0, 0, 30000, 20000};
  SaveSettings(second, false);
  const Settings s = LoadSettings({DefaultPalette(0), DefaultPalette(1)});
  EXPECT_EQ(s.WindowState, 2);
  EXPECT_FLOAT_EQ(s.Placement.Left, 150);
  EXPECT_FLOAT_EQ(s.Placement.Width, 15000);
}

TEST(SettingsTest, HandEditedValuesThatDoNotConvertReadAsDefaults) {
  RegistryFolder registry;
  SaveRegSetting("WindowState", "WindowState", "9");
  SaveRegSetting("WindowState", "WindowWidth", "wide");
  SaveRegSetting("Configuration", "CurrentPalette", "3");
  SaveRegSetting("Configuration", "PointMoves", "peaks");
  SaveRegSetting("Configuration", "SnapToPoint", "perhaps");
  SaveRegSetting("Configuration", "Cursor1X", "left");
  SaveRegSetting("Configuration\\ColorPalette0", "SpectrumColor", "green");
  const Settings s = LoadSettings({DefaultPalette(0), DefaultPalette(1)});
  EXPECT_EQ(s.WindowState, 0);
  EXPECT_FLOAT_EQ(s.Placement.Width, 11910);
  EXPECT_EQ(s.CurrentPalette, 0);
  EXPECT_EQ(s.PointMoves, 1);
  EXPECT_TRUE(s.SnapToPoint);
  EXPECT_FLOAT_EQ(s.CursorPos[0], -1);
  EXPECT_EQ(s.Palettes[0][kSlotSpectrumTrace], 0x00FF00u);
}

}  // namespace
}  // namespace specterm
