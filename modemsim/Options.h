#pragma once

// The simulator's command line.

#include "ConstellationSynth.h"
#include "Faults.h"
#include "SpectrumSynth.h"

#include <optional>
#include <string>
#include <vector>

namespace modemsim {

inline constexpr int kDefaultPort = 2121;
inline constexpr const char* kDefaultListen = "127.0.0.1";
inline constexpr const char* kUsage = "modemsim [OPTION]...";

struct Options {
  std::string listen = kDefaultListen;
  int port = kDefaultPort;
  SpectrumParams spectrum;
  ConstellationParams constellation;
  int flashBlocks = 10;
  int flashStepMs = 500;
  std::vector<FaultChange> faults;  // in command-line order
  std::string logFile;              // empty: standard error
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. On failure returns nothing
// and sets error to a one-line message.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error);

std::string HelpText();

}  // namespace modemsim
