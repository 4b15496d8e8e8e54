// The hive file: whatever a user or another program left in it parses
// without harm, and what the parser keeps is written so that it reads back
// whole and writes again to the same text.

#include "FuzzInput.h"
#include "registry/Hive.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace registry::detail;
  const ParseResult first = ParseHive(fuzz::Text(data, size), "HKEY_CURRENT_USER");
  const std::string written = WriteHive(first.hive, "HKEY_CURRENT_USER");
  const ParseResult second = ParseHive(written, "HKEY_CURRENT_USER");
  if (!second.problems.empty()) std::abort();
  if (WriteHive(second.hive, "HKEY_CURRENT_USER") != written) std::abort();
  // Every key that was read can be found by its path.
  for (const Key& key : second.hive.Keys())
    if (second.hive.Find(key.path) == nullptr) std::abort();
  return 0;
}
