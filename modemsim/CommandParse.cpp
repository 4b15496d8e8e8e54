#include "CommandParse.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace modemsim {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number in lo..hi, the whole text (blanks around it allowed, as
// clients write "h1, h2" now and then).
std::optional<long long> Number(std::string_view text, long long lo, long long hi) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  long long v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return std::nullopt;
  return v;
}

}  // namespace

std::string_view CleanCommandLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  while (!line.empty() && static_cast<unsigned char>(line.front()) >= 0xF0) line.remove_prefix(1);
  return line;
}

ParsedCommand ParseCommand(std::string_view line) {
  ParsedCommand parsed;
  const std::size_t sp = line.find(' ');
  parsed.verb = std::string(line.substr(0, sp));
  std::transform(parsed.verb.begin(), parsed.verb.end(), parsed.verb.begin(), Upper);
  if (sp != std::string_view::npos) parsed.arg = std::string(line.substr(sp + 1));
  while (!parsed.arg.empty() && parsed.arg.back() == ' ') parsed.arg.pop_back();
  parsed.hasControlBytes = std::any_of(line.begin(), line.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
  });
  return parsed;
}

std::optional<PortTarget> ParsePortArgument(const std::string& arg) {
  long long v[6];
  std::string_view rest = arg;
  for (int k = 0; k < 6; ++k) {
    const std::size_t comma = k < 5 ? rest.find(',') : std::string_view::npos;
    if (k < 5 && comma == std::string_view::npos) return std::nullopt;
    const std::optional<long long> n = Number(rest.substr(0, comma), 0, 255);
    if (!n) return std::nullopt;
    v[k] = *n;
    rest.remove_prefix(k < 5 ? comma + 1 : rest.size());
  }
  PortTarget target;
  target.ipv4 = static_cast<std::uint32_t>(v[0] << 24 | v[1] << 16 | v[2] << 8 | v[3]);
  target.port = static_cast<int>(v[4] * 256 + v[5]);
  return target;
}

std::optional<EprtTarget> ParseEprtArgument(const std::string& arg) {
  if (arg.empty()) return std::nullopt;
  const char delimiter = arg.front();
  std::vector<std::string_view> parts;
  std::string_view rest = arg;
  for (;;) {
    const std::size_t at = rest.find(delimiter);
    parts.push_back(rest.substr(0, at));
    if (at == std::string_view::npos) break;
    rest.remove_prefix(at + 1);
  }
  if (parts.size() != 5 || !parts[0].empty() || !parts[4].empty() || (parts[1] != "1" && parts[1] != "2"))
    return std::nullopt;
  const std::optional<long long> port = Number(parts[3], 0, 65535);
  if (!port) return std::nullopt;
  return EprtTarget{std::string(parts[2]), static_cast<int>(*port)};
}

std::optional<std::int64_t> ParseRestOffset(const std::string& arg) {
  const std::optional<long long> n = Number(arg, 0, INT64_MAX);
  if (!n) return std::nullopt;
  return static_cast<std::int64_t>(*n);
}

std::string ListPath(const std::string& arg) {
  std::string path;
  std::string_view rest = arg;
  while (!rest.empty()) {
    const std::size_t sp = rest.find(' ');
    const std::string_view word = rest.substr(0, sp);
    rest.remove_prefix(sp == std::string_view::npos ? rest.size() : sp + 1);
    if (word.empty() || (word.front() == '-' && path.empty())) continue;
    if (!path.empty()) path += ' ';
    path += word;
  }
  return path;
}

}  // namespace modemsim
