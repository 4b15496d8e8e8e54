#pragma once

// What the control connection's text means, apart from the session: the
// split of a command line into verb and argument, and the arguments of
// PORT, EPRT, REST and LIST. Pure functions, so that every byte a client
// may send can be tried on them directly.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace modemsim {

struct ParsedCommand {
  std::string verb;  // upper case; the line up to its first blank
  std::string arg;   // the rest after that blank, trailing blanks removed
  // Bytes below 0x20 or 0x7F anywhere in the line (after the clean-up).
  bool hasControlBytes = false;
};

// The line without its final CR and without the telnet interrupt bytes
// (0xF0 and above) that some clients send before ABOR.
std::string_view CleanCommandLine(std::string_view line);

// Splits a cleaned line.
ParsedCommand ParseCommand(std::string_view line);

// "h1,h2,h3,h4,p1,p2" of PORT: the IPv4 address (host order) and the port.
struct PortTarget {
  std::uint32_t ipv4 = 0;
  int port = 0;
};
std::optional<PortTarget> ParsePortArgument(const std::string& arg);

// "|proto|address|port|" of EPRT, with any delimiter: the address text and
// the port. The protocol must be 1 or 2; the address is not checked here.
struct EprtTarget {
  std::string address;
  int port = 0;
};
std::optional<EprtTarget> ParseEprtArgument(const std::string& arg);

// The byte offset of REST: decimal digits, 0 or more.
std::optional<std::int64_t> ParseRestOffset(const std::string& arg);

// The path of LIST or NLST; options such as "-a" or "-l" before it are
// skipped.
std::string ListPath(const std::string& arg);

}  // namespace modemsim
