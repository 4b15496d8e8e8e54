// Listing lines of the styles servers send, and the find pattern match.

#include "WinInetTestUtil.h"
#include "wininet/FtpListing.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using wininettest::SizeOf;

std::time_t UnixOf(const FILETIME& ft) {
  const std::uint64_t ticks = (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
  return static_cast<std::time_t>(ticks / 10000000ULL) - 11644473600LL;
}

std::time_t Utc(int y, int mo, int d, int h, int mi) {
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  return timegm(&t);
}

const std::time_t kNow = Utc(2024, 6, 15, 12, 0);

}  // namespace

TEST(FtpListing, UnixLineWithTimeGivesSizeNameAndThisYear) {
  const auto e =
      wininet::ParseListLine("-rw-r--r--   1 owner    group       123456 Mar 05 10:20 spectrum data.bin\r\n", kNow);
  ASSERT_TRUE(e);
  EXPECT_STREQ(e->cFileName, "spectrum data.bin");
  EXPECT_EQ(SizeOf(*e), 123456u);
  EXPECT_EQ(e->dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(UnixOf(e->ftLastWriteTime), Utc(2024, 3, 5, 10, 20));
}

TEST(FtpListing, UnixTimeAheadOfNowBelongsToLastYear) {
  const auto e = wininet::ParseListLine("-rw-r--r-- 1 o g 1 Dec 24 18:00 gift", kNow);
  ASSERT_TRUE(e);
  EXPECT_EQ(UnixOf(e->ftLastWriteTime), Utc(2023, 12, 24, 18, 0));
}

TEST(FtpListing, UnixDirectorySymlinkAndYearForms) {
  const auto dir = wininet::ParseListLine("drwxr-xr-x 2 o g 4096 Jan  1  2020 firmware", kNow);
  ASSERT_TRUE(dir);
  EXPECT_EQ(dir->dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(SizeOf(*dir), 0u);
  EXPECT_EQ(UnixOf(dir->ftLastWriteTime), Utc(2020, 1, 1, 0, 0));

  const auto link = wininet::ParseListLine("lrwxrwxrwx 1 o g 7 Feb 2 03:04 latest -> app.bin", kNow);
  ASSERT_TRUE(link);
  EXPECT_STREQ(link->cFileName, "latest");

  // No group column, read-only file, size beyond 32 bits.
  const auto big = wininet::ParseListLine("-r--r--r-- 1 owner 5000000000 Apr 30 2021 image.bin", kNow);
  ASSERT_TRUE(big);
  EXPECT_EQ(SizeOf(*big), 5000000000ULL);
  EXPECT_EQ(big->dwFileAttributes, FILE_ATTRIBUTE_READONLY);
}

TEST(FtpListing, DosLines) {
  const auto file = wininet::ParseListLine("03-05-24  10:20PM                 8224 spectrum:", kNow);
  ASSERT_TRUE(file);
  EXPECT_STREQ(file->cFileName, "spectrum:");
  EXPECT_EQ(SizeOf(*file), 8224u);
  EXPECT_EQ(UnixOf(file->ftLastWriteTime), Utc(2024, 3, 5, 22, 20));

  const auto dir = wininet::ParseListLine("12-31-99  12:05AM       <DIR>          old stuff", kNow);
  ASSERT_TRUE(dir);
  EXPECT_EQ(dir->dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_STREQ(dir->cFileName, "old stuff");
  EXPECT_EQ(UnixOf(dir->ftLastWriteTime), Utc(1999, 12, 31, 0, 5));
}

TEST(FtpListing, ADosDateWithAnOverlongYearIsABareName) {
  // Found by fuzzing: the year was converted with std::stoi, which threw.
  const std::string line = "01-31-" + std::string(100, '4') + "  10:15AM   8224 spectrum:";
  const auto entry = wininet::ParseListLine(line, kNow);
  ASSERT_TRUE(entry);
  EXPECT_STREQ(entry->cFileName, line.c_str());
}

TEST(FtpListing, TotalAndBlankLinesAreSkippedBareNamesKept) {
  const auto entries = wininet::ParseListing("total 12\r\n\r\nalpha\r\nbeta gamma\n", kNow);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_STREQ(entries[0].cFileName, "alpha");
  EXPECT_STREQ(entries[1].cFileName, "beta gamma");
}

TEST(FtpListing, OverlongNamesAreCutToTheField) {
  const std::string name(400, 'x');
  const auto e = wininet::ParseListLine(name, kNow);
  ASSERT_TRUE(e);
  EXPECT_EQ(std::string(e->cFileName).size(), static_cast<std::size_t>(MAX_PATH - 1));
}

TEST(FtpListing, WildcardMatch) {
  EXPECT_TRUE(wininet::WildcardMatch("*.txt", "a.TXT"));
  EXPECT_FALSE(wininet::WildcardMatch("*.txt", "a.txt.bak"));
  EXPECT_TRUE(wininet::WildcardMatch("a?c*", "abc"));
  EXPECT_FALSE(wininet::WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(wininet::WildcardMatch("*.*", "README"));  // Windows: "*.*" is everything
  EXPECT_TRUE(wininet::WildcardMatch("*a*b*", "xxaYYbzz"));
  EXPECT_FALSE(wininet::WildcardMatch("*a*b", "xxaYYbzz"));
  EXPECT_TRUE(wininet::WildcardMatch("*", ""));
  EXPECT_TRUE(wininet::HasWildcards("x?"));
  EXPECT_FALSE(wininet::HasWildcards("x.y"));
}
