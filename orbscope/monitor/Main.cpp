#include "CommandLine.h"
#include "ProgramEntry.h"
#include "base/ProgramOptions.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  // Before the display is opened, so that --help works without one.
  const halden::CommandLineCheck check =
      halden::CheckCommandLine(orbscope::ProgramHelp(), std::vector<std::string>(argv + 1, argv + argc), std::cout,
                               std::cerr, orbscope::OwnArgument);
  if (check.exitCode) return *check.exitCode;
  return orbscope::OrbscopeMain(argc, argv);
}
