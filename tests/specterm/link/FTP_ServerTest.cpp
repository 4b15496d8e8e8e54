// The FTP session class against pyftpdlib, with its notices recorded by the
// handler it is given.

#include "PyFtpServer.h"
#include "TestSupport.h"
#include "link/FTP_Server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

using testsupport::PyFtpServer;
using testsupport::ReadFile;
using testsupport::WaitUntil;
using testsupport::WriteFile;

namespace {

// The notices of every session, from whichever thread reported them.
std::mutex messagesMutex;
std::vector<FtpMessage> messages;

void Record(const FtpMessage& message) {
  std::lock_guard lock(messagesMutex);
  messages.push_back(message);
}

std::vector<FtpMessage> Shown() {
  std::lock_guard lock(messagesMutex);
  return messages;
}

void ClearShown() {
  std::lock_guard lock(messagesMutex);
  messages.clear();
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::string RandomBytes(std::size_t n, unsigned seed = 1) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

class FtpServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearShown();
    server_ = std::make_unique<PyFtpServer>();
  }

  void UseServer(PyFtpServer::Options options) {
    server_.reset();
    server_ = std::make_unique<PyFtpServer>(std::move(options));
  }

  // A session connected as the capture cycle connects: empty user and
  // password; the port travels in the server name.
  std::unique_ptr<FTP_Server> Connected() {
    auto ftp = std::make_unique<FTP_Server>(Record);
    ftp->SetServerName(server_->Address());
    ftp->SetUserName("");
    ftp->SetPassWord("");
    ftp->ConnectToServer();
    return ftp;
  }

  std::unique_ptr<PyFtpServer> server_;
};

}  // namespace

TEST(FtpServerStrings, ZeroTerminateAddsOneNulOnlyOnce) {
  EXPECT_EQ(FTP_Server::ZeroTerminate("a"), std::string("a\0", 2));
  EXPECT_EQ(FTP_Server::ZeroTerminate(FTP_Server::ZeroTerminate("a")), std::string("a\0", 2));
  EXPECT_EQ(FTP_Server::ZeroTerminate(""), std::string(1, '\0'));
  EXPECT_EQ(FTP_Server::StripAtNul(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(FTP_Server::StripAtNul("abc"), "abc");
  EXPECT_EQ(FTP_Server::StripAtNul(std::string(1, '\0')), "");
}

TEST(FtpServerStrings, WhichSettersTerminate) {
  FTP_Server ftp(Record);
  ftp.SetDownloadFileName("a");
  EXPECT_EQ(ftp.DownloadFileName(), std::string("a\0", 2));
  ftp.SetDownloadFileName(ftp.DownloadFileName());
  EXPECT_EQ(ftp.DownloadFileName(), std::string("a\0", 2));
  ftp.SetDeleteFileName("d");
  EXPECT_EQ(ftp.DeleteFileName(), std::string("d\0", 2));
  ftp.SetNewUpLoadFileName("u");
  EXPECT_EQ(ftp.NewUpLoadFileName(), std::string("u\0", 2));
  ftp.SetDirectoryName("dir");
  EXPECT_EQ(ftp.DirectoryName(), "dir");
  ftp.SetDirectoryName(QVariant(12));
  EXPECT_EQ(ftp.DirectoryName(), "12");
  ftp.SetDirectoryName(QVariant(1.5));
  EXPECT_EQ(ftp.DirectoryName(), "1.5");
}

TEST(FtpServerLifecycle, FreshObjectHoldsOnlyASession) {
  FTP_Server ftp(Record);
  EXPECT_TRUE(ftp.ConnectedToInternet());
  EXPECT_FALSE(ftp.IsConnected());
  EXPECT_EQ(ftp.FileHandle(), nullptr);
  EXPECT_TRUE(ftp.CloseFile());  // nothing open
  EXPECT_EQ(ftp.ReadBuffer(), "");
  EXPECT_EQ(ftp.FoundFileName(), "");
}

TEST(FtpServerLifecycle, FailedConstructionReportsAndStaysHarmless) {
  ClearShown();
  // Fill the handle table so that the session cannot be opened.
  std::vector<HINTERNET> hog;
  while (HINTERNET h = InternetOpenA("hog", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)) hog.push_back(h);
  ASSERT_EQ(GetLastError(), ERROR_INTERNET_OUT_OF_HANDLES);
  {
    auto ftp = std::make_unique<FTP_Server>(Record);
    for (HINTERNET h : hog) InternetCloseHandle(h);
    EXPECT_FALSE(ftp->ConnectedToInternet());
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "Could not open Internet Connection");
    EXPECT_EQ(shown[0].Title, "FTP");
    EXPECT_EQ(shown[0].Icon, FtpMessage::Kind::Critical);

    // Still usable: every operation fails quietly.
    ftp->SetServerName("127.0.0.1:1");
    ftp->ConnectToServer();
    EXPECT_FALSE(ftp->IsConnected());
    ftp->SetReadFileName("x");
    EXPECT_FALSE(ftp->OpenForRead());
    EXPECT_EQ(ftp->GetFileSize(), -1);
    EXPECT_EQ(ftp->ReadFromFile(8224), 0);

    // Destruction closes four 0 handles and still pauses.
    const auto start = std::chrono::steady_clock::now();
    ftp.reset();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(FTP_Server::kTerminatePauseMs));
  }
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(FtpServerTest, CaptureCycleOperations) {
  const std::string block = RandomBytes(20000);
  WriteFile(server_->File("spectrum:"), block);
  {
    auto ftp = Connected();
    ASSERT_TRUE(ftp->IsConnected());
    ftp->SetWriteFileName("capt_spec:");
    ASSERT_TRUE(ftp->OpenForWrite());
    ftp->SetWriteBuffer(std::string(1, '\1'));
    EXPECT_EQ(ftp->WriteToFile(), 1);
  }
  EXPECT_EQ(ReadFile(server_->File("capt_spec:")), std::string(1, '\1'));

  auto ftp = Connected();
  ftp->SetReadFileName("spectrum:");
  ASSERT_TRUE(ftp->OpenForRead());
  EXPECT_EQ(ftp->GetFileSize(), 20000);
  // A buffer of 8224 against a larger file: several reads collect it all.
  EXPECT_EQ(ftp->ReadFromFile(8224), 20000);
  EXPECT_EQ(ftp->ReadBuffer(), block);
  EXPECT_EQ(server_->Commands("RETR").size(), 1u);
  // The read closed the file; closing it again is harmless.
  EXPECT_FALSE(InternetCloseHandle(ftp->FileHandle()));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(FtpServerTest, ReadBufferKeepsAppending) {
  WriteFile(server_->File("a"), "first");
  WriteFile(server_->File("b"), "second");
  auto ftp = Connected();
  ftp->SetReadFileName("a");
  ASSERT_TRUE(ftp->OpenForRead());
  EXPECT_EQ(ftp->ReadFromFile(3), 5);
  ftp->SetReadFileName("b");
  ASSERT_TRUE(ftp->OpenForRead());
  EXPECT_EQ(ftp->ReadFromFile(8224), 6);
  EXPECT_EQ(ftp->ReadBuffer(), "firstsecond");
}

TEST_F(FtpServerTest, SizeNotReportedIsMinusOne) {
  UseServer({.users = {}, .anonymous = true, .noSize = true});
  WriteFile(server_->File("spectrum:"), RandomBytes(8224));
  auto ftp = Connected();
  ftp->SetReadFileName("spectrum:");
  ASSERT_TRUE(ftp->OpenForRead());
  EXPECT_EQ(ftp->GetFileSize(), -1);
  EXPECT_EQ(ftp->ReadFromFile(8224), 8224);
}

TEST_F(FtpServerTest, SecondConnectReplacesTheControlConnection) {
  auto ftp = Connected();
  const HINTERNET first = ftp->ConnectionHandle();
  ASSERT_NE(first, nullptr);
  ftp->ConnectToServer();
  ASSERT_TRUE(ftp->IsConnected());
  EXPECT_NE(ftp->ConnectionHandle(), first);
  EXPECT_EQ(server_->SessionCount(), 2);
  // The first one was closed: the server saw it quit, and its handle is dead.
  EXPECT_TRUE(WaitUntil([&] { return server_->Commands("QUIT").size() == 1; }));
  EXPECT_FALSE(InternetCloseHandle(first));
  const auto users = server_->Commands("USER");
  ASSERT_EQ(users.size(), 2u);
  EXPECT_NE(users[1].find("USER anonymous"), std::string::npos);
}

TEST_F(FtpServerTest, ConnectFailureLeavesItUnconnected) {
  FTP_Server ftp(Record);
  ftp.SetServerName("127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort()));
  ftp.ConnectToServer();
  EXPECT_FALSE(ftp.IsConnected());
  ftp.SetWriteFileName("capt_spec:");
  EXPECT_FALSE(ftp.OpenForWrite());
  EXPECT_EQ(ftp.WriteToFile(), 0);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(FtpServerTest, MissingFileAndTheLastResponse) {
  auto ftp = Connected();
  ftp->SetReadFileName("spectrum:");
  EXPECT_FALSE(ftp->OpenForRead());
  ftp->ShowLastResponseInfo();
  auto shown = Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(StartsWith(shown[0].Text, "550 ")) << shown[0].Text;
  EXPECT_EQ(shown[0].Title, "FTP Error " + std::to_string(ERROR_INTERNET_EXTENDED_ERROR));
  EXPECT_EQ(shown[0].Icon, FtpMessage::Kind::Information);

  // After a good call the reply carries no error code.
  ClearShown();
  ftp->ConnectToServer();
  ftp->ShowLastResponseInfo();
  shown = Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(StartsWith(shown[0].Text, "230 "));
  EXPECT_EQ(shown[0].Title, "FTP");
}

TEST_F(FtpServerTest, NothingToShowShowsNothing) {
  // A thread that never talked to a server has no response info.
  auto work = std::async(std::launch::async, [] {
    FTP_Server ftp(Record);
    ftp.ShowLastResponseInfo();
  });
  ASSERT_TRUE(WaitUntil([&] { return work.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_TRUE(Shown().empty());
}

TEST_F(FtpServerTest, FindRetriesWhenThePreviousSearchIsOpen) {
  WriteFile(server_->File("one.txt"), "1");
  WriteFile(server_->File("two.txt"), "22");
  auto ftp = Connected();
  ftp->SetFindFileName("*.txt");
  const HINTERNET first = ftp->FindFirstFile();
  ASSERT_NE(first, nullptr);
  const std::string firstName = ftp->FoundFileName();
  EXPECT_TRUE(firstName == "one.txt" || firstName == "two.txt") << firstName;

  // The first search still holds the connection; the class closes it and
  // searches again.
  const HINTERNET second = ftp->FindFirstFile();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(ftp->FindHandle(), second);
  EXPECT_FALSE(InternetCloseHandle(first));  // already closed, exactly once
  EXPECT_EQ(ftp->FoundFileName(), firstName);

  EXPECT_TRUE(ftp->FindNextFile());
  EXPECT_NE(ftp->FoundFileName(), firstName);
  EXPECT_TRUE(Shown().empty());
  EXPECT_FALSE(ftp->FindNextFile());
  const auto shown = Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, "No More Files!");
  EXPECT_EQ(shown[0].Title, "FTP");
  EXPECT_EQ(shown[0].Icon, FtpMessage::Kind::Information);
}

TEST_F(FtpServerTest, DirectoryDeleteDownloadAndUpload) {
  std::filesystem::create_directory(server_->File("sub"));
  WriteFile(server_->File("sub/data"), "payload");
  testsupport::TempDir local;
  auto ftp = Connected();
  EXPECT_EQ(ftp->GetCurrentDirectory(), "/");
  ftp->SetDirectoryName("sub");
  EXPECT_TRUE(ftp->SetCurrentDirectory());
  EXPECT_EQ(ftp->GetCurrentDirectory(), "/sub");

  ftp->SetDownloadFileName("data");
  ftp->SetNewDownLoadFileName(local.File("data"));
  ftp->SetFailIfExists(true);
  EXPECT_TRUE(ftp->DownLoadFile());
  EXPECT_EQ(ReadFile(local.File("data")), "payload");
  EXPECT_FALSE(ftp->DownLoadFile());  // exists now

  WriteFile(local.File("up"), "uploaded");
  ftp->SetUpLoadFileName(local.File("up"));
  ftp->SetNewUpLoadFileName("copy");
  EXPECT_TRUE(ftp->UploadFile());
  EXPECT_EQ(ReadFile(server_->File("sub/copy")), "uploaded");

  ftp->SetDeleteFileName("copy");
  EXPECT_TRUE(ftp->DeleteFile());
  EXPECT_FALSE(std::filesystem::exists(server_->File("sub/copy")));
  EXPECT_FALSE(ftp->DeleteFile());

  ftp->SetDirectoryName("nowhere");
  EXPECT_FALSE(ftp->SetCurrentDirectory());
  EXPECT_EQ(ftp->GetCurrentDirectory(), "/sub");
}

TEST_F(FtpServerTest, CloseFileIsTrueOnlyWithoutAFileHandle) {
  WriteFile(server_->File("f"), "x");
  auto ftp = Connected();
  ftp->SetReadFileName("f");
  ASSERT_TRUE(ftp->OpenForRead());
  // True only when no file handle was ever held.
  EXPECT_FALSE(ftp->CloseFile());
  EXPECT_FALSE(InternetCloseHandle(ftp->FileHandle()));
}

TEST_F(FtpServerTest, WorksOnAWorkerThreadAndReportsThere) {
  WriteFile(server_->File("spectrum:"), RandomBytes(9000));
  auto work = std::async(std::launch::async, [this] {
    auto ftp = Connected();
    ftp->SetReadFileName("spectrum:");
    const bool opened = ftp->OpenForRead();
    const std::int32_t total = opened ? ftp->ReadFromFile(8224) : -1;
    ftp->SetReadFileName("missing:");
    ftp->OpenForRead();
    ftp->ShowLastResponseInfo();
    return total;
  });
  ASSERT_TRUE(WaitUntil([&] { return work.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                        std::chrono::seconds(30)));
  EXPECT_EQ(work.get(), 9000);
  const auto shown = Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(StartsWith(shown[0].Text, "550"));
}

TEST_F(FtpServerTest, WriteTheServerRefusesCountsNothing) {
  auto ftp = Connected();
  ftp->SetWriteFileName("refuse.img");
  ASSERT_TRUE(ftp->OpenForWrite());
  ftp->SetWriteBuffer(RandomBytes(50000));
  EXPECT_EQ(ftp->WriteToFile(), 0);
}
