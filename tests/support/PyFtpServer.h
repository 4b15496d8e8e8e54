#pragma once

// A third-party FTP server for interoperability tests: Debian's pyftpdlib
// (run with /usr/bin/python3) serving a temporary folder on a free loopback
// port, with anonymous login and any named users, logging every command and
// reply with the client's port. See pyftp_server.py.

#include "TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class PyFtpServer {
 public:
  struct Options {
    std::vector<std::string> users;  // "name:password"
    bool anonymous = true;
    bool noSize = false;                 // SIZE answered "500 not understood"
    long sizeOffset = 0;                 // SIZE reports each file this many bytes longer
    std::vector<std::string> endless{};  // files whose transfer never ends
  };

  PyFtpServer();  // anonymous only
  explicit PyFtpServer(Options options);
  ~PyFtpServer();
  PyFtpServer(const PyFtpServer&) = delete;
  PyFtpServer& operator=(const PyFtpServer&) = delete;

  int Port() const { return port_; }
  // The server's process, for tests that stop it answering (SIGSTOP).
  int Pid() const { return process_->Pid(); }
  // "127.0.0.1:PORT", as a server name with its port.
  std::string Address() const;
  // The served folder and a path inside it.
  const std::string& Root() const { return root_.Path(); }
  std::string File(const std::string& name) const { return root_.File(name); }
  // Lets the held-back half of "gated*" files go.
  void ReleaseGatedFiles() const;

  std::vector<std::string> LogLines() const;
  // Log lines that record a command ("<- VERB ...") of the given verb.
  std::vector<std::string> Commands(const std::string& verb) const;
  // Number of control connections the server accepted.
  int SessionCount() const;

 private:
  TempDir root_;
  TempDir work_;
  std::string log_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace testsupport
