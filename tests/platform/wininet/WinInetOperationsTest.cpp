// Directory, find, delete and whole-file calls against pyftpdlib, and the
// one-transfer-at-a-time rule of a connection.

#include "FtpFixture.h"
#include "TestSupport.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using wininettest::Handle;
using wininettest::LastResponse;
using wininettest::RandomBytes;
using wininettest::ReadAll;
using wininettest::SizeOf;

namespace {

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace

TEST_F(FtpTest, FindWithWildcardListsMatchesThenNoMoreFiles) {
  WriteFile(Server().File("a.txt"), "12345");
  WriteFile(Server().File("b.TXT"), "1");
  WriteFile(Server().File("c.bin"), "1");
  std::filesystem::create_directory(Server().File("sub"));
  Handle connection(Connect());
  WIN32_FIND_DATAA data{};
  Handle find(FtpFindFirstFileA(connection.get(), "*.txt", &data, 0, 0));
  ASSERT_TRUE(find) << GetLastError();
  std::set<std::string> names{data.cFileName};
  if (std::string(data.cFileName) == "a.txt") {
    EXPECT_EQ(SizeOf(data), 5u);
  }
  while (InternetFindNextFileA(find.get(), &data)) names.insert(data.cFileName);
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_EQ(names, (std::set<std::string>{"a.txt", "b.TXT"}));
  EXPECT_FALSE(InternetFindNextFileA(find.get(), &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
}

TEST_F(FtpTest, FindEverythingMarksFolders) {
  WriteFile(Server().File("file"), "1");
  std::filesystem::create_directory(Server().File("folder"));
  Handle connection(Connect());
  WIN32_FIND_DATAA data{};
  Handle find(FtpFindFirstFileA(connection.get(), "", &data, 0, 0));
  ASSERT_TRUE(find);
  int folders = 0, files = 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      EXPECT_STREQ(data.cFileName, "folder");
      ++folders;
    } else {
      EXPECT_STREQ(data.cFileName, "file");
      ++files;
    }
  } while (InternetFindNextFileA(find.get(), &data));
  EXPECT_EQ(folders, 1);
  EXPECT_EQ(files, 1);
}

TEST_F(FtpTest, FindWithoutMatchIsNoMoreFilesAndLeavesTheConnectionFree) {
  Handle connection(Connect());
  WIN32_FIND_DATAA data{};
  EXPECT_EQ(FtpFindFirstFileA(connection.get(), "*.none", &data, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  WriteFile(Server().File("x.none"), "");
  Handle find(FtpFindFirstFileA(connection.get(), "*.none", &data, 0, 0));
  EXPECT_TRUE(find) << GetLastError();
}

TEST_F(FtpTest, SecondTransferOrFindWhileOneIsOpenIsInProgress) {
  WriteFile(Server().File("f"), "abc");
  Handle connection(Connect());
  WIN32_FIND_DATAA data{};
  HINTERNET find = FtpFindFirstFileA(connection.get(), "*", &data, 0, 0);
  ASSERT_NE(find, nullptr);
  EXPECT_EQ(FtpFindFirstFileA(connection.get(), "*", &data, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FTP_TRANSFER_IN_PROGRESS);
  EXPECT_EQ(FtpOpenFileA(connection.get(), "f", GENERIC_READ, 2, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FTP_TRANSFER_IN_PROGRESS);
  EXPECT_FALSE(FtpDeleteFileA(connection.get(), "f"));
  EXPECT_EQ(GetLastError(), ERROR_FTP_TRANSFER_IN_PROGRESS);
  EXPECT_TRUE(InternetCloseHandle(find));

  HINTERNET file = FtpOpenFileA(connection.get(), "f", GENERIC_READ, 2, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(FtpFindFirstFileA(connection.get(), "*", &data, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FTP_TRANSFER_IN_PROGRESS);
  EXPECT_TRUE(InternetCloseHandle(file));
  Handle again(FtpFindFirstFileA(connection.get(), "*", &data, 0, 0));
  EXPECT_TRUE(again);
}

TEST_F(FtpTest, CurrentDirectoryFollowsTheServer) {
  std::filesystem::create_directory(Server().File("sub"));
  WriteFile(Server().File("sub/inner"), "inner");
  Handle connection(Connect());
  char path[260];
  DWORD length = sizeof path;
  ASSERT_TRUE(FtpGetCurrentDirectoryA(connection.get(), path, &length));
  EXPECT_EQ(std::string(path, length), "/");

  ASSERT_TRUE(FtpSetCurrentDirectoryA(connection.get(), "sub")) << GetLastError();
  length = sizeof path;
  ASSERT_TRUE(FtpGetCurrentDirectoryA(connection.get(), path, &length));
  EXPECT_EQ(std::string(path), "/sub");
  EXPECT_EQ(length, 4u);
  // Names are relative to the server's current directory.
  Handle file(FtpOpenFileA(connection.get(), "inner", GENERIC_READ, 2, 0));
  ASSERT_TRUE(file) << GetLastError();
  std::string data;
  ASSERT_TRUE(ReadAll(file.get(), 64, data));
  EXPECT_EQ(data, "inner");
  InternetCloseHandle(file.release());

  EXPECT_FALSE(FtpSetCurrentDirectoryA(connection.get(), "missing"));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  EXPECT_EQ(LastResponse().substr(0, 3), "550");
  // A refusal does not cost the control connection or its directory.
  length = 3;
  EXPECT_FALSE(FtpGetCurrentDirectoryA(connection.get(), path, &length));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(length, 5u);
  length = sizeof path;
  ASSERT_TRUE(FtpGetCurrentDirectoryA(connection.get(), path, &length));
  EXPECT_EQ(std::string(path), "/sub");
  EXPECT_EQ(Server().SessionCount(), 1);
}

TEST_F(FtpTest, DeleteFile) {
  WriteFile(Server().File("old"), "x");
  Handle connection(Connect());
  EXPECT_TRUE(FtpDeleteFileA(connection.get(), "old")) << GetLastError();
  EXPECT_FALSE(Exists(Server().File("old")));
  EXPECT_FALSE(FtpDeleteFileA(connection.get(), "old"));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  EXPECT_EQ(LastResponse().substr(0, 3), "550");
  EXPECT_FALSE(FtpDeleteFileA(connection.get(), ""));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FtpTest, PutAndGetWholeFiles) {
  TempDir local;
  const std::string content = RandomBytes(70000, 11);
  WriteFile(local.File("up.bin"), content);
  Handle connection(Connect());
  ASSERT_TRUE(FtpPutFileA(connection.get(), local.File("up.bin").c_str(), "remote.bin", FTP_TRANSFER_TYPE_BINARY, 0))
      << GetLastError();
  EXPECT_EQ(ReadFile(Server().File("remote.bin")), content);

  ASSERT_TRUE(FtpGetFileA(connection.get(), "remote.bin", local.File("down.bin").c_str(), TRUE, 0, 0, 0))
      << GetLastError();
  EXPECT_EQ(ReadFile(local.File("down.bin")), content);

  // An existing file is kept when asked to.
  WriteFile(local.File("keep"), "mine");
  EXPECT_FALSE(FtpGetFileA(connection.get(), "remote.bin", local.File("keep").c_str(), TRUE, 0, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadFile(local.File("keep")), "mine");
  ASSERT_TRUE(FtpGetFileA(connection.get(), "remote.bin", local.File("keep").c_str(), FALSE, 0, 0, 0));
  EXPECT_EQ(ReadFile(local.File("keep")), content);

  // A failed download leaves nothing behind.
  EXPECT_FALSE(FtpGetFileA(connection.get(), "missing", local.File("none").c_str(), FALSE, 0, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(local.Path()), {}), 3);

  EXPECT_FALSE(FtpPutFileA(connection.get(), local.File("absent").c_str(), "x", 2, 0));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Server().SessionCount(), 1);
}
