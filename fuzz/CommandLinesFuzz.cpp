// The command lines of orbscope, modemsim and specterm-dataset: the input is
// the arguments, separated by NUL bytes (orbscope takes them as one text).

#include "FuzzInput.h"
#include "Options.h"
#include "monitor/CommandLine.h"
#include "processing/DatasetTool.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::Text(data, size);
  const std::vector<std::string> args = fuzz::Split(text, '\0');

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
