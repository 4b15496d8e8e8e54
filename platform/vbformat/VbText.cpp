#include "vbformat/VbFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace vb {

namespace {

// ASCII case only: the results must not depend on the C locale.
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Padded(int value, int width) {
  std::string text = std::to_string(value < 0 ? -value : value);
  if (text.size() < static_cast<std::size_t>(width)) text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  return value < 0 ? "-" + text : text;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long yearOfEra = year - era * 400;
  const long dayOfYear = (153L * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// 1 = Sunday .. 7 = Saturday, as the classic Weekday().
int Weekday(const DateTime& date) {
  const long days = DaysFromCivil(date.year, date.month, date.day);
  const long weekday = (days % 7 + 7 + 4) % 7;  // 1970-01-01 was a Thursday
  return static_cast<int>(weekday) + 1;
}

int DayOfYear(const DateTime& date) {
  return static_cast<int>(DaysFromCivil(date.year, date.month, date.day) - DaysFromCivil(date.year, 1, 1)) + 1;
}

constexpr std::array<const char*, 12> MonthNames = {"January",   "February", "March",    "April",
                                                    "May",       "June",     "July",     "August",
                                                    "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> DayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};

std::string MonthName(int month, bool abbreviated) {
  if (month < 1 || month > 12) return std::to_string(month);
  std::string name = MonthNames[static_cast<std::size_t>(month - 1)];
  return abbreviated ? name.substr(0, 3) : name;
}

std::string DayName(int weekday, bool abbreviated) {
  std::string name = DayNames[static_cast<std::size_t>(weekday - 1)];
  return abbreviated ? name.substr(0, 3) : name;
}

bool StartsWithIgnoringCase(std::string_view text, std::size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[at + i]) != Lower(prefix[i])) return false;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FormatText(std::string_view text, std::string_view pattern) {
  // "@" shows a character or a space, "&" a character or nothing; the text
  // fills them from the right unless the pattern starts with "!". "<" and
  // ">" force lower or upper case. Other characters stand as they are.
  bool leftToRight = false;
  int caseMode = 0;
  std::string cells;  // placeholders as '@'/'&', literals escaped with '\x01' + char
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '!') {
      leftToRight = true;
    } else if (c == '<') {
      caseMode = -1;
    } else if (c == '>') {
      caseMode = 1;
    } else if (c == '@' || c == '&') {
      cells.push_back(c);
    } else if (c == '\\' && i + 1 < pattern.size()) {
      cells.push_back('\x01');
      cells.push_back(pattern[++i]);
    } else {
      cells.push_back('\x01');
      cells.push_back(c);
    }
  }
  std::string source(text);
  for (char& c : source) c = caseMode < 0 ? Lower(c) : caseMode > 0 ? Upper(c) : c;

  std::size_t placeholders = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (cells[i] == '\x01') {
      ++i;
    } else {
      ++placeholders;
    }
  }
  if (placeholders == 0) {
    // No character positions: the text, then the pattern's literal text.
    for (std::size_t i = 1; i < cells.size(); i += 2) source.push_back(cells[i]);
    return source;
  }

  // Characters beyond the placeholders go whole at the open end.
  const std::size_t extra = source.size() > placeholders ? source.size() - placeholders : 0;
  const std::size_t shown = source.size() - extra;
  std::string result;
  std::size_t placeholder = 0;
  std::size_t next = leftToRight ? 0 : extra;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (cells[i] == '\x01') {
      result.push_back(cells[++i]);
      continue;
    }
    if (!leftToRight && placeholder == 0) result += source.substr(0, extra);
    // Right-aligned: the first (placeholders - shown) cells stay empty.
    const bool filled = leftToRight ? placeholder < shown : placeholder >= placeholders - shown;
    if (filled) {
      result.push_back(source[next++]);
    } else if (cells[i] == '@') {
      result.push_back(' ');
    }
    ++placeholder;
    if (leftToRight && placeholder == placeholders) result += source.substr(next);
  }
  return result;
}

std::string FormatDate(const DateTime& date, std::string_view pattern) {
  // Tokens compare without regard to case; "m" after an hour token means
  // minutes, as in the classic runtime.
  bool twelveHour = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (StartsWithIgnoringCase(pattern, i, "am/pm") || StartsWithIgnoringCase(pattern, i, "a/p")) twelveHour = true;
  }
  std::string out;
  bool afterHour = false;
  std::size_t i = 0;
  auto run = [&](char letter) {
    std::size_t n = 0;
    while (i + n < pattern.size() && Lower(pattern[i + n]) == letter) ++n;
    return n;
  };
  while (i < pattern.size()) {
    const char c = pattern[i];
    const char lower = Lower(c);
    if (StartsWithIgnoringCase(pattern, i, "am/pm")) {
      const bool pm = date.hour >= 12;
      const bool upperCase = c == 'A';
      out += pm ? (upperCase ? "PM" : "pm") : (upperCase ? "AM" : "am");
      i += 5;
      continue;
    }
    if (StartsWithIgnoringCase(pattern, i, "a/p")) {
      const char letter = date.hour >= 12 ? 'p' : 'a';
      out.push_back(c == 'A' ? Upper(letter) : letter);
      i += 3;
      continue;
    }
    if (c == '\\' && i + 1 < pattern.size()) {
      out.push_back(pattern[i + 1]);
      i += 2;
      continue;
    }
    if (c == '"') {
      const std::size_t end = pattern.find('"', i + 1);
      const std::size_t stop = end == std::string_view::npos ? pattern.size() : end;
      out.append(pattern.substr(i + 1, stop - i - 1));
      i = stop + 1;
      continue;
    }
    const std::size_t n = (lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 'n' ||
                           lower == 's' || lower == 'w' || lower == 'q')
                              ? run(lower)
                              : 0;
    if (n == 0) {
      out.push_back(c);
      ++i;
      continue;
    }
    i += n;
    switch (lower) {
      case 'y':
        if (n >= 3) {
          out += Padded(date.year, 4);
        } else if (n == 2) {
          out += Padded(((date.year % 100) + 100) % 100, 2);
        } else {
          out += std::to_string(DayOfYear(date));
        }
        break;
      case 'm':
        if (afterHour && n <= 2) {
          out += Padded(date.minute, static_cast<int>(n));
        } else if (n >= 3) {
          out += MonthName(date.month, n == 3);
        } else {
          out += Padded(date.month, static_cast<int>(n));
        }
        break;
      case 'd':
        if (n >= 4) {
          out += DayName(Weekday(date), false);
        } else if (n == 3) {
          out += DayName(Weekday(date), true);
        } else {
          out += Padded(date.day, static_cast<int>(n));
        }
        break;
      case 'h': {
        int hour = date.hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        out += Padded(hour, n >= 2 ? 2 : 1);
        break;
      }
      case 'n':
        out += Padded(date.minute, n >= 2 ? 2 : 1);
        break;
      case 's':
        out += Padded(date.second, n >= 2 ? 2 : 1);
        break;
      case 'w':
        out += std::to_string(Weekday(date));
        break;
      case 'q':
        out += std::to_string((date.month - 1) / 3 + 1);
        break;
      default:
        break;
    }
    afterHour = lower == 'h';
  }
  return out;
}

double Val(std::string_view text) {
  // Blanks are skipped anywhere inside the number, as the classic Val does
  // ("1 2" reads 12). The number is gathered into a plain text first and
  // converted without regard to the C locale.
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && IsBlank(text[i])) ++i;
  };
  std::string number;
  skipBlanks();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool point = false;
  int digits = 0;
  int order = 0;  // decimal position of the first significant digit
  bool significant = false;
  for (;;) {
    skipBlanks();
    if (i < n && IsDigit(text[i])) {
      if (text[i] != '0') significant = true;
      if (significant && !point) ++order;
      if (!significant && point) --order;
      number.push_back(text[i++]);
      ++digits;
    } else if (i < n && text[i] == '.' && !point) {
      point = true;
      number.push_back(text[i++]);
    } else {
      break;
    }
  }
  if (digits == 0) return 0.0;

  // An exponent counts only when digits follow its letter.
  const std::size_t mark = i;
  skipBlanks();
  long exponent = 0;
  if (i < n && (Lower(text[i]) == 'e' || Lower(text[i]) == 'd')) {
    ++i;
    skipBlanks();
    std::string exponentText;
    if (i < n && (text[i] == '+' || text[i] == '-')) exponentText.push_back(text[i++]);
    bool any = false;
    for (;;) {
      skipBlanks();
      if (i < n && IsDigit(text[i])) {
        // Leading zeros are dropped so that the length cap counts only
        // digits that matter; 12 digits already overflow any double.
        const bool leadingZero = text[i] == '0' && (exponentText.empty() || exponentText == "-" || exponentText == "+");
        if (!leadingZero && exponentText.size() < 13) exponentText.push_back(text[i]);
        any = true;
        ++i;
      } else {
        break;
      }
    }
    if (any) {
      // Zeros alone (dropped above) leave a sign or nothing, which does
      // not convert: the exponent stays 0.
      const std::size_t start = !exponentText.empty() && exponentText.front() == '+' ? 1 : 0;
      std::from_chars(exponentText.data() + start, exponentText.data() + exponentText.size(), exponent);
      number += 'e';
      number += std::to_string(exponent);
    } else {
      i = mark;
    }
  }

  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large reads as infinity, so range checks reject it; too small as 0.
    value = significant && order + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative && value != 0.0 ? -value : value;
}

}  // namespace vb
