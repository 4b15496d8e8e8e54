// Reads and writes through the WinINet layer against pyftpdlib.

#include "FtpFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

using testsupport::ReadFile;
using testsupport::WaitUntil;
using testsupport::WriteFile;
using wininettest::Handle;
using wininettest::LastResponse;
using wininettest::RandomBytes;
using wininettest::ReadAll;

namespace {
constexpr DWORD kReadFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | FTP_TRANSFER_TYPE_BINARY;
}

TEST_F(FtpTest, LargeFileArrivesInSeveralPiecesWithItsSize) {
  const std::string content = RandomBytes(100000);
  WriteFile(Server().File("spectrum:"), content);
  Handle connection(Connect());
  ASSERT_TRUE(connection) << GetLastError();
  Handle file(FtpOpenFileA(connection.get(), "spectrum:", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file) << GetLastError();
  DWORD high = 99;
  EXPECT_EQ(FtpGetFileSize(file.get(), &high), content.size());
  EXPECT_EQ(high, 0u);

  std::string data;
  std::vector<DWORD> pieces;
  ASSERT_TRUE(ReadAll(file.get(), 8225, data, &pieces));
  EXPECT_EQ(data, content);
  ASSERT_EQ(pieces.size(), (content.size() + 8224) / 8225);
  // Every read but the last is filled completely.
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) EXPECT_EQ(pieces[i], 8225u);
  // After the end, reads keep reporting the end.
  DWORD got = 7;
  char byte;
  EXPECT_TRUE(InternetReadFile(file.get(), &byte, 1, &got));
  EXPECT_EQ(got, 0u);
  EXPECT_TRUE(InternetCloseHandle(file.release()));
  EXPECT_EQ(Server().Commands("SIZE").size(), 1u);
  EXPECT_EQ(Server().Commands("RETR").size(), 1u);
}

TEST_F(FtpTest, ReadHandsOutDataBeforeTheWholeFileHasArrived) {
  // The server sends the first half, then holds the rest until released.
  const std::string content = RandomBytes(1 << 20, 3);
  WriteFile(Server().File("gated.bin"), content);
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  Handle file(FtpOpenFileA(connection.get(), "gated.bin", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file) << GetLastError();

  std::string data(8225, '\0');
  DWORD got = 0;
  ASSERT_TRUE(InternetReadFile(file.get(), data.data(), 8225, &got)) << GetLastError();
  ASSERT_EQ(got, 8225u);
  EXPECT_EQ(data, content.substr(0, 8225));

  Server().ReleaseGatedFiles();
  std::string rest;
  ASSERT_TRUE(ReadAll(file.get(), 65536, rest));
  EXPECT_EQ(data + rest, content);
}

TEST_F(FtpTest, StalledTransferFailsWithTimeout) {
  WriteFile(Server().File("gated.bin"), RandomBytes(600000, 4));
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  Handle file(FtpOpenFileA(connection.get(), "gated.bin", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file);
  auto reading = std::async(std::launch::async, [&] {
    std::string data;
    const bool ok = ReadAll(file.get(), 65536, data);
    return std::make_tuple(ok, GetLastError(), data.size());
  });
  // Guard against a hang only; the layer gives up by itself.
  ASSERT_EQ(reading.wait_for(std::chrono::seconds(90)), std::future_status::ready);
  const auto [ok, error, size] = reading.get();
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, ERROR_INTERNET_TIMEOUT);
  EXPECT_EQ(size, 300000u);  // the half that came was handed out
  Server().ReleaseGatedFiles();
}

TEST_F(FtpTest, ClosingTheConnectionAbandonsAReadOnAnotherThread) {
  WriteFile(Server().File("gated.bin"), RandomBytes(600000, 5));
  HINTERNET connection = Connect();
  ASSERT_NE(connection, nullptr);
  HINTERNET file = FtpOpenFileA(connection, "gated.bin", GENERIC_READ, kReadFlags, 0);
  ASSERT_NE(file, nullptr);
  std::atomic<std::size_t> received{0};
  auto reading = std::async(std::launch::async, [&] {
    std::vector<char> buffer(65536);
    for (;;) {
      DWORD got = 0;
      const BOOL ok = InternetReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got);
      received += got;
      if (!ok) return GetLastError();
      if (got == 0) return DWORD{0};
    }
  });
  ASSERT_TRUE(WaitUntil([&] { return received.load() >= 196608; }));
  EXPECT_TRUE(InternetCloseHandle(connection));
  ASSERT_EQ(reading.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(reading.get(), ERROR_INTERNET_OPERATION_CANCELLED);
  // The file went with its connection.
  EXPECT_FALSE(InternetCloseHandle(file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  Server().ReleaseGatedFiles();
}

TEST_F(FtpTest, SizeNotReportedGivesMinusOneButTheFileStillReads) {
  StartServer({.users = {}, .anonymous = true, .noSize = true});
  const std::string content = RandomBytes(20000);
  WriteFile(Server().File("spectrum:"), content);
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  Handle file(FtpOpenFileA(connection.get(), "spectrum:", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file) << GetLastError();
  DWORD high = 5;
  EXPECT_EQ(FtpGetFileSize(file.get(), &high), 0xFFFFFFFFu);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  EXPECT_EQ(LastResponse().substr(0, 3), "500");
  std::string data;
  ASSERT_TRUE(ReadAll(file.get(), 8225, data));
  EXPECT_EQ(data, content);
}

TEST_F(FtpTest, EmptyFileOpensAndReadsAsEnd) {
  WriteFile(Server().File("empty"), "");
  Handle connection(Connect());
  Handle file(FtpOpenFileA(connection.get(), "empty", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file) << GetLastError();
  EXPECT_EQ(FtpGetFileSize(file.get(), nullptr), 0u);
  char buffer[16];
  DWORD got = 1;
  EXPECT_TRUE(InternetReadFile(file.get(), buffer, sizeof buffer, &got));
  EXPECT_EQ(got, 0u);
}

TEST_F(FtpTest, MissingFileFailsToOpenAndKeepsTheServersReply) {
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  EXPECT_EQ(FtpOpenFileA(connection.get(), "nothere:", GENERIC_READ, kReadFlags, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  DWORD error = 0;
  const std::string reply = LastResponse(&error);
  EXPECT_EQ(reply.substr(0, 4), "550 ") << reply;
  EXPECT_EQ(error, ERROR_INTERNET_EXTENDED_ERROR);

  // The connection stays usable, on the same control connection.
  WriteFile(Server().File("there"), "abc");
  Handle file(FtpOpenFileA(connection.get(), "there", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file) << GetLastError();
  std::string data;
  EXPECT_TRUE(ReadAll(file.get(), 100, data));
  EXPECT_EQ(data, "abc");
  EXPECT_EQ(Server().SessionCount(), 1);
}

TEST_F(FtpTest, WriteOfOneByteAsNamedUser) {
  StartServer({.users = {"melgar:"}, .anonymous = false, .noSize = false});
  Handle connection(Connect("melgar", ""));
  ASSERT_TRUE(connection) << GetLastError();
  Handle file(FtpOpenFileA(connection.get(), "capt_spec:", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0));
  ASSERT_TRUE(file) << GetLastError();
  const char one = 1;
  DWORD put = 0;
  ASSERT_TRUE(InternetWriteFile(file.get(), &one, 1, &put)) << GetLastError();
  EXPECT_EQ(put, 1u);
  // Closing completes the upload and waits for the server's verdict.
  EXPECT_TRUE(InternetCloseHandle(file.release())) << GetLastError();
  EXPECT_EQ(ReadFile(Server().File("capt_spec:")), std::string(1, '\1'));
  EXPECT_EQ(LastResponse().substr(0, 3), "226");
  ASSERT_EQ(Server().Commands("USER").size(), 1u);
  EXPECT_NE(Server().Commands("USER")[0].find("USER melgar"), std::string::npos);
}

TEST_F(FtpTest, LargeImageInOneWriteAndDataInSeveralWrites) {
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  const std::string image = RandomBytes(3 << 20, 9);
  {
    Handle file(FtpOpenFileA(connection.get(), "app:", GENERIC_WRITE, kReadFlags, 0));
    ASSERT_TRUE(file) << GetLastError();
    DWORD put = 0;
    ASSERT_TRUE(InternetWriteFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &put));
    EXPECT_EQ(put, image.size());
    EXPECT_TRUE(InternetCloseHandle(file.release()));
  }
  EXPECT_EQ(ReadFile(Server().File("app:")), image);

  Handle file(FtpOpenFileA(connection.get(), "pieces", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0));
  ASSERT_TRUE(file);
  std::string sent;
  for (int i = 0; i < 50; ++i) {
    const std::string piece = RandomBytes(static_cast<std::size_t>(i * 997), static_cast<unsigned>(i));
    DWORD put = 0;
    ASSERT_TRUE(InternetWriteFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &put));
    ASSERT_EQ(put, piece.size());
    sent += piece;
  }
  EXPECT_TRUE(InternetCloseHandle(file.release()));
  EXPECT_EQ(ReadFile(Server().File("pieces")), sent);
  EXPECT_EQ(Server().SessionCount(), 1);
}

TEST_F(FtpTest, RefusedUploadFailsToOpen) {
  Handle connection(Connect());
  EXPECT_EQ(FtpOpenFileA(connection.get(), "no/such/folder/x", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  EXPECT_EQ(LastResponse().substr(0, 1), "5");
}

TEST_F(FtpTest, ReadAndWriteRefuseTheOtherDirection) {
  WriteFile(Server().File("f"), "x");
  Handle connection(Connect());
  Handle file(FtpOpenFileA(connection.get(), "f", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file);
  DWORD n = 0;
  EXPECT_FALSE(InternetWriteFile(file.get(), "y", 1, &n));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(FtpOpenFileA(connection.get(), "f", GENERIC_READ | GENERIC_WRITE, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(FtpOpenFileA(connection.get(), "bad\r\nDELE f", GENERIC_READ, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FtpTest, ActiveModeByDefaultPassiveWithTheFlag) {
  WriteFile(Server().File("f"), "data");
  for (const DWORD flags : {DWORD{0}, INTERNET_FLAG_PASSIVE}) {
    Handle connection(Connect("", "", flags));
    ASSERT_TRUE(connection);
    Handle file(FtpOpenFileA(connection.get(), "f", GENERIC_READ, kReadFlags, 0));
    ASSERT_TRUE(file);
    std::string data;
    ASSERT_TRUE(ReadAll(file.get(), 100, data));
    EXPECT_EQ(data, "data");
  }
  const auto active = Server().Commands("EPRT").size() + Server().Commands("PORT").size();
  const auto passive = Server().Commands("EPSV").size() + Server().Commands("PASV").size();
  EXPECT_EQ(active, 1u);
  EXPECT_EQ(passive, 1u);
}

TEST_F(FtpTest, NamesReachTheServerAsWritten) {
  const std::string name = "odd name #1 %41;type=a ..x";
  WriteFile(Server().File(name), "odd");
  Handle connection(Connect());
  Handle file(FtpOpenFileA(connection.get(), name.c_str(), GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file) << GetLastError() << " " << LastResponse();
  std::string data;
  ASSERT_TRUE(ReadAll(file.get(), 100, data));
  EXPECT_EQ(data, "odd");
}

TEST_F(FtpTest, ClosingAReadEarlyKeepsTheControlConnection) {
  WriteFile(Server().File("big"), RandomBytes(150000));
  WriteFile(Server().File("small"), "small");
  Handle connection(Connect());
  {
    Handle file(FtpOpenFileA(connection.get(), "big", GENERIC_READ, kReadFlags, 0));
    ASSERT_TRUE(file);
    char buffer[10];
    DWORD got = 0;
    ASSERT_TRUE(InternetReadFile(file.get(), buffer, sizeof buffer, &got));
    EXPECT_EQ(got, sizeof buffer);
    EXPECT_TRUE(InternetCloseHandle(file.release()));
  }
  Handle file(FtpOpenFileA(connection.get(), "small", GENERIC_READ, kReadFlags, 0));
  ASSERT_TRUE(file) << GetLastError();
  std::string data;
  ASSERT_TRUE(ReadAll(file.get(), 100, data));
  EXPECT_EQ(data, "small");
  EXPECT_EQ(Server().SessionCount(), 1);
}

TEST_F(FtpTest, UploadTheServerCannotStoreIsReportedAsFailed) {
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  Handle file(FtpOpenFileA(connection.get(), "refuse.bin", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0));
  ASSERT_TRUE(file) << GetLastError();
  const std::string image = RandomBytes(200000, 12);
  DWORD put = 0;
  const BOOL wrote = InternetWriteFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &put);
  const DWORD writeError = GetLastError();
  const BOOL closed = InternetCloseHandle(file.release());
  const DWORD closeError = GetLastError();
  // The failure shows in the write (the data connection dropped under it)
  // or, when all bytes were already on their way, in the close.
  if (wrote) {
    EXPECT_EQ(put, image.size());
    EXPECT_FALSE(closed);
    EXPECT_EQ(closeError, ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_EQ(LastResponse().substr(0, 3), "426");
  } else {
    // The refusal may come before the last bytes went out or just after.
    EXPECT_LE(put, image.size());
    EXPECT_NE(writeError, ERROR_SUCCESS);
    EXPECT_FALSE(closed);
  }
  // The connection carries on.
  WriteFile(Server().File("next"), "next");
  Handle next(FtpOpenFileA(connection.get(), "next", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
  ASSERT_TRUE(next) << GetLastError();
  std::string data;
  ASSERT_TRUE(ReadAll(next.get(), 16, data));
  EXPECT_EQ(data, "next");
}

// A read goes on until the server ends the transfer, whatever SIZE said:
// a file that grew after SIZE, or a server that sizes files loosely.
class WrongSizeTest : public FtpTest, public ::testing::WithParamInterface<long> {};

TEST_P(WrongSizeTest, ReadTakesWhatTheServerSends) {
  StartServer({.users = {}, .anonymous = true, .noSize = false, .sizeOffset = GetParam()});
  const std::string content = RandomBytes(20000, 21);
  WriteFile(Server().File("status:"), content);
  Handle connection(Connect());
  for (int round = 0; round < 2; ++round) {
    Handle file(FtpOpenFileA(connection.get(), "status:", GENERIC_READ, kReadFlags, 0));
    ASSERT_TRUE(file) << GetLastError() << " " << LastResponse();
    EXPECT_EQ(FtpGetFileSize(file.get(), nullptr), content.size() + GetParam()) << "the size is the server's word";
    std::string data;
    EXPECT_TRUE(ReadAll(file.get(), 8225, data)) << GetLastError() << " " << LastResponse();
    EXPECT_TRUE(data == content) << data.size();
  }
  testsupport::TempDir local;
  ASSERT_TRUE(FtpGetFileA(connection.get(), "status:", local.File("copy").c_str(), FALSE, 0, 0, 0)) << GetLastError();
  EXPECT_TRUE(ReadFile(local.File("copy")) == content);
  EXPECT_EQ(Server().SessionCount(), 1) << "the control connection carries on";
}

INSTANTIATE_TEST_SUITE_P(SmallerAndLarger, WrongSizeTest, ::testing::Values(-19999L, -1000L, -1L, 1L, 5000L));
