#pragma once

// The command-line conventions every program of the tool set shares:
//   --help (-h)   the usage, the options, where settings live, the exit codes
//   --version     "<program> <release>"
//   an unknown option or a stray argument is named on standard error with the
//   usage, and the program ends with exit code 2.
// Programs check their command line with CheckCommandLine before they start
// anything (a GUI program before it opens the display, so --help works over
// ssh and in scripts).

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace halden {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct OptionSpec {
  std::string name;   // "--snapshot"
  std::string value;  // "FILE"; empty for an option without a value
  std::string text;   // help; further lines after "\n"
};

struct ExitCodeSpec {
  int code;
  std::string text;
};

struct ProgramHelp {
  std::string program;              // "specterm"
  std::vector<std::string> usage;   // synopsis lines after "Usage: "
  std::string summary;              // what the program does, a few lines
  std::vector<OptionSpec> options;  // --help and --version are added
  std::string settings;             // where the program's settings live
  std::vector<ExitCodeSpec> exitCodes;
  std::string notes;         // optional closing paragraph
  bool inlineValues = true;  // "--name=value" is accepted too
};

// Takes arguments the table does not describe (a program's own forms, the
// toolkit's options): returns how many arguments from index i on it takes,
// 0 for none.
using ExtraArguments = std::function<std::size_t(const std::vector<std::string>& args, std::size_t i)>;

struct CommandLineCheck {
  std::optional<int> exitCode;                // set: the program ends now with it
  std::map<std::string, std::string> values;  // option name -> value ("" for a flag); last wins
  std::vector<std::string> arguments;         // what ExtraArguments took, in order
};

std::string HelpText(const ProgramHelp& help);
std::string VersionText(const std::string& program);  // "specterm 1.0.14\n"
// "<program>: <problem>", the usage lines and where to find more.
std::string UsageErrorText(const std::string& program, const std::vector<std::string>& usage,
                           const std::string& problem);

// Checks args (without the program name): --help and --version print to out
// and end with 0; anything unknown prints a usage error to err and ends with 2.
CommandLineCheck CheckCommandLine(const ProgramHelp& help, const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err, const ExtraArguments& extra = {});

// The options the Qt toolkit takes from a GUI program's command line
// (-platform NAME, -style NAME, -reverse, ...), for ExtraArguments.
std::size_t ToolkitOption(const std::vector<std::string>& args, std::size_t i);

// Where the registry files of the programs live, for help texts.
std::string SettingsFolderRule();

}  // namespace halden
