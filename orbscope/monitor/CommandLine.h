#pragma once

// The program's command line: "-a" immediately followed by the modem's
// address starts the monitor on that modem.

#include "base/ProgramOptions.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orbscope {

struct CommandLine {
  std::string address;  // the monitor's initial modem address
  bool addressGiven = false;
  bool startAutomatically = false;
};

// Parses the text after the program name, as the system passes it.
CommandLine ParseCommandLine(std::string text);

// The main window's title: "Orbscope (address)", or "Orbscope" without an
// address.
std::string WindowTitle(bool withAddress, const std::string& address);

// The program's --help, --version and usage errors (checked before the
// window system is opened).
halden::ProgramHelp ProgramHelp();

// The arguments of the program's own form, for halden::CheckCommandLine:
// "-a" with the address, a command line quoted as a whole, text without a
// dash (taken as the address, as the classic command line does), Qt's own
// options, and any option after "-aADDRESS".
std::size_t OwnArgument(const std::vector<std::string>& args, std::size_t i);

// "-a", a space and an address gives no address: a line on standard error
// that says how to write it; empty for any other command line.
std::string SpaceAfterOptionHint(const std::vector<std::string>& args);

}  // namespace orbscope
