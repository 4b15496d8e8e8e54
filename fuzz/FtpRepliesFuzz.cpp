// What an FTP server sends: reply lines on the control connection (with the
// size a SIZE reply gives) and directory listings, plus the wildcard match
// of find patterns against the names a listing gives.

#include "FuzzInput.h"
#include "wininet/FtpListing.h"
#include "wininet/ResponseInfo.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::Text(data, size);

  wininet::ReplyParser parser;
  static const char* const kCommands[] = {"", "USER", "PASS", "SIZE", "RETR", "STOR", "LIST"};
  std::size_t line = 0;
  for (const std::string& piece : fuzz::Split(text, '\n')) {
    if (parser.Line(piece + "\n", kCommands[line++ % 7])) {
      const wininet::FtpReply& reply = parser.Last();
      // Any three digits make a reply, as they do for libcurl.
      if (reply.code < 0 || reply.code > 999 || reply.text.size() < 3) std::abort();
      (void)wininet::SizeOfReply(reply);
    }
  }

  // A fixed "now", so that a crash reproduces.
  const std::vector<WIN32_FIND_DATAA> entries = wininet::ParseListing(text, 1700000000);
  const std::string pattern(text.substr(0, text.find('\n')));
  for (const WIN32_FIND_DATAA& entry : entries) {
    if (entry.cFileName[sizeof entry.cFileName - 1] != '\0') std::abort();
    wininet::WildcardMatch(pattern, entry.cFileName);
  }
  wininet::WildcardMatch(pattern, text);
  return 0;
}
