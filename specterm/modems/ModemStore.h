#pragma once

// Loading and saving the modem directory under "Halden Modems". Saving first
// deletes every record that loading counted, then writes the header and the
// records of the collection under their Index.

#include "modems/Modems.h"

#include <string>

namespace specterm {

inline constexpr const char* kModemsKey = "Halden Modems";

struct ModemDirectoryHeader {
  int StoredModemCount = 0;
  std::string LastModem;
};

ModemDirectoryHeader LoadModemHeader();

// Record "Modem" + n, with the defaults of a missing one.
Modems::ModemPtr LoadModemRecord(int n);

// Appends a loaded record under its name. A hand-edited directory may name
// two records alike; the later one is then kept without a key rather than
// lost.
void AddLoadedModem(Modems& modems, const Modems::ModemPtr& modem);

// Header and every record, as start-up reads them.
void LoadModemDirectory(Modems& modems, ModemDirectoryHeader& header);

void SaveModemDirectory(const Modems& modems, int storedModemCount, const std::string& lastModem);

}  // namespace specterm
