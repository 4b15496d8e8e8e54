#include "base/ProgramOptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

halden::ProgramHelp Help() {
  halden::ProgramHelp help;
  help.program = "prog";
  help.usage = {"prog [--file FILE]"};
  help.options = {{"--file", "FILE", "a file\nover two lines"}, {"--quiet", "", "say less"}};
  help.settings = "none";
  help.exitCodes = {{0, "fine"}, {2, "wrong"}};
  return help;
}

struct CheckCase {
  std::vector<std::string> args;
  std::optional<int> exitCode;
  std::string err;   // part of standard error
  std::string file;  // value of --file when the program goes on
};

class CheckCommandLineTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckCommandLineTest, TakesKnownFormsAndNamesTheRest) {
  std::ostringstream out, err;
  const halden::CommandLineCheck check =
      halden::CheckCommandLine(Help(), GetParam().args, out, err, halden::ToolkitOption);
  EXPECT_EQ(check.exitCode, GetParam().exitCode) << err.str();
  EXPECT_NE(err.str().find(GetParam().err), std::string::npos) << err.str();
  if (!check.exitCode && !GetParam().file.empty()) {
    EXPECT_EQ(check.values.at("--file"), GetParam().file);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CheckCommandLineTest,
    ::testing::Values(CheckCase{{}, std::nullopt, "", ""}, CheckCase{{"--file", "a.png"}, std::nullopt, "", "a.png"},
                      CheckCase{{"--file=b.png", "--quiet"}, std::nullopt, "", "b.png"},
                      CheckCase{{"-platform", "offscreen", "--style=fusion", "-reverse"}, std::nullopt, "", ""},
                      CheckCase{{"--file"}, 2, "'--file' needs a value (FILE)", ""},
                      CheckCase{{"--quiet=yes"}, 2, "'--quiet' takes no value", ""},
                      CheckCase{{"-platform"}, 2, "unknown option '-platform'", ""},
                      CheckCase{{"--quiet", "-x", "--help"}, 2, "unknown option '-x'\nUsage: prog [--file FILE]", ""},
                      CheckCase{{"stray"}, 2, "unexpected argument 'stray'", ""},
                      CheckCase{{"--version", "-x"}, 0, "", ""}));

TEST(ProgramHelpTest, ListsOptionsSettingsAndExitCodes) {
  const std::string help = halden::HelpText(Help());
  EXPECT_NE(help.find("Usage: prog [--file FILE]\n"), std::string::npos) << help;
  EXPECT_NE(help.find("  --file FILE           a file\n                        over two lines\n"), std::string::npos)
      << help;
  EXPECT_NE(help.find("  --version"), std::string::npos);
  EXPECT_NE(help.find("Settings:\n  none\n"), std::string::npos);
  EXPECT_NE(help.find("Exit codes:\n  0  fine\n  2  wrong\n"), std::string::npos);
}

}  // namespace
