#pragma once

// Decimal digits of a binary floating-point value, rounded to a number of
// significant digits half away from zero on the value's exact decimal
// expansion. The classic runtime turns a Double into 15 significant digits
// and a Single into 7 before it formats them; this is that step.

#include <string>

namespace vb::detail {

inline constexpr int DoubleDigits = 15;
inline constexpr int SingleDigits = 7;

// value = d1.d2d3... x 10^exponent, with exactly `count` digits.
struct Decimal {
  std::string digits;
  int exponent = 0;
  bool IsZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

// magnitude must be finite and not negative.
Decimal ToSignificant(double magnitude, int count);

// The text of a non-finite value, for the few callers that can meet one.
const char* NonFiniteText(double value);

}  // namespace vb::detail
