#pragma once

// Shared helpers of the test binaries: waiting on a condition with a
// deadline, temporary folders, child processes (servers the tests start on
// loopback) and the simulator.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

using namespace std::chrono_literals;

// Polls pred until it holds or the timeout passes; returns its last value.
// When a Qt application exists, its events are processed while waiting.
bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout = 10s);

// A fresh folder under the system's temporary folder, removed with its
// contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort();

// A child process with its standard output on a pipe; killed (SIGTERM, then
// SIGKILL) and reaped on destruction.
class ChildProcess {
 public:
  // argv[0] is the program path. Extra environment entries are "NAME=value".
  explicit ChildProcess(std::vector<std::string> argv, std::vector<std::string> extraEnv = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running();
  int Pid() const { return pid_; }
  // The next line of standard output (without the newline), or nothing when
  // the timeout passes or the output ends first.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = 10s);
  // Sends a signal (SIGTERM by default) and waits for the exit; returns the
  // exit status as waitpid reports it, or -1.
  int Stop(int signal = 15, std::chrono::milliseconds timeout = 5s);

 private:
  int pid_ = -1;
  int stdoutFd_ = -1;
  std::string pending_;
  bool reaped_ = false;
  int status_ = -1;
};

// Reads a whole file; empty when it does not exist.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);

// The folder holding the built programs (modemsim, specterm, libFFT.so,
// orbscope and the test binaries themselves).
std::string BinDir();

// The simulator, started on a free loopback port with its command log in a
// temporary folder.
class ModemSim {
 public:
  explicit ModemSim(std::vector<std::string> extraArgs = {});
  int Port() const { return port_; }
  // "127.0.0.1:PORT", as the programs take a modem address.
  std::string Address() const;
  std::string LogPath() const { return log_; }
  // The log lines written so far.
  std::vector<std::string> LogLines() const;
  ChildProcess& Process() { return *process_; }

 private:
  TempDir dir_;
  std::string log_;
  int port_ = 0;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace testsupport
