#pragma once

// The program's command line: "-a" immediately followed by the modem's
// address starts the monitor on that modem.

#include <string>

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

}  // namespace orbscope
