// The command lines of the four programs, without a display: --help,
// --version, an unknown option named with the usage (exit code 2), and some
// of each program's own options.

#include "ProgramRun.h"
#include "TestSupport.h"
#include "Version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct CommandLineCase {
  const char* name;
  const char* program;
  QStringList args;
  int exitCode;
  std::string printed;  // on standard output for exit code 0, else on standard error
  int errLines = -1;    // when set: the lines on standard error
};
void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

const std::string kVersion = kVersionText;
const CommandLineCase kCases[] = {
    {"specterm_help", "specterm", {"--help"}, 0, "--snapshot FILE"},
    {"orbscope_help", "orbscope", {"-h"}, 0, "-aADDRESS"},
    {"modemsim_help", "modemsim", {"--help"}, 0, "--fault"},
    {"dataset_help", "specterm-dataset", {"--help"}, 0, "--kind KIND"},
    {"specterm_version", "specterm", {"-platform", "xcb", "--version"}, 0, "specterm " + kVersion + "\n"},
    {"orbscope_version", "orbscope", {"--version"}, 0, "orbscope " + kVersion + "\n"},
    {"modemsim_version", "modemsim", {"--version"}, 0, "modemsim " + kVersion + "\n"},
    {"dataset_version", "specterm-dataset", {"--version"}, 0, "specterm-dataset " + kVersion + "\n"},
    {"specterm_unknown", "specterm", {"--frob"}, 2, "specterm: unknown option '--frob'\nUsage: specterm"},
    {"orbscope_unknown", "orbscope", {"-x", "-a127.0.0.1"}, 2, "orbscope: unknown option '-x'\nUsage: orbscope"},
    {"modemsim_unknown", "modemsim", {"--frob"}, 2, "modemsim: unknown option '--frob'\nUsage: modemsim"},
    {"dataset_unknown", "specterm-dataset", {"--frob", "a.bin"}, 2, "unknown option '--frob'\nUsage: specterm-"},
    {"specterm_snapshot_needs_file", "specterm", {"--snapshot"}, 2, "'--snapshot' needs a value"},
    {"specterm_name_needs_modem", "specterm", {"--name", "Lab"}, 2, "specterm: --name needs --modem"},
    {"orbscope_snapshot_needs_address", "orbscope", {"--snapshot", "x.png"}, 2, "--snapshot needs -aADDRESS"},
    {"modemsim_bad_port", "modemsim", {"--port", "70000"}, 2, "--port"},
    {"dataset_missing_block", "specterm-dataset", {"--kind", "raw", "/nonexistent.bin"}, 1, "/nonexistent.bin"},
    // Without a display the window programs say so in one line.
    {"specterm_no_display",
     "specterm",
     {},
     1,
     "specterm: cannot open its window: no display (DISPLAY is not set)\n",
     1},
    {"orbscope_options_after_the_address",
     "orbscope",
     {"-a127.0.0.1:9", "-z"},
     1,
     "orbscope: cannot open its window: no display",
     1},
    {"orbscope_space_after_a",
     "orbscope",
     {"-a", "127.0.0.1:9"},
     1,
     "orbscope: the address follows -a without a space (-a127.0.0.1:9)",
     2},
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AnswersAsDocumented) {
  const CommandLineCase& c = GetParam();
  const programs::RunResult run =
      programs::Run(QString::fromStdString(testsupport::BinDir() + "/" + c.program), c.args);
  ASSERT_TRUE(run.finished) << run.err;
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  EXPECT_NE((c.exitCode == 0 ? run.out : run.err).find(c.printed), std::string::npos) << run.out << run.err;
  if (c.exitCode == 0) {
    EXPECT_EQ(run.err, "");
  }
  if (c.errLines >= 0) {
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), c.errLines) << run.err;
  }
  // Every help tells where settings live and what the exit codes mean.
  if (c.args.contains("--help") || c.args.contains("-h")) {
    EXPECT_NE(run.out.find("\nSettings:\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nExit codes:\n"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, CommandLineTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

}  // namespace
