#include "vbformat/VbFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using vb::Format;
using vb::FormatSingle;

TEST(FormatTest, FixedPointPatternsOfTheReadOuts) {
  EXPECT_EQ(Format(5, "###0.00"), "5.00");
  EXPECT_EQ(Format(-90, "###0.00"), "-90.00");
  EXPECT_EQ(Format(120, "###0.00"), "120.00");
  EXPECT_EQ(Format(-125, "###0.00"), "-125.00");
  EXPECT_EQ(Format(0, "###0.00"), "0.00");
  EXPECT_EQ(Format(70, "##0.000MHz"), "70.000MHz");
  EXPECT_EQ(Format(70.0125, "##0.0000MHz"), "70.0125MHz");
  EXPECT_EQ(Format(0.0002, "#0.0000MHz Span"), "0.0002MHz Span");
  EXPECT_EQ(Format(0.25, "#0.0000MHz Span"), "0.2500MHz Span");
  EXPECT_EQ(Format(25, "#0.0000MHz Span"), "25.0000MHz Span");
  EXPECT_EQ(Format(-3.5, "###0.000dB"), "-3.500dB");
  EXPECT_EQ(Format(-3.5, "###0.00dB"), "-3.50dB");
  EXPECT_EQ(Format(12.3456, "0.000dB"), "12.346dB");
  EXPECT_EQ(Format(7.5, "#0.00000KHz"), "7.50000KHz");
  EXPECT_EQ(Format(61.03515625, "##0.0000KHz"), "61.0352KHz");
  EXPECT_EQ(Format(700, "##0.00000000MHz"), "700.00000000MHz");
  EXPECT_EQ(Format(42, "000000"), "000042");
  EXPECT_EQ(Format(1234567, "000000"), "1234567");
}

TEST(FormatTest, IntegerDigitsBeyondThePlaceholdersAreAllShown) {
  EXPECT_EQ(Format(1234.5, "##0.0"), "1234.5");
  EXPECT_EQ(Format(-98765.4321, "0.00"), "-98765.43");
  EXPECT_EQ(Format(1e20, "0"), "100000000000000000000");
}

TEST(FormatTest, OptionalLeadingDigitsProduceNothing) {
  EXPECT_EQ(Format(0.5, "####.0"), ".5");
  EXPECT_EQ(Format(-0.5, "####.0"), "-.5");
  EXPECT_EQ(Format(0.5, "###0.00"), "0.50");
  EXPECT_EQ(Format(0, "####.000"), ".000");
  EXPECT_EQ(Format(0, "####"), "");
  EXPECT_EQ(Format(0.4, "####"), "");
  EXPECT_EQ(Format(0.5, "####"), "1");
  EXPECT_EQ(Format(-37.25, "####"), "-37");
  EXPECT_EQ(Format(12.3456789, "####.0000000"), "12.3456789");
}

TEST(FormatTest, RoundsHalfAwayFromZeroOnTheDecimalValue) {
  EXPECT_EQ(Format(2.5, "0"), "3");
  EXPECT_EQ(Format(-2.5, "0"), "-3");
  EXPECT_EQ(Format(0.125, "0.00"), "0.13");
  EXPECT_EQ(Format(-0.125, "0.00"), "-0.13");
  // 2.675 and 1.005 lie just below the halves in binary; the runtime's
  // 15-digit conversion sees the typed decimal value and rounds it up.
  EXPECT_EQ(Format(2.675, "0.00"), "2.68");
  EXPECT_EQ(Format(1.005, "0.00"), "1.01");
  EXPECT_EQ(Format(-2.675, "0.00"), "-2.68");
  // A value just below the half by more than the 15-digit noise stays below.
  EXPECT_EQ(Format(2.67499999, "0.00"), "2.67");
  EXPECT_EQ(Format(9.9995, "0.000"), "10.000");
  EXPECT_EQ(Format(999.9996, "##0.000MHz"), "1000.000MHz");
  EXPECT_EQ(Format(0.000049, "0.0000"), "0.0000");
  EXPECT_EQ(Format(0.00005, "0.0000"), "0.0001");
}

TEST(FormatTest, MinusSignOnlyWhenTheShownValueIsNotZero) {
  EXPECT_EQ(Format(-0.001, "0.00"), "0.00");
  EXPECT_EQ(Format(-0.004999, "###0.00dB"), "0.00dB");
  EXPECT_EQ(Format(-0.005, "###0.00dB"), "-0.01dB");
  EXPECT_EQ(Format(-0.0, "0.000dB"), "0.000dB");
  EXPECT_EQ(Format(-1e-300, "0"), "0");
}

TEST(FormatTest, ExtremeAndNonFiniteValues) {
  EXPECT_EQ(Format(1e-320, "0.00"), "0.00");
  EXPECT_EQ(Format(std::numeric_limits<double>::max(), "0").size(), 309u);
  EXPECT_EQ(Format(std::numeric_limits<double>::infinity(), "0.000dB"), "InfdB");
  EXPECT_EQ(Format(-std::numeric_limits<double>::infinity(), "0.000dB"), "-InfdB");
  EXPECT_EQ(Format(std::nan(""), "##0.000MHz"), "NaNMHz");
}

TEST(FormatTest, OptionalDecimalsAndLiterals) {
  EXPECT_EQ(Format(1.5, "0.0#"), "1.5");
  EXPECT_EQ(Format(1.25, "0.0#"), "1.25");
  EXPECT_EQ(Format(1, "#.##"), "1.");
  EXPECT_EQ(Format(1234567.891, "#,##0.00"), "1,234,567.89");
  EXPECT_EQ(Format(999, "#,##0"), "999");
  EXPECT_EQ(Format(1234567, "0,"), "1235");
  EXPECT_EQ(Format(0.256, "0.0%"), "25.6%");
  EXPECT_EQ(Format(3, "\\#0 \"dB\"m"), "#3 dBm");
  EXPECT_EQ(Format(7, ".00"), "7.00");
  EXPECT_EQ(Format(5, "Fixed"), "5.00");
  EXPECT_EQ(Format(1234.5, "Standard"), "1,234.50");
}

TEST(FormatTest, Sections) {
  EXPECT_EQ(Format(-5, "0.0;(0.0)"), "(5.0)");
  EXPECT_EQ(Format(5, "0.0;(0.0)"), "5.0");
  EXPECT_EQ(Format(0, "0.0;(0.0);\"zero\""), "zero");
  EXPECT_EQ(Format(-5, "0.0;;\"zero\""), "-5.0");
}

TEST(FormatTest, GeneralFormWithoutPattern) {
  EXPECT_EQ(Format(0.5, ""), "0.5");
  EXPECT_EQ(Format(-12.25, ""), "-12.25");
  EXPECT_EQ(Format(1e20, "General Number"), "1E+20");
  EXPECT_EQ(Format(123456789012345.0, ""), "123456789012345");
  EXPECT_EQ(Format(0.1 + 0.2, ""), "0.3");
}

TEST(FormatSingleTest, SingleValuesRoundAtSevenDigitsFirst) {
  EXPECT_EQ(FormatSingle(2.675f, "0.00"), "2.68");
  EXPECT_EQ(Format(2.675f, "0.00"), "2.67");  // the double sees 2.67499995...
  EXPECT_EQ(FormatSingle(0.1f, "0.0000000000"), "0.1000000000");
  EXPECT_EQ(FormatSingle(700.1f, "##0.0000000MHz"), "700.1000000MHz");
  EXPECT_EQ(FormatSingle(-90.0f, "###0.00"), "-90.00");
  EXPECT_EQ(FormatSingle(0.5f, "####.0"), ".5");
}

TEST(ShortFormTest, SingleShortForm) {
  EXPECT_EQ(vb::ShortSingle(12.0f), "12");
  EXPECT_EQ(vb::ShortSingle(-0.5f), "-.5");
  EXPECT_EQ(vb::ShortSingle(0.5f), ".5");
  EXPECT_EQ(vb::ShortSingle(0.0f), "0");
  EXPECT_EQ(vb::ShortSingle(-0.0f), "0");
  EXPECT_EQ(vb::ShortSingle(127.0f), "127");
  EXPECT_EQ(vb::ShortSingle(-127.5f), "-127.5");
  EXPECT_EQ(vb::ShortSingle(0.1f), ".1");
  EXPECT_EQ(vb::ShortSingle(1.0f / 3.0f), ".3333333");
  EXPECT_EQ(vb::ShortSingle(-2.0f / 3.0f), "-.6666667");
  EXPECT_EQ(vb::ShortSingle(1234567.0f), "1234567");
  EXPECT_EQ(vb::ShortSingle(-68.0123f), "-68.0123");
}

TEST(ShortFormTest, ExponentFormAtTheEdgesOfSevenDigits) {
  EXPECT_EQ(vb::ShortSingle(12345678.0f), "1.234568E+07");
  EXPECT_EQ(vb::ShortSingle(10000000.0f), "1E+07");
  EXPECT_EQ(vb::ShortSingle(9999999.0f), "9999999");
  EXPECT_EQ(vb::ShortSingle(-12345678.0f), "-1.234568E+07");
  EXPECT_EQ(vb::ShortSingle(0.0001f), ".0001");
  EXPECT_EQ(vb::ShortSingle(0.00012345f), ".00012345");
  EXPECT_EQ(vb::ShortSingle(0.000015f), "1.5E-05");
  EXPECT_EQ(vb::ShortSingle(-0.00001f), "-1E-05");
  EXPECT_EQ(vb::ShortSingle(3.4e38f), "3.4E+38");
  EXPECT_EQ(vb::ShortSingle(1e-45f), "1.401298E-45");
  // 12345675 is exact in a float: a true half, rounded away from zero.
  EXPECT_EQ(vb::ShortSingle(12345675.0f), "1.234568E+07");
  EXPECT_EQ(vb::ShortSingle(12345665.0f), "1.234567E+07");
  // Rounding that reaches the next power of ten decides the form by the
  // rounded exponent.
  EXPECT_EQ(vb::ShortSingle(9999999.5f), "1E+07");
}

TEST(ShortFormTest, NonFiniteSingles) {
  EXPECT_EQ(vb::ShortSingle(std::numeric_limits<float>::infinity()), "Inf");
  EXPECT_EQ(vb::ShortSingle(-std::numeric_limits<float>::infinity()), "-Inf");
  EXPECT_EQ(vb::ShortSingle(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST(ShortFormTest, LongsAndStr) {
  EXPECT_EQ(vb::ShortLong(0), "0");
  EXPECT_EQ(vb::ShortLong(4096), "4096");
  EXPECT_EQ(vb::ShortLong(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(vb::StrLong(5), " 5");
  EXPECT_EQ(vb::StrLong(0), " 0");
  EXPECT_EQ(vb::StrLong(-5), "-5");
  EXPECT_EQ(vb::StrSingle(0.5f), " .5");
  EXPECT_EQ(vb::StrSingle(-0.5f), "-.5");
  EXPECT_EQ(vb::StrSingle(-0.0f), " 0");
  EXPECT_EQ(vb::StrSingle(12345678.0f), " 1.234568E+07");
}

}  // namespace
