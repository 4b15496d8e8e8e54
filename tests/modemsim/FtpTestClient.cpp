#include "FtpTestClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace modemsimtest {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int rc = poll(&p, 1, MsLeft(deadline));
    if (rc > 0) return true;
    if (rc == 0 || Clock::now() >= deadline) return false;
  }
}

sockaddr_in Loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  return a;
}

}  // namespace

void Socket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void Socket::Reset() {
  if (fd_ < 0) return;
  linger l{1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
  Close();
}

Socket ConnectLoopback(int port, std::chrono::milliseconds timeout) {
  Socket s(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  const sockaddr_in a = Loopback(port);
  if (connect(s.Fd(), reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    if (errno != EINPROGRESS || !WaitFor(s.Fd(), POLLOUT, Clock::now() + timeout)) return {};
    int err = 0;
    socklen_t len = sizeof err;
    getsockopt(s.Fd(), SOL_SOCKET, SO_ERROR, &err, &len);
    if (err != 0) return {};
  }
  return s;
}

bool SendAll(const Socket& s, std::string_view bytes, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!bytes.empty()) {
    const ssize_t n = send(s.Fd(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (!WaitFor(s.Fd(), POLLOUT, deadline)) return false;
      continue;
    }
    return false;
  }
  return true;
}

std::optional<std::string> ReadToEnd(const Socket& s, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  std::string data;
  char buf[16384];
  for (;;) {
    if (!WaitFor(s.Fd(), POLLIN, deadline)) return std::nullopt;
    const ssize_t n = recv(s.Fd(), buf, sizeof buf, 0);
    if (n > 0) {
      data.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return data;
    } else if (errno != EAGAIN && errno != EINTR) {
      return std::nullopt;
    }
  }
}

bool PeerClosed(const Socket& s, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  char buf[4096];
  for (;;) {
    if (!WaitFor(s.Fd(), POLLIN, deadline)) return false;
    const ssize_t n = recv(s.Fd(), buf, sizeof buf, 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return true;
  }
}

FtpTestClient::FtpTestClient(int port) : control_(ConnectLoopback(port)) {
  if (control_.Valid()) greeting_ = ReadReply();
}

FtpReply FtpTestClient::ReadReply(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  FtpReply reply;
  std::string firstCode;
  for (;;) {
    const auto nl = pending_.find('\n');
    if (nl != std::string::npos) {
      std::string line = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!reply.text.empty()) reply.text += '\n';
      reply.text += line;
      if (firstCode.empty()) firstCode = line.substr(0, 3);
      // The reply ends with a line "CODE " (a lone "CODE-" line opens a multi-line one).
      if (line.size() >= 3 && line.compare(0, 3, firstCode) == 0 && (line.size() == 3 || line[3] == ' ')) {
        reply.code = std::atoi(firstCode.c_str());
        last_ = reply;
        return reply;
      }
      continue;
    }
    if (!control_.Valid() || !WaitFor(control_.Fd(), POLLIN, deadline)) break;
    char buf[4096];
    const ssize_t n = recv(control_.Fd(), buf, sizeof buf, 0);
    if (n > 0) {
      pending_.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      break;
    }
  }
  last_ = FtpReply{0, reply.text};
  return last_;
}

FtpReply FtpTestClient::Command(std::string_view line, std::chrono::milliseconds timeout) {
  if (!control_.Valid() || !SendAll(control_, std::string(line) + "\r\n")) {
    last_ = FtpReply{};
    return last_;
  }
  return ReadReply(timeout);
}

bool FtpTestClient::Login(const std::string& user, const std::string& password) {
  if (Command("USER " + user).code != 331) return false;
  return Command("PASS " + password).code == 230;
}

Socket FtpTestClient::OpenPassive() {
  const FtpReply r = Command("EPSV");
  const auto bar = r.text.find("(|||");
  if (r.code != 229 || bar == std::string::npos) return {};
  return ConnectLoopback(std::atoi(r.text.c_str() + bar + 4));
}

std::optional<std::string> FtpTestClient::Download(const std::string& command, bool passive) {
  Socket data;
  Socket listener;
  if (passive) {
    data = OpenPassive();
    if (!data.Valid()) return std::nullopt;
  } else {
    listener = Socket(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    if (bind(listener.Fd(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener.Fd(), 1) != 0) return {};
    getsockname(listener.Fd(), reinterpret_cast<sockaddr*>(&a), &len);
    if (Command("EPRT |1|127.0.0.1|" + std::to_string(ntohs(a.sin_port)) + "|").code != 200) return std::nullopt;
  }
  const FtpReply opening = Command(command);
  if (opening.code != 150 && opening.code != 125) return std::nullopt;
  if (!passive) {
    if (!WaitFor(listener.Fd(), POLLIN, Clock::now() + 10s)) return std::nullopt;
    data = Socket(accept4(listener.Fd(), nullptr, nullptr, SOCK_CLOEXEC));
  }
  std::optional<std::string> bytes = ReadToEnd(data);
  if (ReadReply().code != 226) return std::nullopt;
  return bytes;
}

std::optional<std::string> FtpTestClient::Retr(const std::string& name, bool passive) {
  return Download("RETR " + name, passive);
}

std::optional<std::string> FtpTestClient::List(const std::string& command, bool passive) {
  return Download(command, passive);
}

FtpReply FtpTestClient::Stor(const std::string& name, std::string_view payload, bool passive) {
  Socket data;
  Socket listener;
  if (passive) {
    data = OpenPassive();
    if (!data.Valid()) return last_;
  } else {
    listener = Socket(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    if (bind(listener.Fd(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener.Fd(), 1) != 0) return {};
    getsockname(listener.Fd(), reinterpret_cast<sockaddr*>(&a), &len);
    if (Command("EPRT |1|127.0.0.1|" + std::to_string(ntohs(a.sin_port)) + "|").code != 200) return last_;
  }
  const FtpReply opening = Command("STOR " + name);
  if (opening.code != 150 && opening.code != 125) return opening;
  if (!passive) {
    if (!WaitFor(listener.Fd(), POLLIN, Clock::now() + 10s)) return {};
    data = Socket(accept4(listener.Fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
  }
  SendAll(data, payload);
  data.Close();
  return ReadReply();
}

long ResidentKb(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

}  // namespace modemsimtest
