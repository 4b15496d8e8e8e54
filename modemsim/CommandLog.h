#pragma once

// The command log: one line per command and per session event, flushed at
// once so that a test can read it while the server runs.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace modemsim {

class CommandLog {
 public:
  // An empty path logs to standard error. Throws std::runtime_error when
  // the file cannot be opened.
  explicit CommandLog(const std::string& path);

  // "TIME #SESSION TEXT"; bytes outside printable ASCII are written as \xHH.
  void Write(int session, std::string_view text);
  // A received command line, with the argument of PASS masked.
  void Command(int session, std::string_view line);

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::FILE* out_ = nullptr;
};

}  // namespace modemsim
