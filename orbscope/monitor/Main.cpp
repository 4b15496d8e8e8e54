#include "CommandLine.h"
#include "ProgramEntry.h"
#include "base/ProgramOptions.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  // Before the display is opened, so that --help works without one.
  const halden::ProgramHelp help = orbscope::ProgramHelp();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const halden::CommandLineCheck check =
      halden::CheckCommandLine(help, args, std::cout, std::cerr, orbscope::OwnArgument);
  if (check.exitCode) return *check.exitCode;
  std::cerr << orbscope::SpaceAfterOptionHint(args);
  if (check.values.count("--snapshot") != 0) {
    // The command-line text as the program will see it: without Qt's
    // options and the snapshot file.
    std::string text;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (const std::size_t toolkit = halden::ToolkitOption(args, i); toolkit > 0) {
        i += toolkit - 1;
      } else if (args[i] == "--snapshot") {
        ++i;
      } else {
        text += (text.empty() ? "" : " ") + args[i];
      }
    }
    if (!orbscope::ParseCommandLine(text).startAutomatically) {
      std::cerr << halden::UsageErrorText(help.program, help.usage, "--snapshot needs -aADDRESS, a modem to draw");
      return halden::kExitUsage;
    }
  }
  return orbscope::OrbscopeMain(argc, argv);
}
