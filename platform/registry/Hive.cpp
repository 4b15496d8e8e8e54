#include "registry/Hive.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace registry::detail {

namespace {

constexpr std::size_t MaxKeyNameLength = 255;
constexpr std::size_t MaxPathDepth = 512;
constexpr DWORD RegSz = 1;
constexpr DWORD RegBinary = 3;
constexpr DWORD RegDword = 4;

// ASCII folding only, so that names compare the same under every locale.
char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

// Orders paths so that every key follows its parent and precedes its
// siblings' subtrees: the order of an export.
bool PathLess(const KeyPath& a, const KeyPath& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    std::string x(a[i]), y(b[i]);
    std::transform(x.begin(), x.end(), x.begin(), Fold);
    std::transform(y.begin(), y.end(), y.begin(), Fold);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool IsPrefix(const KeyPath& prefix, const KeyPath& path) {
  if (prefix.size() >= path.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (!NamesEqual(prefix[i], path[i])) return false;
  }
  return true;
}

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted.push_back('\\');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::string HexBytes(std::string_view bytes) {
  std::string text;
  char cell[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(cell, sizeof cell, "%02x", static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
    if (i > 0) text.push_back(',');
    text += cell;
  }
  return text;
}

std::string ValueLine(const Value& value) {
  std::string line = value.name.empty() ? "@" : Quote(value.name);
  line.push_back('=');
  const bool plainText = value.type == RegSz && std::none_of(value.data.begin(), value.data.end(),
                                                             [](char c) { return c == '\0' || IsLineBreak(c); });
  if (plainText) {
    line += Quote(value.data);
  } else if (value.type == RegDword && value.data.size() == 4) {
    unsigned long number = 0;
    for (int i = 3; i >= 0; --i)
      number = number << 8 | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08lx", number);
    line += text;
  } else if (value.type == RegBinary) {
    line += "hex:" + HexBytes(value.data);
  } else {
    // Texts that a quoted string cannot hold keep their type as raw bytes,
    // with the terminating NUL the string form would imply.
    const std::string bytes = value.type == RegSz ? value.data + '\0' : value.data;
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%lx):", static_cast<unsigned long>(value.type));
    line += prefix + HexBytes(bytes);
  }
  return line;
}

// The index's name of a path: its names folded and joined by backslashes,
// which no name contains.
std::string IndexName(const KeyPath& path) {
  std::string name;
  for (const std::string& part : path) {
    name.push_back('\\');
    for (const char c : part) name.push_back(Fold(c));
  }
  return name;
}

// ---- parsing ----

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Reads a quoted text at the start of `text` (which starts with '"'):
// backslash escapes the next character when it is a backslash or a quote;
// any other backslash stands as it is. Advances past the closing quote.
bool ReadQuoted(std::string_view& text, std::string& out) {
  out.clear();
  std::size_t i = 1;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      out.push_back(text[i + 1]);
      i += 2;
    } else if (c == '"') {
      text.remove_prefix(i + 1);
      return true;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Fold(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseHexNumber(std::string_view text, unsigned long maxDigits, unsigned long& number) {
  if (text.empty() || text.size() > maxDigits) return false;
  number = 0;
  for (const char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    number = number << 4 | static_cast<unsigned long>(digit);
  }
  return true;
}

bool ParseHexBytes(std::string_view text, std::string& bytes) {
  bytes.clear();
  text = Trim(text);
  if (text.empty()) return true;
  while (true) {
    const std::size_t comma = text.find(',');
    unsigned long byte = 0;
    if (!ParseHexNumber(Trim(text.substr(0, comma)), 2, byte)) return false;
    bytes.push_back(static_cast<char>(byte));
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

// Parses the data after '=' into a value.
bool ParseData(std::string_view data, Value& value) {
  data = Trim(data);
  if (!data.empty() && data.front() == '"') {
    value.type = RegSz;
    return ReadQuoted(data, value.data) && Trim(data).empty();
  }
  auto startsWith = [&](std::string_view prefix) {
    if (data.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
      if (Fold(data[i]) != prefix[i]) return false;
    }
    return true;
  };
  if (startsWith("dword:")) {
    unsigned long number = 0;
    if (!ParseHexNumber(Trim(data.substr(6)), 8, number)) return false;
    value.type = RegDword;
    value.data.clear();
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<char>(number >> (8 * i) & 0xFF));
    return true;
  }
  if (startsWith("hex:")) {
    value.type = RegBinary;
    return ParseHexBytes(data.substr(4), value.data);
  }
  if (startsWith("hex(")) {
    const std::size_t close = data.find("):");
    unsigned long type = 0;
    if (close == std::string_view::npos || !ParseHexNumber(data.substr(4, close - 4), 8, type)) return false;
    value.type = static_cast<DWORD>(type);
    if (!ParseHexBytes(data.substr(close + 2), value.data)) return false;
    if (value.type == RegSz && !value.data.empty() && value.data.back() == '\0') value.data.pop_back();
    return true;
  }
  return false;
}

// Splits a section name "ROOT\A\B" into the path below ROOT.
bool ParseSection(std::string_view name, std::string_view rootName, KeyPath& path) {
  const std::size_t slash = name.find('\\');
  if (!NamesEqual(name.substr(0, slash), rootName)) return false;
  if (slash == std::string_view::npos) {
    path.clear();
    return true;
  }
  return SplitPath(name.substr(slash + 1), path);
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

bool PathsEqual(const KeyPath& a, const KeyPath& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!NamesEqual(a[i], b[i])) return false;
  }
  return true;
}

bool SplitPath(std::string_view text, KeyPath& path) {
  path.clear();
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\\', start), text.size());
    const std::string_view name = text.substr(start, end - start);
    if (!name.empty()) {
      if (name.size() > MaxKeyNameLength || std::any_of(name.begin(), name.end(), IsLineBreak)) return false;
      path.emplace_back(name);
      if (path.size() > MaxPathDepth) return false;
    }
    start = end + 1;
  }
  return true;
}

Hive::Hive() { Reindex(); }

Key* Hive::Find(const KeyPath& path) {
  const auto it = index_.find(IndexName(path));
  return it == index_.end() ? nullptr : &keys_[it->second];
}

void Hive::Reindex() {
  if (keys_.empty()) keys_.push_back(Key{});
  index_.clear();
  for (std::size_t i = 0; i < keys_.size(); ++i) index_.emplace(IndexName(keys_[i].path), i);
}

const Key* Hive::Find(const KeyPath& path) const { return const_cast<Hive*>(this)->Find(path); }

Key& Hive::Create(const KeyPath& path, bool* created) {
  if (created) *created = false;
  KeyPath partial;
  Key* key = &keys_.front();
  for (const std::string& name : path) {
    partial.push_back(name);
    Key* existing = Find(partial);
    if (existing == nullptr) {
      // Parents keep the spelling they already have.
      KeyPath spelled = key->path;
      spelled.push_back(name);
      index_.emplace(IndexName(partial), keys_.size());
      keys_.push_back(Key{spelled, {}});
      existing = &keys_.back();
      if (created && partial.size() == path.size()) *created = true;
    }
    key = existing;
  }
  return *key;
}

bool Hive::HasSubkeys(const KeyPath& path) const {
  return std::any_of(keys_.begin(), keys_.end(), [&](const Key& key) { return IsPrefix(path, key.path); });
}

void Hive::Erase(const KeyPath& path) {
  if (path.empty()) return;
  keys_.erase(
      std::remove_if(keys_.begin() + 1, keys_.end(), [&](const Key& key) { return PathsEqual(key.path, path); }),
      keys_.end());
  Reindex();
}

Value* Hive::FindValue(Key& key, std::string_view name) {
  for (Value& value : key.values) {
    if (NamesEqual(value.name, name)) return &value;
  }
  return nullptr;
}

const Value* Hive::FindValue(const Key& key, std::string_view name) { return FindValue(const_cast<Key&>(key), name); }

void Hive::SetValue(Key& key, Value value) {
  if (Value* existing = FindValue(key, value.name)) {
    existing->type = value.type;
    existing->data = std::move(value.data);
  } else {
    key.values.push_back(std::move(value));
  }
}

bool Hive::EraseValue(Key& key, std::string_view name) {
  const auto it = std::find_if(key.values.begin(), key.values.end(),
                               [&](const Value& value) { return NamesEqual(value.name, name); });
  if (it == key.values.end()) return false;
  key.values.erase(it);
  return true;
}

namespace {
std::atomic<long> parseCount{0};
}  // namespace

long ParseCount() { return parseCount.load(); }

ParseResult ParseHive(std::string_view text, std::string_view rootName) {
  ++parseCount;
  ParseResult result;
  std::vector<std::string>& problems = result.problems;
  Key* section = nullptr;  // nullptr before the first usable section
  // The section's values by folded name, so that a key with thousands of
  // values is read in linear time.
  std::unordered_map<std::string, std::size_t> sectionValues;
  auto foldedName = [](std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), Fold);
    return folded;
  };
  bool inSkippedSection = false;
  bool headerSeen = false;
  std::size_t lineNumber = 0;
  std::size_t pos = 0;
  auto problem = [&](std::size_t line, const std::string& what) {
    problems.push_back("line " + std::to_string(line) + ": " + what);
  };
  auto trimEnd = [](std::string& line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) line.pop_back();
  };
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string logical(text.substr(pos, end - pos));
    pos = end + 1;
    const std::size_t firstLine = ++lineNumber;
    // Hex data may continue on the next lines after a trailing backslash
    // (each step touches only the line's end: a value may span many lines).
    const bool hexData = logical.find("=hex") != std::string::npos;
    while (hexData && pos < text.size()) {
      trimEnd(logical);
      if (logical.empty() || logical.back() != '\\') break;
      logical.pop_back();
      end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      logical += text.substr(pos, end - pos);
      pos = end + 1;
      ++lineNumber;
    }
    const std::string_view line = Trim(logical);
    if (line.empty()) continue;
    if (!headerSeen) {
      headerSeen = true;
      if (line == "REGEDIT4") continue;
      problem(firstLine, "the file does not start with REGEDIT4");
    }
    if (line.front() == '[' && line.back() == ']') {
      KeyPath path;
      if (ParseSection(line.substr(1, line.size() - 2), rootName, path)) {
        // Valid until the next section: only sections create keys.
        section = &result.hive.Create(path);
        sectionValues.clear();
        for (std::size_t i = 0; i < section->values.size(); ++i)
          sectionValues.emplace(foldedName(section->values[i].name), i);
        inSkippedSection = false;
      } else {
        problem(firstLine, "key outside " + std::string(rootName) + " or with an unusable name");
        section = nullptr;
        inSkippedSection = true;
      }
      continue;
    }
    if (line.front() == '[') {
      // A key line cut short: which key it named is unknown, so its values
      // are not given to the key before it.
      problem(firstLine, "unreadable key line");
      section = nullptr;
      inSkippedSection = true;
      continue;
    }
    if (line.front() == '"' || line.front() == '@') {
      if (section == nullptr) {
        problem(firstLine, inSkippedSection ? "value of a skipped key" : "value before the first key");
        continue;
      }
      Value value;
      std::string_view rest = line;
      if (rest.front() == '@') {
        rest.remove_prefix(1);
      } else if (!ReadQuoted(rest, value.name) || std::any_of(value.name.begin(), value.name.end(), IsLineBreak)) {
        problem(firstLine, "unreadable value name");
        continue;
      }
      rest = Trim(rest);
      if (rest.empty() || rest.front() != '=' || !ParseData(rest.substr(1), value)) {
        problem(firstLine, "unreadable value data");
        continue;
      }
      const auto [known, added] = sectionValues.emplace(foldedName(value.name), section->values.size());
      if (added) {
        section->values.push_back(std::move(value));
      } else {
        problem(firstLine, "value named twice; the last one kept");
        Value& old = section->values[known->second];
        old.type = value.type;
        old.data = std::move(value.data);
      }
      continue;
    }
    problem(firstLine, "unreadable line");
  }
  return result;
}

std::string WriteHive(const Hive& hive, std::string_view rootName) {
  std::vector<const Key*> keys;
  for (const Key& key : hive.Keys()) keys.push_back(&key);
  std::stable_sort(keys.begin(), keys.end(), [](const Key* a, const Key* b) { return PathLess(a->path, b->path); });
  std::string text = "REGEDIT4\n";
  for (const Key* key : keys) {
    // The root's own section is written only when it holds values; every
    // other key is written, empty or not, so that it keeps existing.
    if (key->path.empty() && key->values.empty()) continue;
    text += "\n[";
    text += rootName;
    for (const std::string& name : key->path) text += "\\" + name;
    text += "]\n";
    for (const Value& value : key->values) text += ValueLine(value) + "\n";
  }
  text += "\n";
  return text;
}

}  // namespace registry::detail
