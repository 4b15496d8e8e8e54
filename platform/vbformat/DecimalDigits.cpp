#include "vbformat/DecimalDigits.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vb::detail {

namespace {

// Enough for the exact expansion of any double (at most 767 significant
// digits) plus sign, point and exponent.
constexpr int ExactPrecision = 780;

// Scientific digits of `value` with `precision` digits after the first one,
// correctly rounded by the standard library.
Decimal Scientific(double value, int precision) {
  std::array<char, ExactPrecision + 32> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, precision);
  assert(result.ec == std::errc());
  Decimal decimal;
  decimal.digits.reserve(static_cast<std::size_t>(precision) + 1);
  const char* p = buffer.data();
  for (; p != result.ptr && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') decimal.digits.push_back(*p);
  }
  if (p != result.ptr) decimal.exponent = std::atoi(p + 1);
  return decimal;
}

}  // namespace

Decimal ToSignificant(double magnitude, int count) {
  if (magnitude == 0.0) return {std::string(static_cast<std::size_t>(count), '0'), 0};
  // Two guard digits, correctly rounded, decide the rounding unless they read
  // "50", where only the exact expansion tells a tie from a near miss.
  Decimal decimal = Scientific(magnitude, count + 1);
  if (decimal.digits[count] == '5' && decimal.digits[count + 1] == '0') {
    decimal = Scientific(magnitude, ExactPrecision);
  }
  const bool roundUp = decimal.digits[count] >= '5';
  decimal.digits.resize(static_cast<std::size_t>(count));
  if (roundUp) {
    int i = count - 1;
    while (i >= 0 && decimal.digits[i] == '9') decimal.digits[i--] = '0';
    if (i >= 0) {
      ++decimal.digits[i];
    } else {
      decimal.digits.insert(decimal.digits.begin(), '1');
      decimal.digits.pop_back();
      ++decimal.exponent;
    }
  }
  return decimal;
}

const char* NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  return value < 0 ? "-Inf" : "Inf";
}

}  // namespace vb::detail
