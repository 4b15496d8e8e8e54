#pragma once

// A third-party FTP server (pyftpdlib) serving a temporary folder, for the
// replies the simulator does not send: each file in the folder stands for a
// pseudo-file of the modem.

#include "TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace orbscope::test {

class FileFtpServer {
 public:
  FileFtpServer();
  // Puts a file into the served folder (replacing it atomically).
  void SetFile(const std::string& name, const std::string& contents);
  // The contents of a served file (empty when missing).
  std::string File(const std::string& name) const { return testsupport::ReadFile(dir_.File(name)); }
  // Makes reads of name answer these texts in turn, starting over after the
  // last.
  void SetSteps(const std::string& name, const std::vector<std::string>& replies);
  // "127.0.0.1:PORT", as the monitor takes a modem address.
  std::string Address() const;

 private:
  testsupport::TempDir dir_;
  std::unique_ptr<testsupport::ChildProcess> process_;
  int port_ = 0;
};

// A modem that accepts connections and never says a word: the kernel
// completes them, and Accepted() counts them without answering.
class SilentModem {
 public:
  SilentModem();
  ~SilentModem();
  SilentModem(const SilentModem&) = delete;
  SilentModem& operator=(const SilentModem&) = delete;
  std::string Address() const;
  int Accepted();

 private:
  int fd_ = -1;
  int port_ = 0;
  std::vector<int> accepted_;
};

// Switches a fault of the simulator on or off at run time ("slow=30000",
// "slow=30000 off"), through its "control:" pseudo-file.
bool SimFault(const testsupport::ModemSim& sim, const std::string& fault);

// A reply of "orbscope:": the pairs (I, Q) repeated to 1024, and, when
// trailing >= 0, the model byte and the modulation byte.
std::string ConstellationReply(int i, int q, int model = -1, int modulation = -1);

}  // namespace orbscope::test
