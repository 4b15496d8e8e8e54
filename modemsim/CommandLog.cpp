#include "CommandLog.h"

#include <QDateTime>

#include <cctype>
#include <stdexcept>

namespace modemsim {

CommandLog::CommandLog(const std::string& path) {
  if (path.empty()) {
    out_ = stderr;
    return;
  }
  file_.reset(std::fopen(path.c_str(), "a"));
  if (!file_) throw std::runtime_error("cannot open log file " + path);
  out_ = file_.get();
}

void CommandLog::Write(int session, std::string_view text) {
  std::string line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toStdString();
  line += " #" + std::to_string(session) + " ";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      line += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      line += hex;
    }
  }
  line += '\n';
  std::fputs(line.c_str(), out_);
  std::fflush(out_);
}

void CommandLog::Command(int session, std::string_view line) {
  std::string verb(line.substr(0, line.find(' ')));
  for (char& c : verb) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (verb == "PASS") {
    Write(session, "> PASS ****");
    return;
  }
  Write(session, std::string("> ").append(line));
}

}  // namespace modemsim
