#pragma once

// Loading and saving the modem directory under "Halden Modems". Saving first
// deletes every record that loading found, then writes the header and the
// records of the collection under their Index.
//
// Only records that are there are loaded, whatever "ModemCount" says: they
// are looked for from Modem1 on, so a hand-edited or damaged count (too
// large, negative, no number, a dword) costs nothing, and a missing record
// is neither loaded nor written back with default values. The records found
// are numbered 1..Count in stored order, as the dialogs keep them; the
// count written back reaches every record written.

#include "modems/Modems.h"

#include <string>
#include <vector>

namespace specterm {

inline constexpr const char* kModemsKey = "Halden Modems";
// Records are looked for no further than this many numbers past the last
// one found.
inline constexpr int kRecordSearchGap = 64;

struct ModemDirectoryHeader {
  // "ModemCount" as stored; after LoadModemRecords, the highest record
  // number found, which is what saving deletes.
  int StoredModemCount = 0;
  std::string LastModem;
};

ModemDirectoryHeader LoadModemHeader();

// Record "Modem" + n, with the defaults of a missing value.
Modems::ModemPtr LoadModemRecord(int n);

// The records present, their Index set to their position;
// header.StoredModemCount becomes the highest number found.
std::vector<Modems::ModemPtr> LoadModemRecords(ModemDirectoryHeader& header);

// Appends a loaded record under its name. A hand-edited directory may name
// two records alike; the later one is then kept without a key rather than
// lost.
void AddLoadedModem(Modems& modems, const Modems::ModemPtr& modem);

// Header and every record, as start-up reads them.
void LoadModemDirectory(Modems& modems, ModemDirectoryHeader& header);

void SaveModemDirectory(const Modems& modems, int storedModemCount, const std::string& lastModem);

}  // namespace specterm
