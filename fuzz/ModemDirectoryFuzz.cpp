// The modem directory as the settings file holds it, whatever a user or
// another program left there (a count of any kind, records missing, named
// alike or damaged): it loads, and what is saved loads again as the same
// modems, every one of them reachable from the count written.

#include "FuzzInput.h"
#include "modems/DateText.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "registry/Registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A folder of its own for the hive, in memory where the system has one: a
// save syncs the file.
const fs::path& HiveFolder() {
  static const fs::path folder = [] {
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string name = (base / "halden-fuzz-modems-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) std::abort();
    ::setenv("HALDEN_REGISTRY_DIR", name.c_str(), 1);
    std::atexit([] { fs::remove_all(HiveFolder()); });
    return fs::path(name);
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace specterm;
  const fs::path& folder = HiveFolder();
  // Damaged files are kept aside when written: a fresh folder each time.
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  std::ofstream(folder / "HKEY_CURRENT_USER.reg", std::ios::binary) << fuzz::Text(data, size);

  const bool first = RegKeyExists(std::string(kModemsKey) + "\\Modem1");
  Modems modems;
  ModemDirectoryHeader header;
  LoadModemDirectory(modems, header);
  if (first && modems.Count() == 0) std::abort();  // a record there, whatever the count says
  int position = 0;
  for (const auto& modem : modems)
    if (modem->Index != ++position || modem->Index > header.StoredModemCount) std::abort();
  {
    const registry::WriteBatch batch;
    SaveModemDirectory(modems, header.StoredModemCount, header.LastModem);
  }

  Modems again;
  ModemDirectoryHeader reread;
  LoadModemDirectory(again, reread);
  if (again.Count() != modems.Count() || reread.LastModem != header.LastModem) std::abort();
  for (int n = 1; n <= modems.Count(); ++n) {
    const Modems::ModemPtr& was = modems.Item(n);
    const Modems::ModemPtr& is = again.Item(n);
    if (is->Name != was->Name || is->IP_Address != was->IP_Address || !SameDate(is->LastComm, was->LastComm))
      std::abort();
  }
  return 0;
}
