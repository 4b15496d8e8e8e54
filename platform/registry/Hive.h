#pragma once

// One registry hive in memory, and its text form in the registry export
// format (REGEDIT4). Pure code: no files, no locks.

#include "base/WinBase.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace registry::detail {

// A key path below the hive root, one name per level; empty for the root.
using KeyPath = std::vector<std::string>;

struct Value {
  std::string name;  // "" is the default value ("@" in the file)
  DWORD type = 0;
  // REG_SZ: the text without its terminating NUL; other types: the bytes.
  std::string data;
};

struct Key {
  KeyPath path;  // with the spelling of its creation
  std::vector<Value> values;
};

bool NamesEqual(std::string_view a, std::string_view b);
bool PathsEqual(const KeyPath& a, const KeyPath& b);

// Splits "A\B\C" into its names. Empty names (doubled, leading or trailing
// backslashes) are skipped. Fails on names that the file could not hold
// (line breaks), on names longer than 255 characters and on paths deeper
// than 512 levels.
bool SplitPath(std::string_view text, KeyPath& path);

class Hive {
 public:
  Hive();

  // The key, or nullptr. The root always exists.
  Key* Find(const KeyPath& path);
  const Key* Find(const KeyPath& path) const;
  // Creates the key and any missing parents; *created tells whether the key
  // itself was new.
  Key& Create(const KeyPath& path, bool* created = nullptr);
  bool HasSubkeys(const KeyPath& path) const;
  // Removes a key (not the root) and its values; subkeys must be gone.
  void Erase(const KeyPath& path);

  static Value* FindValue(Key& key, std::string_view name);
  static const Value* FindValue(const Key& key, std::string_view name);
  // Replaces a value of that name (keeping its first spelling) or appends one.
  static void SetValue(Key& key, Value value);
  static bool EraseValue(Key& key, std::string_view name);

  const std::vector<Key>& Keys() const { return keys_; }

 private:
  void Reindex();

  std::vector<Key> keys_;  // keys_[0] is the root
  // Position in keys_ of each key, by its path folded to lower case, so
  // that a hive of thousands of keys is read in linear time.
  std::unordered_map<std::string, std::size_t> index_;
};

struct ParseResult {
  Hive hive;
  // One entry per line (or part) that could not be taken over; empty when
  // WriteHive of the result keeps everything the text held.
  std::vector<std::string> problems;
};

// rootName is the hive's top-level name, such as "HKEY_CURRENT_USER".
ParseResult ParseHive(std::string_view text, std::string_view rootName);
// How many texts ParseHive parsed in this process (for tests and benchmarks).
long ParseCount();
std::string WriteHive(const Hive& hive, std::string_view rootName);

}  // namespace registry::detail
