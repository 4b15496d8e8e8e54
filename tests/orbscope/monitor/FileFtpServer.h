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
  // sizeOffset: SIZE reports every file this many bytes longer than it is.
  explicit FileFtpServer(int sizeOffset = 0);
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

// A reply of "orbscope:": the pairs (I, Q) repeated to 1024, and, when
// trailing >= 0, the model byte and the modulation byte.
std::string ConstellationReply(int i, int q, int model = -1, int modulation = -1);

}  // namespace orbscope::test
