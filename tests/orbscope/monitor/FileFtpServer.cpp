#include "FileFtpServer.h"

#include "wininet/WinInet.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace orbscope::test {

FileFtpServer::FileFtpServer() {
  process_ = std::make_unique<testsupport::ChildProcess>(
      std::vector<std::string>{"/usr/bin/python3", ORBSCOPE_TEST_FTP_SCRIPT, dir_.Path()});
  const std::optional<std::string> line = process_->ReadLine(std::chrono::seconds(15));
  const std::string prefix = "listening on ";
  if (!line || line->rfind(prefix, 0) != 0) throw std::runtime_error("the test FTP server did not start");
  port_ = std::stoi(line->substr(line->rfind(':') + 1));
}

void FileFtpServer::SetFile(const std::string& name, const std::string& contents) {
  const std::string temporary = dir_.File("." + name + ".new");
  testsupport::WriteFile(temporary, contents);
  std::rename(temporary.c_str(), dir_.File(name).c_str());
}

void FileFtpServer::SetSteps(const std::string& name, const std::vector<std::string>& replies) {
  std::string lines;
  for (const std::string& reply : replies) lines += reply + "\n";
  SetFile(name, "");
  SetFile(name + ".steps", lines);
}

std::string FileFtpServer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

SilentModem::SilentModem() {
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd_, 8) != 0 ||
      getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
    throw std::runtime_error("no silent listener");
  port_ = ntohs(addr.sin_port);
}

SilentModem::~SilentModem() {
  for (const int fd : accepted_) close(fd);
  close(fd_);
}

std::string SilentModem::Address() const { return "127.0.0.1:" + std::to_string(port_); }

int SilentModem::Accepted() {
  for (int fd = accept(fd_, nullptr, nullptr); fd >= 0; fd = accept(fd_, nullptr, nullptr)) accepted_.push_back(fd);
  return static_cast<int>(accepted_.size());
}

bool SimFault(const testsupport::ModemSim& sim, const std::string& fault) {
  HINTERNET session = InternetOpenA("tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET control = InternetConnectA(session, sim.Address().c_str(), INTERNET_DEFAULT_FTP_PORT, "control", "",
                                       INTERNET_SERVICE_FTP, 0, 0);
  HINTERNET file = FtpOpenFileA(control, "control:", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0);
  const std::string line = "fault " + fault + "\n";
  DWORD written = 0;
  bool ok = file != nullptr && InternetWriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written);
  ok = file != nullptr && InternetCloseHandle(file) && ok;
  InternetCloseHandle(session);
  return ok;
}

std::string ConstellationReply(int i, int q, int model, int modulation) {
  std::string reply;
  for (int k = 0; k < 1024; ++k) {
    reply.push_back(static_cast<char>(i));
    reply.push_back(static_cast<char>(q));
  }
  if (model >= 0) {
    reply.push_back(static_cast<char>(model));
    reply.push_back(static_cast<char>(modulation));
  }
  return reply;
}

}  // namespace orbscope::test
