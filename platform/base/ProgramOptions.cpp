#include "base/ProgramOptions.h"

#include "Version.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <string_view>

namespace halden {

namespace {

constexpr std::size_t kOptionColumn = 24;

const OptionSpec kHelpOption{"--help", "", "show this help and exit"};
const OptionSpec kVersionOption{"--version", "", "show the version and exit"};

void Paragraph(std::ostringstream& text, const std::string& title, const std::string& body) {
  if (body.empty()) return;
  text << "\n" << title << ":\n";
  std::istringstream lines(body);
  for (std::string line; std::getline(lines, line);) text << (line.empty() ? "" : "  ") << line << "\n";
}

void OptionLine(std::ostringstream& text, const OptionSpec& option) {
  std::string left = "  " + option.name + (option.value.empty() ? "" : " " + option.value);
  if (left.size() + 2 > kOptionColumn) {
    text << left << "\n" << std::string(kOptionColumn, ' ');
  } else {
    left.resize(kOptionColumn, ' ');
    text << left;
  }
  // Further lines of the text line up under the first.
  std::istringstream lines(option.text);
  std::string line;
  for (bool first = true; std::getline(lines, line); first = false)
    text << (first ? "" : std::string(kOptionColumn, ' ')) << line << "\n";
}

}  // namespace

std::string HelpText(const ProgramHelp& help) {
  std::ostringstream text;
  for (std::size_t i = 0; i < help.usage.size(); ++i) text << (i == 0 ? "Usage: " : "   or: ") << help.usage[i] << "\n";
  if (!help.summary.empty()) text << help.summary << (help.summary.back() == '\n' ? "" : "\n");
  text << "\nOptions:\n";
  for (const OptionSpec& option : help.options) OptionLine(text, option);
  OptionLine(text, kHelpOption);
  OptionLine(text, kVersionOption);
  Paragraph(text, "Settings", help.settings);
  text << "\nExit codes:\n";
  for (const ExitCodeSpec& exit : help.exitCodes) text << "  " << exit.code << "  " << exit.text << "\n";
  if (!help.notes.empty()) text << "\n" << help.notes << (help.notes.back() == '\n' ? "" : "\n");
  return text.str();
}

std::string VersionText(const std::string& program) { return program + " " + kVersionText + "\n"; }

std::string UsageErrorText(const std::string& program, const std::vector<std::string>& usage,
                           const std::string& problem) {
  std::ostringstream text;
  text << program << ": " << problem << "\n";
  for (std::size_t i = 0; i < usage.size(); ++i) text << (i == 0 ? "Usage: " : "   or: ") << usage[i] << "\n";
  text << "Try '" << program << " --help' for more information.\n";
  return text.str();
}

CommandLineCheck CheckCommandLine(const ProgramHelp& help, const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err, const ExtraArguments& extra) {
  CommandLineCheck result;
  auto fail = [&](const std::string& problem) {
    err << UsageErrorText(help.program, help.usage, problem);
    result.exitCode = kExitUsage;
    return result;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      out << HelpText(help);
      result.exitCode = kExitOk;
      return result;
    }
    if (arg == "--version") {
      out << VersionText(help.program);
      result.exitCode = kExitOk;
      return result;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (const std::size_t equals = arg.find('=');
        help.inlineValues && arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      name = arg.substr(0, equals);
      inlineValue = arg.substr(equals + 1);
    }
    const auto option = std::find_if(help.options.begin(), help.options.end(),
                                     [&](const OptionSpec& option) { return option.name == name; });
    if (option != help.options.end()) {
      if (option->value.empty()) {
        if (inlineValue) return fail("option '" + name + "' takes no value");
        result.values[name] = "";
      } else if (inlineValue) {
        result.values[name] = *inlineValue;
      } else if (i + 1 < args.size()) {
        result.values[name] = args[++i];
      } else {
        return fail("option '" + name + "' needs a value (" + option->value + ")");
      }
      continue;
    }
    if (const std::size_t taken = extra ? extra(args, i) : 0; taken > 0) {
      const std::size_t end = std::min(args.size(), i + taken);
      result.arguments.insert(result.arguments.end(), args.begin() + static_cast<std::ptrdiff_t>(i),
                              args.begin() + static_cast<std::ptrdiff_t>(end));
      i = end - 1;
      continue;
    }
    if (arg.size() > 1 && arg.front() == '-') return fail("unknown option '" + arg + "'");
    return fail("unexpected argument '" + arg + "'");
  }
  return result;
}

std::size_t ToolkitOption(const std::vector<std::string>& args, std::size_t i) {
  // As QGuiApplication and QApplication take them, with one or two dashes.
  static constexpr std::array<std::string_view, 16> kWithValue = {
      "platform",   "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "geometry", "qwindowtitle",
      "title",      "qwindowicon",        "icon",          "session", "display",         "name",     "style",
      "stylesheet", "qmljsdebugger"};
  static constexpr std::array<std::string_view, 6> kFlags = {"reverse", "widgetcount", "nograb",
                                                             "dograb",  "sync",        "testability"};
  std::string_view arg = args[i];
  if (arg.rfind("--", 0) == 0) {
    arg.remove_prefix(2);
  } else if (arg.rfind('-', 0) == 0) {
    arg.remove_prefix(1);
  } else {
    return 0;
  }
  const std::size_t equals = arg.find('=');
  const std::string_view name = arg.substr(0, equals);
  if (std::find(kFlags.begin(), kFlags.end(), name) != kFlags.end()) return equals == std::string_view::npos ? 1 : 0;
  if (std::find(kWithValue.begin(), kWithValue.end(), name) == kWithValue.end()) return 0;
  if (equals != std::string_view::npos) return 1;
  return i + 1 < args.size() ? 2 : 0;
}

std::string SettingsFolderRule() {
  return "the folder named by HALDEN_REGISTRY_DIR, else in $XDG_CONFIG_HOME/halden\n"
         "(default ~/.config/halden)";
}

}  // namespace halden
