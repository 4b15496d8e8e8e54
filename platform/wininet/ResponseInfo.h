#pragma once

// The calling thread's last server reply, as InternetGetLastResponseInfoA
// returns it, and the parsing of FTP replies from the control connection.

#include "wininet/WinInet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wininet {

// One complete server reply (all lines of a multi-line reply).
struct FtpReply {
  int code = 0;
  std::string text;     // as sent, without the final line end
  std::string command;  // verb of the command it answers ("" for the greeting)
};

// Assembles reply lines as the control connection delivers them.
class ReplyParser {
 public:
  // Feeds one line (with or without its line end). Returns true when the
  // line completed a reply, which is then in Last().
  bool Line(std::string_view line, const std::string& command);
  const FtpReply& Last() const { return last_; }

 private:
  FtpReply current_;
  bool inMultiLine_ = false;
  FtpReply last_;
};

// The size a "213 <bytes>" reply to SIZE gives; nothing for any other reply
// or for a number too large for 64 bits.
std::optional<std::uint64_t> SizeOfReply(const FtpReply& reply);

// The thread's record: the error of the last call that talked to a server
// (0 when it succeeded) and that server's last reply text.
void SetThreadResponse(DWORD error, std::string text);
DWORD ThreadResponseError();
const std::string& ThreadResponseText();

}  // namespace wininet
