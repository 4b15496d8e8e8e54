// The support classes: exception, text, array and registry key.

#include "monitor/DblArray.h"
#include "monitor/RegistryKey.h"
#include "monitor/TextBuf.h"
#include "monitor/WinException.h"
#include "registry/Registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

namespace {

std::string ThrownText(const std::function<void()>& action) {
  try {
    action();
  } catch (const WinException& error) {
    return error.Message();
  }
  return "(nothing thrown)";
}

TEST(WinExceptionTest, CarriesTheLastErrorAndAFormattedText) {
  SetLastError(1234);
  const WinException plain("Out of memory");
  EXPECT_EQ(plain.Code(), 1234u);
  EXPECT_EQ(plain.Message(), "Out of memory");
  SetLastError(5);
  const WinException formatted = WinException::Formatted("Registry value %s was not found.", "DataFile");
  EXPECT_EQ(formatted.Code(), 5u);
  EXPECT_EQ(formatted.Message(), "Registry value DataFile was not found.");
}

TEST(WinExceptionTest, OutOfMemoryBecomesAWinException) {
  const std::new_handler previous = std::get_new_handler();
  InstallOutOfMemoryHandler();
  const std::new_handler handler = std::get_new_handler();
  std::set_new_handler(previous);
  ASSERT_NE(handler, nullptr);
  EXPECT_EQ(ThrownText(handler), "Out of memory");
}

TEST(TextBufTest, BuffersAreExactlyAsLargeAsNeededAndReusedWhenTheyFit) {
  const CTextBuf empty;
  EXPECT_EQ(empty.Length(), 0);
  EXPECT_EQ(empty.Capacity(), 1);
  EXPECT_STREQ(empty.Text(), "");

  CTextBuf text("hello");
  EXPECT_EQ(text.Capacity(), 6);
  text = "hi";
  EXPECT_STREQ(text.Text(), "hi");
  EXPECT_EQ(text.Capacity(), 6) << "a shorter text reuses the buffer";
  text = "longer text";
  EXPECT_EQ(text.Capacity(), 12);
  text += "!";
  EXPECT_STREQ(text.Text(), "longer text!");
  EXPECT_EQ(text.Capacity(), 13);

  const CTextBuf bounded("abcdef", 3);
  EXPECT_STREQ(bounded.Text(), "abc");
  EXPECT_EQ(bounded.Capacity(), 4);
  const CTextBuf copy(bounded);
  EXPECT_STREQ((copy + "de").Text(), "abcde");
  EXPECT_STREQ((copy + CTextBuf("xy")).Text(), "abcxy");
}

TEST(TextBufTest, AppendingAPartOfItselfIsSafe) {
  CTextBuf text("abc");
  text += text.Text();
  EXPECT_STREQ(text.Text(), "abcabc");
  text = text.Text() + 3;
  EXPECT_STREQ(text.Text(), "abc");
}

TEST(TextBufTest, LeftRightAndMidStayWithinTheText) {
  const CTextBuf text("abcde");
  EXPECT_STREQ(text.Mid(0, 3).Text(), "abc");
  EXPECT_STREQ(text.Mid(3, 10).Text(), "de");
  EXPECT_STREQ(text.Mid(5, 1).Text(), "");
  EXPECT_STREQ(text.Mid(6, 1).Text(), "");
  EXPECT_STREQ(text.Mid(-1, 2).Text(), "");
  EXPECT_STREQ(text.Left(2).Text(), "ab");
  EXPECT_STREQ(text.Left(9).Text(), "abcde");
  EXPECT_STREQ(text.Left(0).Text(), "");
  EXPECT_STREQ(text.Left(-3).Text(), "");
  EXPECT_STREQ(text.Right(2).Text(), "de");
  EXPECT_STREQ(text.Right(9).Text(), "abcde");
  EXPECT_STREQ(text.Right(-1).Text(), "");
}

TEST(TextBufTest, FindAndReverseFind) {
  const CTextBuf text("C:/images/app.bin");
  EXPECT_EQ(text.Find("images"), 3);
  EXPECT_EQ(text.Find("x"), -1);
  EXPECT_EQ(text.Find(""), 0);
  EXPECT_EQ(CTextBuf("ab").Find("abc"), -1) << "a searched text longer than the text";
  EXPECT_EQ(text.ReverseFind('/'), 9);
  EXPECT_EQ(text.ReverseFind('#'), -1);
  EXPECT_EQ(CTextBuf().ReverseFind('a'), -1);
}

TEST(DblArrayTest, CapacityGrowsByHalfPlusOne) {
  CDblArray array;
  EXPECT_EQ(array.Capacity(), 16);
  for (int k = 0; k < 16; ++k) array.Add(k);
  EXPECT_EQ(array.Capacity(), 16);
  EXPECT_EQ(array.Add(16), 16);
  EXPECT_EQ(array.Capacity(), 25);
  for (int k = 17; k < 26; ++k) array.Add(k);
  EXPECT_EQ(array.Capacity(), 38);
  for (int k = 26; k < 1024; ++k) array.Add(k);
  EXPECT_EQ(array.Capacity(), 1529) << "the capacity after one constellation read";
  for (int k = 0; k < 1024; ++k) ASSERT_EQ(array.Item(k), k);
  array.Empty();
  EXPECT_EQ(array.Count(), 0);
  EXPECT_EQ(array.Capacity(), 1529) << "emptying keeps the buffer";
}

TEST(DblArrayTest, KeepsMinimumAndMaximumThroughAddAndDeleteLast) {
  CDblArray array;
  array.Add(5);
  EXPECT_EQ(array.Minimum(), 5);
  EXPECT_EQ(array.Maximum(), 5);
  array.Add(-2);
  array.Add(9);
  EXPECT_EQ(array.Minimum(), -2);
  EXPECT_EQ(array.Maximum(), 9);
  array.DeleteLast();
  EXPECT_EQ(array.Maximum(), 5);
  EXPECT_EQ(array.Minimum(), -2);
  array.DeleteLast();
  array.DeleteLast();
  EXPECT_EQ(array.Count(), 0);
  EXPECT_EQ(array.Minimum(), 0);
  EXPECT_EQ(array.Maximum(), 0);
  array.Add(-7);
  EXPECT_EQ(array.Minimum(), -7) << "the first element after emptying sets both again";
  EXPECT_EQ(array.Maximum(), -7);
}

TEST(DblArrayTest, BoundsErrorsNameIndexAndCount) {
  CDblArray array;
  EXPECT_EQ(ThrownText([&] { array.DeleteLast(); }), "CDblArray: DeleteLast() on empty array");
  array.Add(1);
  array.Add(2);
  EXPECT_EQ(ThrownText([&] { array.Item(2); }), "CDblArray: 2 out of bounds, max = 2");
  EXPECT_EQ(ThrownText([&] { array.Item(-1); }), "CDblArray: -1 out of bounds, max = 2");
}

// Each test uses its own key under the private registry folder.
class RegistryKeyTest : public ::testing::Test {
 protected:
  std::string Path() const {
    return std::string("SOFTWARE\\Tests\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
};

TEST_F(RegistryKeyTest, WritesAndReadsTextAndNumbers) {
  CRegistryKey key(0, Path().c_str());
  key.WriteText("DataFile", "/home/bench/app.bin");
  key.WriteDword("ImageType", 0xFFFFFFFFu);
  CRegistryKey again(0, Path().c_str());
  EXPECT_STREQ(again.ReadText("DataFile"), "/home/bench/app.bin");
  EXPECT_STREQ(again.LastText(), "/home/bench/app.bin");
  EXPECT_EQ(static_cast<int>(again.ReadDword("ImageType")), -1);

  // Stored under the hive the key names, as text with its terminator.
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, Path().c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(raw, "DataFile", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, std::string("/home/bench/app.bin").size() + 1);
  RegCloseKey(raw);
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, Path().c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
}

TEST_F(RegistryKeyTest, ReportsMissingKeysValuesAndWrongTypes) {
  CRegistryKey key(0, Path().c_str());
  EXPECT_EQ(ThrownText([&] { key.ReadText("DataFile"); }), "Registry key " + Path() + " was not found.");
  key.WriteText("ImageType", "3");
  key.WriteDword("Number", 7);
  EXPECT_EQ(ThrownText([&] { key.ReadDword("ImageType"); }), "Registry value ImageType is not type REG_DWORD.");
  EXPECT_EQ(ThrownText([&] { key.ReadText("Number"); }), "Registry value Number is not type REG_SZ.");
  EXPECT_EQ(ThrownText([&] { key.ReadText("Missing"); }), "Registry value Missing was not found.");
  EXPECT_EQ(ThrownText([&] { key.ReadDword("Missing"); }), "Registry value Missing was not found.");
}

TEST_F(RegistryKeyTest, ATextLongerThanTheBufferCountsAsMissing) {
  CRegistryKey key(0, Path().c_str());
  const std::string longest(1023, 'a');
  key.WriteText("Fits", longest.c_str());
  EXPECT_EQ(key.ReadText("Fits"), longest);
  key.WriteText("TooLong", std::string(1024, 'b').c_str());
  EXPECT_EQ(ThrownText([&] { key.ReadText("TooLong"); }), "Registry value TooLong was not found.");
  EXPECT_EQ(key.LastText(), longest) << "a failed read keeps the last text";
}

TEST_F(RegistryKeyTest, AKeyWithoutPathIsInvalidForEveryOperation) {
  CRegistryKey key(1, nullptr);
  EXPECT_EQ(ThrownText([&] { key.ReadText("a"); }), "Invalid Registry Key.");
  EXPECT_EQ(ThrownText([&] { key.ReadDword("a"); }), "Invalid Registry Key.");
  EXPECT_EQ(ThrownText([&] { key.WriteText("a", "b"); }), "Invalid Registry Key.");
  EXPECT_EQ(ThrownText([&] { key.WriteDword("a", 1); }), "Invalid Registry Key.");
}

TEST_F(RegistryKeyTest, CurrentUserKeysLiveInTheirOwnHive) {
  CRegistryKey user(1, Path().c_str());
  user.WriteDword("Value", 42);
  EXPECT_EQ(user.ReadDword("Value"), 42u);
  CRegistryKey machine(0, Path().c_str());
  EXPECT_EQ(ThrownText([&] { machine.ReadDword("Value"); }), "Registry key " + Path() + " was not found.");
}

}  // namespace
