#include "vbformat/VbFormat.h"

#include "vbformat/DecimalDigits.h"

#include <array>
#include <cmath>
#include <vector>

namespace vb {

namespace {

using detail::Decimal;

// One section of a numeric pattern: literal text around one run of digit
// placeholders.
struct NumberPattern {
  std::string prefix;
  std::string suffix;
  bool hasPlaceholders = false;
  int minIntegerDigits = 0;  // the "0" placeholders from the first one up to the point
  bool grouping = false;     // a "," between integer placeholders
  int thousandsScale = 0;    // each "," right before the point divides by 1000
  bool hasPoint = false;
  int decimals = 0;          // placeholders after the point
  int requiredDecimals = 0;  // up to and including the last "0" after the point
  bool percent = false;
};

bool IsPlaceholder(char c) { return c == '#' || c == '0'; }

// Splits a pattern at ";" outside quotes and escapes.
std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == '\\') {
      ++i;
    } else if (!quoted && c == ';') {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

NumberPattern ParseNumberPattern(std::string_view section) {
  NumberPattern p;
  enum class State { Before, Integer, Fraction, After } state = State::Before;
  std::string* literal = &p.prefix;
  int integerPlaceholders = 0;
  int firstZero = -1;
  int pendingCommas = 0;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    const bool inRun = state == State::Integer || state == State::Fraction;
    if (state == State::Before && (IsPlaceholder(c) || c == '.')) {
      state = State::Integer;
      p.hasPlaceholders = true;
    }
    if (state == State::Integer) {
      if (IsPlaceholder(c)) {
        if (pendingCommas > 0) p.grouping = true;
        pendingCommas = 0;
        if (c == '0' && firstZero < 0) firstZero = integerPlaceholders;
        ++integerPlaceholders;
        continue;
      }
      if (c == ',') {
        ++pendingCommas;
        continue;
      }
      if (c == '.') {
        p.hasPoint = true;
        p.thousandsScale = pendingCommas;
        pendingCommas = 0;
        state = State::Fraction;
        continue;
      }
    } else if (state == State::Fraction) {
      if (IsPlaceholder(c)) {
        ++p.decimals;
        if (c == '0') p.requiredDecimals = p.decimals;
        continue;
      }
      if (c == ',') continue;
    }
    if (inRun) {
      if (state == State::Integer) p.thousandsScale = pendingCommas;
      state = State::After;
      literal = &p.suffix;
    }
    // Literal text: escapes, quoted runs and everything else as it stands.
    if (c == '\\') {
      if (i + 1 < section.size()) literal->push_back(section[++i]);
    } else if (c == '"') {
      const std::size_t end = section.find('"', i + 1);
      const std::size_t stop = end == std::string_view::npos ? section.size() : end;
      literal->append(section.substr(i + 1, stop - i - 1));
      i = stop;
    } else {
      if (c == '%') p.percent = true;
      literal->push_back(c);
    }
  }
  if (state == State::Integer) p.thousandsScale = pendingCommas;
  if (firstZero >= 0) p.minIntegerDigits = integerPlaceholders - firstZero;
  return p;
}

// round(magnitude x 10^decimals) as decimal digits without leading zeros
// ("" for zero), from the value's significant digits.
std::string ScaledDigits(const Decimal& d, int decimals) {
  if (d.IsZero()) return {};
  const int size = static_cast<int>(d.digits.size());
  const int keep = d.exponent + 1 + decimals;
  std::string scaled;
  if (keep < 0) return {};
  if (keep == 0) return d.digits[0] >= '5' ? "1" : "";
  if (keep >= size) {
    scaled = d.digits + std::string(static_cast<std::size_t>(keep - size), '0');
  } else {
    scaled = d.digits.substr(0, static_cast<std::size_t>(keep));
    if (d.digits[static_cast<std::size_t>(keep)] >= '5') {
      int i = keep - 1;
      while (i >= 0 && scaled[static_cast<std::size_t>(i)] == '9') scaled[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++scaled[static_cast<std::size_t>(i)];
      } else {
        scaled.insert(scaled.begin(), '1');
      }
    }
  }
  const std::size_t first = scaled.find_first_not_of('0');
  return first == std::string::npos ? std::string() : scaled.substr(first);
}

std::string Group(const std::string& digits) {
  std::string grouped;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

std::string ApplyNumberPattern(double value, const NumberPattern& p, bool showSign, int significant) {
  if (!p.hasPlaceholders) return p.prefix;
  if (!std::isfinite(value)) return p.prefix + detail::NonFiniteText(value) + p.suffix;
  double scaled = value;
  if (p.percent) scaled *= 100.0;
  for (int i = 0; i < p.thousandsScale; ++i) scaled /= 1000.0;
  const Decimal d = detail::ToSignificant(std::fabs(scaled), significant);
  const std::string digits = ScaledDigits(d, p.decimals);
  const std::size_t decimals = static_cast<std::size_t>(p.decimals);

  std::string integerPart;
  std::string fraction;
  if (digits.size() <= decimals) {
    fraction = std::string(decimals - digits.size(), '0') + digits;
  } else {
    integerPart = digits.substr(0, digits.size() - decimals);
    fraction = digits.substr(digits.size() - decimals);
  }
  while (fraction.size() > static_cast<std::size_t>(p.requiredDecimals) && fraction.back() == '0') fraction.pop_back();
  if (integerPart.size() < static_cast<std::size_t>(p.minIntegerDigits)) {
    integerPart.insert(0, static_cast<std::size_t>(p.minIntegerDigits) - integerPart.size(), '0');
  }
  if (p.grouping) integerPart = Group(integerPart);

  std::string text;
  if (showSign && value < 0 && !digits.empty()) text.push_back('-');
  text += p.prefix;
  text += integerPart;
  if (p.hasPoint) text.push_back('.');
  text += fraction;
  text += p.suffix;
  return text;
}

// The general form: `significant` digits at most, trailing zeros dropped,
// E notation when the exponent is below -4 or not below `significant`.
std::string GeneralForm(double value, int significant, bool leadingZero) {
  if (!std::isfinite(value)) return detail::NonFiniteText(value);
  const Decimal d = detail::ToSignificant(std::fabs(value), significant);
  if (d.IsZero()) return "0";
  std::string digits = d.digits;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string text = value < 0 ? "-" : "";
  const int e = d.exponent;
  if (e < -4 || e >= significant) {
    text.push_back(digits[0]);
    if (digits.size() > 1) {
      text += '.';
      text.append(digits, 1);
    }
    const int magnitude = e < 0 ? -e : e;
    text += e < 0 ? "E-" : "E+";
    if (magnitude < 10) text.push_back('0');
    text += std::to_string(magnitude);
  } else if (e >= 0) {
    const std::size_t integerDigits = static_cast<std::size_t>(e) + 1;
    if (digits.size() <= integerDigits) {
      text += digits + std::string(integerDigits - digits.size(), '0');
    } else {
      text += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
    }
  } else {
    if (leadingZero) text.push_back('0');
    text += '.';
    text.append(static_cast<std::size_t>(-e - 1), '0');
    text += digits;
  }
  return text;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// The named number formats of the classic runtime that map onto patterns.
std::string_view NamedPattern(std::string_view pattern) {
  if (EqualsIgnoringCase(pattern, "Fixed")) return "0.00";
  if (EqualsIgnoringCase(pattern, "Standard")) return "#,##0.00";
  if (EqualsIgnoringCase(pattern, "Percent")) return "0.00%";
  return pattern;
}

std::string FormatNumber(double value, std::string_view pattern, int significant) {
  if (pattern.empty() || EqualsIgnoringCase(pattern, "General Number")) {
    return GeneralForm(value, significant, true);
  }
  const auto sections = SplitSections(NamedPattern(pattern));
  // Negative values use the second section without a sign of their own, a
  // zero the third, when those sections exist and are not empty.
  if (value < 0 && sections.size() >= 2 && !sections[1].empty()) {
    return ApplyNumberPattern(-value, ParseNumberPattern(sections[1]), false, significant);
  }
  if (value == 0 && sections.size() >= 3 && !sections[2].empty()) {
    return ApplyNumberPattern(value, ParseNumberPattern(sections[2]), false, significant);
  }
  return ApplyNumberPattern(value, ParseNumberPattern(sections[0]), true, significant);
}

}  // namespace

std::string Format(double value, std::string_view pattern) {
  return FormatNumber(value, pattern, detail::DoubleDigits);
}

std::string FormatSingle(float value, std::string_view pattern) {
  return FormatNumber(static_cast<double>(value), pattern, detail::SingleDigits);
}

std::string ShortSingle(float value) { return GeneralForm(static_cast<double>(value), detail::SingleDigits, false); }

std::string ShortLong(std::int32_t value) { return std::to_string(value); }

std::string StrSingle(float value) {
  std::string text = ShortSingle(value);
  return text.front() == '-' ? text : " " + text;
}

std::string StrLong(std::int32_t value) {
  std::string text = ShortLong(value);
  if (value >= 0) text.insert(text.begin(), ' ');
  return text;
}

}  // namespace vb
