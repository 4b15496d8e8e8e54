#include "CommandLine.h"

#include <algorithm>

namespace orbscope {

CommandLine ParseCommandLine(std::string text) {
  // A command line quoted as a whole (as some shortcuts pass it) loses its
  // quotes.
  if (!text.empty() && text.front() == '"') {
    text.erase(0, 1);
    const std::size_t quote = text.find('"');
    if (quote != std::string::npos && quote + 1 == text.size()) text.pop_back();
  }
  CommandLine result;
  const std::size_t option = text.find("-a");
  if (option != std::string::npos && text.size() >= option + 2) {
    text = text.substr(option + 2);
    const std::size_t space = text.find(' ');
    if (space != std::string::npos) text.resize(space);
    if (!text.empty()) result.addressGiven = result.startAutomatically = true;
  }
  result.address = text;
  return result;
}

halden::ProgramHelp ProgramHelp() {
  halden::ProgramHelp help;
  help.program = "orbscope";
  help.usage = {"orbscope [-aADDRESS [--snapshot FILE]]"};
  help.summary =
      "Orbscope, the IQ monitor: polls a Halden modem for 1024 I/Q pairs once a\n"
      "second over FTP, draws the constellation with its EVM, and re-flashes the\n"
      "modem's firmware. Without -a, the address is set in the window (File menu),\n"
      "and the last one is offered again at the next start.";
  help.options = {{"-aADDRESS", "",
                   "start the monitor on the modem at ADDRESS (no space after -a),\n"
                   "e.g. -a127.0.0.1:2121 for a simulator on this machine;\n"
                   "options after it that orbscope does not know are ignored"},
                  {"--snapshot", "FILE", "with -a: write the first plot drawn to FILE (PNG), then quit"}};
  help.settings =
      "The last modem address set or given (offered by File > Set Modem Address...)\n"
      "and the last firmware image and target: HKEY_LOCAL_MACHINE.reg in\n" +
      halden::SettingsFolderRule() + ".";
  help.exitCodes = {{halden::kExitOk, "the window was closed (also after an error shown in a message box)"},
                    {halden::kExitFailure,
                     "no display to open the window on (one line on standard error says so), or\n"
                     "     --snapshot: nothing read and drawn within a minute, or FILE not written"},
                    {halden::kExitUsage, "the command line is wrong"}};
  help.notes = "Qt's own options (-platform NAME, -style NAME, ...) are accepted too.";
  // "--snapshot=FILE" would reach the address text.
  help.inlineValues = false;
  return help;
}

namespace {
bool IsAddressOption(const std::string& arg) { return arg.size() > 2 && arg.rfind("-a", 0) == 0; }
}  // namespace

std::size_t OwnArgument(const std::vector<std::string>& args, std::size_t i) {
  const std::string& arg = args[i];
  if (arg.rfind("-a", 0) == 0 || arg.empty() || arg.front() != '-') return 1;
  if (const std::size_t toolkit = halden::ToolkitOption(args, i); toolkit > 0) return toolkit;
  // "-a", an address, a space and further options: the address is taken
  // and the options after it are left alone, as the classic command line
  // does.
  const auto end = args.begin() + static_cast<std::ptrdiff_t>(i);
  return std::any_of(args.begin(), end, IsAddressOption) ? 1 : 0;
}

std::string SpaceAfterOptionHint(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "-a" && !args[i + 1].empty() && args[i + 1].front() != '-')
      return "orbscope: the address follows -a without a space (-a" + args[i + 1] + "); starting without one\n";
  }
  return {};
}

std::string WindowTitle(bool withAddress, const std::string& address) {
  return withAddress ? "Orbscope (" + address + ")" : "Orbscope";
}

}  // namespace orbscope
