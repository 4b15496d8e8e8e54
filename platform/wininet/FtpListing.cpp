#include "wininet/FtpListing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace wininet {

namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr std::int64_t kFileTimeTicksPerSecond = 10000000LL;

constexpr std::array<const char*, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                 "jul", "aug", "sep", "oct", "nov", "dec"};

struct Token {
  std::string_view text;
  std::size_t end = 0;  // offset just past the token in the line
};

std::vector<Token> Tokens(std::string_view line, std::size_t maxTokens) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size() && tokens.size() < maxTokens) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) break;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    tokens.push_back({line.substr(start, i - start), i});
  }
  return tokens;
}

bool AllDigits(std::string_view s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::optional<int> MonthIndex(std::string_view s) {
  if (s.size() != 3) return std::nullopt;
  for (std::size_t m = 0; m < kMonths.size(); ++m) {
    bool same = true;
    for (std::size_t k = 0; k < 3; ++k) same = same && std::tolower(static_cast<unsigned char>(s[k])) == kMonths[m][k];
    if (same) return static_cast<int>(m);
  }
  return std::nullopt;
}

std::optional<std::pair<int, int>> ParseClock(std::string_view s) {
  const auto colon = s.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto h = s.substr(0, colon);
  const auto m = s.substr(colon + 1, 2);
  if (!AllDigits(h) || !AllDigits(m) || h.size() > 2 || m.size() != 2) return std::nullopt;
  return std::pair{std::stoi(std::string(h)), std::stoi(std::string(m))};
}

std::uint64_t ToNumber(std::string_view s) {
  std::uint64_t v = 0;
  for (char c : s) {
    if (v > (UINT64_MAX - 9) / 10) return UINT64_MAX;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return v;
}

std::time_t UtcTime(int year, int month, int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  return timegm(&t);
}

void SetName(WIN32_FIND_DATAA& data, std::string_view name) {
  const std::size_t n = std::min(name.size(), sizeof data.cFileName - 1);
  std::memcpy(data.cFileName, name.data(), n);
  data.cFileName[n] = '\0';
}

void SetSize(WIN32_FIND_DATAA& data, std::uint64_t size) {
  data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
}

// "-rw-r--r--   1 owner group  1234 Mar  5 10:20 name" and its variants
// without group or link count: the date is found by its month name.
std::optional<WIN32_FIND_DATAA> ParseUnix(std::string_view line, std::time_t now) {
  if (line.empty() || std::strchr("-dlbcps", line[0]) == nullptr) return std::nullopt;
  const auto tokens = Tokens(line, 9);
  for (std::size_t i = 2; i + 2 < tokens.size(); ++i) {
    const auto month = MonthIndex(tokens[i].text);
    if (!month || !AllDigits(tokens[i - 1].text) || !AllDigits(tokens[i + 1].text)) continue;
    const int day = std::stoi(std::string(tokens[i + 1].text.substr(0, 2)));
    const std::string_view yearOrTime = tokens[i + 2].text;
    std::time_t when = 0;
    std::tm nowTm{};
    gmtime_r(&now, &nowTm);
    if (const auto clock = ParseClock(yearOrTime)) {
      when = UtcTime(nowTm.tm_year + 1900, *month, day, clock->first, clock->second);
      // A time without a year is within the last year: a date ahead of now
      // belongs to the year before.
      if (when > now + 86400) when = UtcTime(nowTm.tm_year + 1899, *month, day, clock->first, clock->second);
    } else if (AllDigits(yearOrTime) && yearOrTime.size() == 4) {
      when = UtcTime(std::stoi(std::string(yearOrTime)), *month, day, 0, 0);
    } else {
      continue;
    }
    std::size_t nameStart = tokens[i + 2].end;
    while (nameStart < line.size() && line[nameStart] == ' ') ++nameStart;
    std::string_view name = line.substr(nameStart);
    if (line[0] == 'l') {
      if (const auto arrow = name.find(" -> "); arrow != std::string_view::npos) name = name.substr(0, arrow);
    }
    if (name.empty()) return std::nullopt;
    WIN32_FIND_DATAA data{};
    data.dwFileAttributes = line[0] == 'd' ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (line.size() > 2 && line[0] != 'd' && line[2] != 'w') data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    if (data.dwFileAttributes != FILE_ATTRIBUTE_NORMAL) data.dwFileAttributes &= ~FILE_ATTRIBUTE_NORMAL;
    if (line[0] != 'd') SetSize(data, ToNumber(tokens[i - 1].text));
    data.ftLastWriteTime = FileTimeFromUnix(when);
    data.ftCreationTime = data.ftLastWriteTime;
    data.ftLastAccessTime = data.ftLastWriteTime;
    SetName(data, name);
    return data;
  }
  return std::nullopt;
}

// "03-05-24  10:20AM       <DIR>          name" or "... 1234 name".
std::optional<WIN32_FIND_DATAA> ParseDos(std::string_view line) {
  const auto tokens = Tokens(line, 3);
  if (tokens.size() < 3) return std::nullopt;
  const std::string_view date = tokens[0].text;
  const std::string_view clock = tokens[1].text;
  if (date.size() < 8 || (date[2] != '-' && date[2] != '/') || date[5] != date[2]) return std::nullopt;
  const auto hm = ParseClock(clock);
  if (!hm) return std::nullopt;
  const std::string mm(date.substr(0, 2)), dd(date.substr(3, 2)), yy(date.substr(6));
  if (!AllDigits(mm) || !AllDigits(dd) || !AllDigits(yy) || (yy.size() != 2 && yy.size() != 4)) return std::nullopt;
  int year = std::stoi(yy);
  if (yy.size() == 2) year += year < 70 ? 2000 : 1900;
  int hour = hm->first % 12;
  if (clock.size() >= 2 && std::toupper(static_cast<unsigned char>(clock[clock.size() - 2])) == 'P') hour += 12;
  if (clock.size() >= 2 && std::isdigit(static_cast<unsigned char>(clock.back()))) hour = hm->first;
  const bool isDir = tokens[2].text == "<DIR>";
  if (!isDir && !AllDigits(tokens[2].text)) return std::nullopt;
  std::size_t nameStart = tokens[2].end;
  while (nameStart < line.size() && line[nameStart] == ' ') ++nameStart;
  const std::string_view name = line.substr(nameStart);
  if (name.empty()) return std::nullopt;
  WIN32_FIND_DATAA data{};
  data.dwFileAttributes = isDir ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  if (!isDir) SetSize(data, ToNumber(tokens[2].text));
  data.ftLastWriteTime = FileTimeFromUnix(UtcTime(year, std::stoi(mm) - 1, std::stoi(dd), hour, hm->second));
  data.ftCreationTime = data.ftLastWriteTime;
  data.ftLastAccessTime = data.ftLastWriteTime;
  SetName(data, name);
  return data;
}

}  // namespace

FILETIME FileTimeFromUnix(std::time_t seconds) {
  const std::int64_t ticks = (static_cast<std::int64_t>(seconds) + kSecondsFrom1601To1970) * kFileTimeTicksPerSecond;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
  return ft;
}

std::optional<WIN32_FIND_DATAA> ParseListLine(std::string_view line, std::time_t now) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  if (line.empty()) return std::nullopt;
  if (line.substr(0, 6) == "total " && AllDigits(line.substr(6))) return std::nullopt;
  if (auto unixEntry = ParseUnix(line, now)) return unixEntry;
  if (auto dosEntry = ParseDos(line)) return dosEntry;
  // A listing in no known style: the line is the name.
  WIN32_FIND_DATAA data{};
  data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  SetName(data, line);
  return data;
}

std::vector<WIN32_FIND_DATAA> ParseListing(std::string_view listing, std::time_t now) {
  std::vector<WIN32_FIND_DATAA> entries;
  while (!listing.empty()) {
    const auto nl = listing.find('\n');
    const std::string_view line = listing.substr(0, nl);
    if (auto entry = ParseListLine(line, now)) entries.push_back(*entry);
    if (nl == std::string_view::npos) break;
    listing.remove_prefix(nl + 1);
  }
  return entries;
}

bool HasWildcards(std::string_view pattern) { return pattern.find_first_of("*?") != std::string_view::npos; }

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") pattern = "*";
  // Iterative match with backtracking to the last '*'.
  std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace wininet
