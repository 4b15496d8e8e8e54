// The command lines of specterm, orbscope, modemsim and specterm-dataset:
// the input is the arguments, separated by NUL bytes (orbscope takes them as
// one text).

#include "FuzzInput.h"
#include "Options.h"
#include "base/ProgramOptions.h"
#include "monitor/CommandLine.h"
#include "processing/DatasetTool.h"

#include <cstdlib>
#include <sstream>

namespace {

// Specterm's table: its one option, and the toolkit's options beside it.
const halden::ProgramHelp& SpectermHelp() {
  static const halden::ProgramHelp help = [] {
    halden::ProgramHelp h;
    h.program = "specterm";
    h.usage = {"specterm [--snapshot FILE]"};
    h.options = {{"--snapshot", "FILE", "write a picture of the window to FILE"}};
    return h;
  }();
  return help;
}

// Specterm checks its command line before it opens the display: it either
// ends (0 for --help and --version, 2 with a message for anything else) or
// starts with only what its table names.
void CheckSpecterm(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const halden::CommandLineCheck check =
      halden::CheckCommandLine(SpectermHelp(), args, out, err, halden::ToolkitOption);
  if (check.exitCode) {
    if (*check.exitCode == halden::kExitOk ? out.str().empty() : err.str().empty()) std::abort();
    return;
  }
  for (const auto& [name, value] : check.values)
    if (name != "--snapshot") std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::Text(data, size);
  const std::vector<std::string> args = fuzz::Split(text, '\0');
  CheckSpecterm(args);

  std::string joined;
  for (const std::string& arg : args) joined += (joined.empty() ? "" : " ") + arg;
  const orbscope::CommandLine orbscope = orbscope::ParseCommandLine(joined);
  if (orbscope.startAutomatically && orbscope.address.empty()) std::abort();

  std::string error;
  if (const auto options = modemsim::ParseOptions(args, &error)) {
    if (options->port < 0 || options->port > 65535) std::abort();
  } else if (error.empty()) {
    std::abort();  // a refusal always says why
  }

  specterm::ToolOptions tool;
  bool help = false;
  if (!specterm::ParseToolArguments(args, tool, help) && !help && (!tool.Kind || tool.Files.empty())) std::abort();
  return 0;
}
