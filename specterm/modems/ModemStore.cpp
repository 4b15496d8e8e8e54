#include "modems/ModemStore.h"

#include "modems/DateText.h"
#include "modems/RegSettings.h"
#include "modems/SettingText.h"

#include <algorithm>

namespace specterm {
namespace {

std::string RecordKey(int n) { return std::string(kModemsKey) + "\\Modem" + std::to_string(n); }

}  // namespace

ModemDirectoryHeader LoadModemHeader() {
  ModemDirectoryHeader header;
  header.StoredModemCount = std::max(0, IntegerSetting(GetRegSetting(kModemsKey, "ModemCount", "0"), 0));
  header.LastModem = GetRegSetting(kModemsKey, "LastModem", "");
  return header;
}

Modems::ModemPtr LoadModemRecord(int n) {
  auto modem = std::make_shared<Modem>();
  const std::string key = RecordKey(n);
  modem->Name = GetRegSetting(key, "ModemName", "Modem" + std::to_string(n));
  modem->IP_Address = GetRegSetting(key, "IP_Address", "255.255.255.255");
  modem->LastComm = DateFromText(GetRegSetting(key, "LastCommunication", ""));
  modem->Index = n;
  return modem;
}

std::vector<Modems::ModemPtr> LoadModemRecords(ModemDirectoryHeader& header) {
  std::vector<Modems::ModemPtr> records;
  int lastFound = 0;
  for (int n = 1; n - lastFound <= kRecordSearchGap; ++n) {
    if (!RegKeyExists(RecordKey(n))) continue;
    lastFound = n;
    Modems::ModemPtr modem = LoadModemRecord(n);
    modem->Index = static_cast<std::int32_t>(records.size() + 1);
    records.push_back(std::move(modem));
  }
  header.StoredModemCount = lastFound;
  return records;
}

void AddLoadedModem(Modems& modems, const Modems::ModemPtr& modem) {
  modems.AddItem(modem, modems.Exists(modem->Name) ? std::string() : modem->Name);
}

void LoadModemDirectory(Modems& modems, ModemDirectoryHeader& header) {
  header = LoadModemHeader();
  for (const Modems::ModemPtr& modem : LoadModemRecords(header)) AddLoadedModem(modems, modem);
}

void SaveModemDirectory(const Modems& modems, int storedModemCount, const std::string& lastModem) {
  for (int n = 1; n <= storedModemCount; ++n) {
    const std::string key = RecordKey(n);
    DeleteRegValue(key, "ModemName");
    DeleteRegValue(key, "IP_Address");
    DeleteRegValue(key, "LastCommunication");
    DeleteRegKey(kModemsKey, "Modem" + std::to_string(n));
  }
  int highestIndex = modems.Count();
  for (const auto& modem : modems) highestIndex = std::max(highestIndex, static_cast<int>(modem->Index));
  SaveRegSetting(kModemsKey, "ModemCount", std::to_string(highestIndex));
  SaveRegSetting(kModemsKey, "LastModem", lastModem);
  for (const auto& modem : modems) {
    const std::string key = RecordKey(modem->Index);
    SaveRegSetting(key, "ModemName", modem->Name);
    SaveRegSetting(key, "IP_Address", modem->IP_Address);
    SaveRegSetting(key, "LastCommunication", DateToText(modem->LastComm));
  }
}

}  // namespace specterm
