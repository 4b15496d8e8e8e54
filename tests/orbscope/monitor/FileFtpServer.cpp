#include "FileFtpServer.h"

#include <cstdio>
#include <stdexcept>

namespace orbscope::test {

FileFtpServer::FileFtpServer(int sizeOffset) {
  std::vector<std::string> argv{"/usr/bin/python3", ORBSCOPE_TEST_FTP_SCRIPT, dir_.Path()};
  if (sizeOffset != 0) {
    argv.push_back("--size-offset");
    argv.push_back(std::to_string(sizeOffset));
  }
  process_ = std::make_unique<testsupport::ChildProcess>(argv);
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
