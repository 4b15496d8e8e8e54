#pragma once

// A small blocking FTP client over plain sockets, for driving the simulator
// command by command (including things no real client would send). Every
// wait has a deadline, so a broken server fails a test instead of hanging.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace modemsimtest {

using namespace std::chrono_literals;

struct FtpReply {
  int code = 0;      // 0: no reply (connection closed or timed out)
  std::string text;  // all lines, CRLF removed, joined with '\n'
};

// An owned socket descriptor.
class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() { Close(); }
  Socket(Socket&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
  Socket& operator=(Socket&& o) noexcept {
    if (this != &o) {
      Close();
      fd_ = std::exchange(o.fd_, -1);
    }
    return *this;
  }
  int Fd() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  void Close();
  // Closes with a reset instead of an orderly shutdown.
  void Reset();

 private:
  int fd_ = -1;
};

// Connects to 127.0.0.1:port; an invalid socket on failure.
Socket ConnectLoopback(int port, std::chrono::milliseconds timeout = 5s);
// Sends everything (false when the peer is gone or the deadline passes).
bool SendAll(const Socket& s, std::string_view bytes, std::chrono::milliseconds timeout = 5s);
// Reads until the peer closes; nothing on timeout.
std::optional<std::string> ReadToEnd(const Socket& s, std::chrono::milliseconds timeout = 10s);
// True when the peer has closed (reads return end of file or an error).
bool PeerClosed(const Socket& s, std::chrono::milliseconds timeout = 5s);

class FtpTestClient {
 public:
  // Connects and reads the greeting (see Greeting()).
  explicit FtpTestClient(int port);

  const FtpReply& Greeting() const { return greeting_; }
  const FtpReply& Last() const { return last_; }
  const Socket& Control() const { return control_; }
  Socket& Control() { return control_; }

  FtpReply ReadReply(std::chrono::milliseconds timeout = 10s);
  FtpReply Command(std::string_view line, std::chrono::milliseconds timeout = 10s);
  // USER + PASS; true on 230.
  bool Login(const std::string& user = "anonymous", const std::string& password = "guest");

  // Whole transfers, passive (EPSV) or active (EPRT). Retr returns the data
  // only when the transfer ended with 226; Last() has the final reply.
  std::optional<std::string> Retr(const std::string& name, bool passive = true);
  FtpReply Stor(const std::string& name, std::string_view data, bool passive = true);
  std::optional<std::string> List(const std::string& command, bool passive = true);

  // Opens a passive data connection (EPSV); invalid on failure.
  Socket OpenPassive();

 private:
  std::optional<std::string> Download(const std::string& command, bool passive);

  Socket control_;
  std::string pending_;
  FtpReply greeting_;
  FtpReply last_;
};

// Resident memory of a process in kB (VmRSS), or -1.
long ResidentKb(int pid);

}  // namespace modemsimtest
