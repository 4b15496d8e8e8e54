#pragma once

// Number and date formatting of the classic runtime's Format() and Str(),
// and its Val(). Locale-independent: the period is always the decimal
// separator, as the stored files and the modems expect.

#include <cstdint>
#include <string>
#include <string_view>

namespace vb {

// Format(value, pattern) for numeric patterns built of "#", "0", "." and
// literal text, for example "##0.000MHz", "###0.00", "0.000dB", "####.0",
// "000000". Rounds half away from zero at the last digit shown, as the
// classic runtime does; "#" digits before the point are shown only when
// needed, a value that rounds to zero keeps no minus sign ("-0.001" with
// "0.00" gives "0.00").
std::string Format(double value, std::string_view pattern);

// Format(text, "@@@@@@"): right-aligned in as many characters as there are
// "@", padded with spaces on the left; longer texts are kept whole.
std::string FormatText(std::string_view text, std::string_view pattern);

// A date and time, as the classic Date holds it to the second.
struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Format(date, pattern) for the date patterns the programs use:
// "yyyymmddHhNnSs" gives 14 digits (year, month, day, hour 00-23, minute,
// second).
std::string FormatDate(const DateTime& date, std::string_view pattern);

// The short locale-independent form of a Single (at most 7 significant
// digits, no leading zero before the point, E+nn / E-nn exponents when the
// magnitude needs them): 12 -> "12", -0.5 -> "-.5", 12345678 -> "1.234568E+07".
std::string ShortSingle(float value);

// The short form of a Long: its decimal digits.
std::string ShortLong(std::int32_t value);

// Str(): the short form with a leading blank for values that are not
// negative (Str(5) = " 5").
std::string StrSingle(float value);
std::string StrLong(std::int32_t value);

// Val(text): the leading number of the text (blanks skipped, optional sign,
// digits, one decimal point, optional exponent); anything after it, such as a
// unit "MHz" or "dB", is ignored. A text without a leading number gives 0.
double Val(std::string_view text);

}  // namespace vb
