#include "PyFtpServer.h"

#include <sstream>
#include <stdexcept>

namespace testsupport {

PyFtpServer::PyFtpServer() : PyFtpServer(Options{}) {}

PyFtpServer::PyFtpServer(Options options) {
  log_ = work_.File("ftp.log");
  std::vector<std::string> argv = {"/usr/bin/python3", HALDEN_PYFTP_SCRIPT, "--root", root_.Path(), "--log", log_};
  for (const std::string& user : options.users) {
    argv.push_back("--user");
    argv.push_back(user);
  }
  if (!options.anonymous) argv.push_back("--no-anonymous");
  if (options.noSize) argv.push_back("--no-size");
  if (options.sizeOffset != 0) {
    argv.push_back("--size-offset");
    argv.push_back(std::to_string(options.sizeOffset));
  }
  for (const std::string& name : options.endless) {
    argv.push_back("--endless");
    argv.push_back(name);
  }
  process_ = std::make_unique<ChildProcess>(argv, std::vector<std::string>{"PYTHONWARNINGS=ignore"});
  const auto line = process_->ReadLine(std::chrono::seconds(20));
  if (!line || line->rfind("PORT ", 0) != 0) throw std::runtime_error("pyftpdlib server did not start");
  port_ = std::stoi(line->substr(5));
}

PyFtpServer::~PyFtpServer() = default;

std::string PyFtpServer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

void PyFtpServer::ReleaseGatedFiles() const { WriteFile(root_.File("release"), ""); }

std::vector<std::string> PyFtpServer::LogLines() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(log_));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> PyFtpServer::Commands(const std::string& verb) const {
  std::vector<std::string> found;
  const std::string marker = "<- " + verb;
  for (const std::string& line : LogLines()) {
    const auto at = line.find(marker);
    if (at == std::string::npos) continue;
    const auto end = at + marker.size();
    if (end == line.size() || line[end] == ' ') found.push_back(line);
  }
  return found;
}

int PyFtpServer::SessionCount() const {
  int count = 0;
  for (const std::string& line : LogLines())
    if (line.find("FTP session opened") != std::string::npos) ++count;
  return count;
}

}  // namespace testsupport
