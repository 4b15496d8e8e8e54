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
//
// The value is first taken to 15 significant digits, as the runtime converts
// a Double, and then rounded to the digits shown, so 2.675 with "0.00" gives
// "2.68" (the decimal value the user typed, not its binary neighbour). The
// pattern may also hold "," (thousands groups between integer placeholders,
// division by 1000 right before the point), "%", "\x" and "quoted" literal
// text, up to three ";" sections (positive;negative;zero) and the named
// formats "General Number", "Fixed", "Standard" and "Percent"; an empty
// pattern gives the general form ("0.5", "1E+20"). A value that is not
// finite shows as "NaN", "Inf" or "-Inf" between the literal texts.
std::string Format(double value, std::string_view pattern);

// Format of a value the program holds as a Single: as Format, but the value
// is first taken to 7 significant digits, as the runtime converts a Single
// (2.675f, whose binary value is 2.67499995..., gives "2.68" with "0.00").
std::string FormatSingle(float value, std::string_view pattern);

// Format(text, "@@@@@@"): right-aligned in as many characters as there are
// "@", padded with spaces on the left; longer texts are kept whole. "&" is a
// position that stays empty instead of showing a space, "!" first fills
// from the left, "<" and ">" force lower or upper case; other pattern
// characters stand as they are.
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
// second). Tokens ignore case: y (day of year), yy, yyyy, m, mm, mmm, mmmm
// (m and mm right after an hour token are minutes), d, dd, ddd, dddd, w, q,
// h, hh, n, nn, s, ss, AM/PM and A/P (12-hour clock); "\x" and "quoted"
// text are literal. Month and day names are English.
std::string FormatDate(const DateTime& date, std::string_view pattern);

// The short locale-independent form of a Single (at most 7 significant
// digits, no leading zero before the point, E+nn / E-nn exponents when the
// magnitude needs them): 12 -> "12", -0.5 -> "-.5", 12345678 -> "1.234568E+07".
// The exponent form is used when the decimal exponent of the value rounded
// to 7 digits is 7 or more, or below -4: 1E+07, .0001, 1.5E-05. Rounding is
// half away from zero on the float's exact value.
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
// The exponent letter may be E or D and counts only when digits follow it
// ("5dB" is 5). A number too large for a double gives +/-infinity (the
// classic runtime raised Overflow), so range checks reject it.
double Val(std::string_view text);

}  // namespace vb
