#include "vbformat/VbFormat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(FormatTextTest, RightAlignsInCharacterPositions) {
  EXPECT_EQ(vb::FormatText("-5.00", "@@@@@@"), " -5.00");
  EXPECT_EQ(vb::FormatText("0.00", "@@@@@@"), "  0.00");
  EXPECT_EQ(vb::FormatText("-125.00", "@@@@@@"), "-125.00");
  EXPECT_EQ(vb::FormatText("", "@@@@@@"), "      ");
  EXPECT_EQ(vb::FormatText("123456", "@@@@@@"), "123456");
}

TEST(FormatTextTest, OtherPositionsAndLiterals) {
  EXPECT_EQ(vb::FormatText("ab", "&&&&"), "ab");
  EXPECT_EQ(vb::FormatText("ab", "!@@@@"), "ab  ");
  EXPECT_EQ(vb::FormatText("abcdef", "!@@@"), "abcdef");
  EXPECT_EQ(vb::FormatText("Ab", ">@@@"), " AB");
  EXPECT_EQ(vb::FormatText("12345", "@@-@@@"), "12-345");
  EXPECT_EQ(vb::FormatText("5", "(@@)"), "( 5)");
}

TEST(FormatDateTest, RecentListKeyPattern) {
  const vb::DateTime date{2024, 3, 7, 14, 5, 9};
  EXPECT_EQ(vb::FormatDate(date, "yyyymmddHhNnSs"), "20240307140509");
  EXPECT_EQ(vb::FormatDate(vb::DateTime{2001, 12, 31, 0, 0, 0}, "yyyymmddHhNnSs"), "20011231000000");
  EXPECT_EQ(vb::FormatDate(vb::DateTime{}, "yyyymmddHhNnSs"), "18991230000000");
  // Keys sort as the times do: the later time gives the larger text.
  EXPECT_LT(vb::FormatDate(vb::DateTime{2024, 3, 7, 9, 59, 59}, "yyyymmddHhNnSs"),
            vb::FormatDate(vb::DateTime{2024, 3, 7, 10, 0, 0}, "yyyymmddHhNnSs"));
}

TEST(FormatDateTest, OtherTokens) {
  const vb::DateTime date{2024, 3, 7, 14, 5, 9};
  EXPECT_EQ(vb::FormatDate(date, "hh:mm:ss"), "14:05:09");  // mm after hh is minutes
  EXPECT_EQ(vb::FormatDate(date, "d/m/yy"), "7/3/24");
  EXPECT_EQ(vb::FormatDate(date, "dddd, mmmm d"), "Thursday, March 7");
  EXPECT_EQ(vb::FormatDate(date, "ddd mmm"), "Thu Mar");
  EXPECT_EQ(vb::FormatDate(date, "h:nn AM/PM"), "2:05 PM");
  EXPECT_EQ(vb::FormatDate(vb::DateTime{2024, 3, 7, 0, 30, 0}, "h:nn am/pm"), "12:30 am");
  EXPECT_EQ(vb::FormatDate(date, "y q w"), "67 1 5");
  EXPECT_EQ(vb::FormatDate(date, "\"at\" hh\\h"), "at 14h");
}

TEST(ValTest, LeadingNumberOfTheText) {
  EXPECT_DOUBLE_EQ(vb::Val("12.5 MHz"), 12.5);
  EXPECT_DOUBLE_EQ(vb::Val("-5.000dB"), -5.0);
  EXPECT_DOUBLE_EQ(vb::Val("70.000MHz"), 70.0);
  EXPECT_DOUBLE_EQ(vb::Val("abc"), 0.0);
  EXPECT_DOUBLE_EQ(vb::Val(""), 0.0);
  EXPECT_DOUBLE_EQ(vb::Val("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(vb::Val("1.5D2"), 150.0);
  EXPECT_DOUBLE_EQ(vb::Val("2E-3x"), 0.002);
  EXPECT_DOUBLE_EQ(vb::Val("  1 2"), 12.0);
  EXPECT_DOUBLE_EQ(vb::Val(" - 3 .25"), -3.25);
  EXPECT_DOUBLE_EQ(vb::Val("+7"), 7.0);
  EXPECT_DOUBLE_EQ(vb::Val(".5"), 0.5);
  EXPECT_DOUBLE_EQ(vb::Val("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(vb::Val("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(vb::Val("--5"), 0.0);
  EXPECT_DOUBLE_EQ(vb::Val("-"), 0.0);
  EXPECT_DOUBLE_EQ(vb::Val("."), 0.0);
}

TEST(ValTest, ExponentLetterWithoutDigitsIsNotAnExponent) {
  EXPECT_DOUBLE_EQ(vb::Val("5dB"), 5.0);
  EXPECT_DOUBLE_EQ(vb::Val("5 e"), 5.0);
  EXPECT_DOUBLE_EQ(vb::Val("5e+"), 5.0);
  EXPECT_DOUBLE_EQ(vb::Val("1e0000000000000000003"), 1000.0);
}

TEST(ValTest, OutOfRangeNumbers) {
  EXPECT_TRUE(std::isinf(vb::Val("1e999")));
  EXPECT_GT(vb::Val("1e999"), 0.0);
  EXPECT_LT(vb::Val("-1e99999999999999"), 0.0);
  EXPECT_TRUE(std::isinf(vb::Val("-1e99999999999999")));
  EXPECT_DOUBLE_EQ(vb::Val("1e-999"), 0.0);
  EXPECT_FALSE(std::signbit(vb::Val("-0")));
}

}  // namespace
