// Connecting, logging in, timeouts and closing, against pyftpdlib and
// against sockets that misbehave.

#include "FtpFixture.h"
#include "TestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

using testsupport::ReadFile;
using testsupport::WaitUntil;
using testsupport::WriteFile;
using wininettest::Handle;
using wininettest::LastResponse;
using wininettest::RandomBytes;
using wininettest::ReadAll;

namespace {

// A loopback socket that listens and never says a word: the kernel accepts
// connections for it, and Accepted() takes them in without answering.
class SilentListener {
 public:
  SilentListener() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(fd_, 8);
    socklen_t len = sizeof addr;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
  }
  ~SilentListener() {
    for (int fd : accepted_) close(fd);
    close(fd_);
  }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  int Port() const { return port_; }
  // True once a client has connected.
  bool Accepted() {
    const int fd = accept(fd_, nullptr, nullptr);
    if (fd >= 0) accepted_.push_back(fd);
    return !accepted_.empty();
  }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::vector<int> accepted_;
};

}  // namespace

TEST_F(FtpTest, EmptyUserNameLogsInAnonymously) {
  Handle connection(Connect());
  ASSERT_TRUE(connection) << GetLastError();
  const auto users = Server().Commands("USER");
  ASSERT_EQ(users.size(), 1u);
  EXPECT_NE(users[0].find("USER anonymous"), std::string::npos) << users[0];
  // The login reply is the response info of a successful connect.
  DWORD error = 99;
  EXPECT_EQ(LastResponse(&error).substr(0, 4), "230 ");
  EXPECT_EQ(error, 0u);
}

TEST_F(FtpTest, EveryConnectIsANewControlConnection) {
  Handle first(Connect());
  Handle second(Connect());
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(Server().SessionCount(), 2);
  EXPECT_EQ(Server().Commands("USER").size(), 2u);
  // Closing one ends its session with QUIT; the other stays usable.
  EXPECT_TRUE(InternetCloseHandle(first.release()));
  EXPECT_TRUE(WaitUntil([&] { return Server().Commands("QUIT").size() == 1; }));
  WriteFile(Server().File("f"), "ok");
  Handle file(FtpOpenFileA(second.get(), "f", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
  ASSERT_TRUE(file) << GetLastError();
}

TEST_F(FtpTest, PortArgumentUnlessTheNameCarriesOne) {
  const auto port = static_cast<INTERNET_PORT>(Server().Port());
  Handle plain(InternetConnectA(session_, "127.0.0.1", port, "", "", INTERNET_SERVICE_FTP, 0, 0));
  EXPECT_TRUE(plain) << GetLastError();
  // The port in the name wins over the argument.
  const std::string named = Server().Address();
  Handle withPort(InternetConnectA(session_, named.c_str(), 1, "", "", INTERNET_SERVICE_FTP, 0, 0));
  EXPECT_TRUE(withPort) << GetLastError();
  EXPECT_EQ(Server().SessionCount(), 2);
}

TEST_F(FtpTest, WrongPasswordIsALoginFailure) {
  StartServer({.users = {"melgar:secret"}, .anonymous = false, .noSize = false});
  EXPECT_EQ(Connect("melgar", "wrong"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_LOGIN_FAILURE);
  DWORD error = 0;
  EXPECT_EQ(LastResponse(&error).substr(0, 3), "530");
  EXPECT_EQ(error, ERROR_INTERNET_LOGIN_FAILURE);
  EXPECT_EQ(Connect(), nullptr);  // no anonymous access on this server
  Handle good(Connect("melgar", "secret"));
  EXPECT_TRUE(good);
}

TEST_F(FtpTest, ServerNotListeningFailsAtOnce) {
  const int port = testsupport::FreeLoopbackPort();
  const std::string server = "127.0.0.1:" + std::to_string(port);
  EXPECT_EQ(InternetConnectA(session_, server.c_str(), 21, "", "", INTERNET_SERVICE_FTP, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_CANNOT_CONNECT);
  DWORD error = 0;
  EXPECT_EQ(LastResponse(&error), "");
  EXPECT_EQ(error, ERROR_INTERNET_CANNOT_CONNECT);
}

TEST_F(FtpTest, ServerThatSaysNothingTimesOut) {
  SilentListener silent;
  const std::string server = "127.0.0.1:" + std::to_string(silent.Port());
  auto connecting = std::async(std::launch::async, [&] {
    HINTERNET h = InternetConnectA(session_, server.c_str(), 21, "", "", INTERNET_SERVICE_FTP, 0, 0);
    return std::make_pair(h, GetLastError());
  });
  // Guard against a hang only; the layer gives up by itself.
  ASSERT_EQ(connecting.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  const auto [handle, error] = connecting.get();
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(error, ERROR_INTERNET_TIMEOUT);
}

TEST_F(FtpTest, ClosingAConnectionToAServerThatStoppedAnsweringIsQuick) {
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  ASSERT_EQ(kill(Server().Pid(), SIGSTOP), 0);
  auto closing = std::async(std::launch::async, [&] { return InternetCloseHandle(connection.release()); });
  // The goodbye (QUIT) waits only briefly for its reply, not the 15 s of a
  // request's reply.
  const auto status = closing.wait_for(std::chrono::seconds(5));
  kill(Server().Pid(), SIGCONT);
  EXPECT_EQ(status, std::future_status::ready);
  EXPECT_TRUE(closing.get());
}

TEST_F(FtpTest, ClosingTheSessionAbandonsALoginInProgress) {
  SilentListener silent;
  const std::string server = "127.0.0.1:" + std::to_string(silent.Port());
  HINTERNET session = InternetOpenA("t", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  auto connecting = std::async(std::launch::async, [&] {
    HINTERNET h = InternetConnectA(session, server.c_str(), 21, "", "", INTERNET_SERVICE_FTP, 0, 0);
    return std::make_pair(h, GetLastError());
  });
  // The client is connected and waits for a greeting that never comes.
  ASSERT_TRUE(WaitUntil([&] { return silent.Accepted(); }));
  EXPECT_TRUE(InternetCloseHandle(session));
  ASSERT_EQ(connecting.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  const auto [handle, error] = connecting.get();
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(error, ERROR_INTERNET_OPERATION_CANCELLED);
}

TEST_F(FtpTest, ClosingTheSessionClosesItsConnectionsAndFiles) {
  WriteFile(Server().File("f"), RandomBytes(200000));
  HINTERNET session = InternetOpenA("t", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(session, Server().Address().c_str(), 21, "", "", INTERNET_SERVICE_FTP, 0, 0);
  ASSERT_NE(connection, nullptr);
  HINTERNET file = FtpOpenFileA(connection, "f", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(InternetCloseHandle(session));
  for (HINTERNET h : {file, connection, session}) {
    EXPECT_FALSE(InternetCloseHandle(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  DWORD got = 0;
  char byte;
  EXPECT_FALSE(InternetReadFile(file, &byte, 1, &got));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(WaitUntil([&] {
    for (const auto& line : Server().LogLines())
      if (line.find("FTP session closed") != std::string::npos) return true;
    return false;
  }));
}

TEST_F(FtpTest, ConnectionsOnSeveralThreadsAtOnce) {
  std::vector<std::string> contents;
  for (int i = 0; i < 4; ++i) {
    contents.push_back(RandomBytes(30000 + static_cast<std::size_t>(i) * 1000, static_cast<unsigned>(i)));
    WriteFile(Server().File('f' + std::to_string(i)), contents.back());
  }
  std::vector<std::future<int>> workers;
  for (int i = 0; i < 4; ++i) {
    workers.push_back(std::async(std::launch::async, [&, i] {
      int good = 0;
      for (int round = 0; round < 3; ++round) {
        HINTERNET connection = Connect("", "", i % 2 != 0 ? INTERNET_FLAG_PASSIVE : 0);
        if (connection == nullptr) continue;
        HINTERNET file = FtpOpenFileA(connection, ('f' + std::to_string(i)).c_str(), GENERIC_READ, 2, 0);
        std::string data;
        if (file != nullptr && ReadAll(file, 4096, data) && data == contents[static_cast<std::size_t>(i)]) ++good;
        InternetCloseHandle(file);
        InternetCloseHandle(connection);
      }
      return good;
    }));
  }
  for (auto& w : workers) EXPECT_EQ(w.get(), 3);
}

TEST_F(FtpTest, ResponseInfoBufferTooSmall) {
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  const std::string full = LastResponse();
  ASSERT_FALSE(full.empty());
  DWORD error = 0;
  char small[4];
  DWORD length = sizeof small;
  EXPECT_FALSE(InternetGetLastResponseInfoA(&error, small, &length));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(length, full.size() + 1);
}

TEST_F(FtpTest, ResponseInfoIsPerThread) {
  Handle connection(Connect());
  ASSERT_TRUE(connection);
  EXPECT_FALSE(LastResponse().empty());
  std::string other = "unset";
  std::thread([&] { other = LastResponse(); }).join();
  EXPECT_EQ(other, "");
}
