// The command-line conventions of all four programs: --help, --version, and
// an unknown option named with the usage and exit code 2, each without a
// display; and each program's own options still taken.

#include "ProgramRun.h"
#include "TestSupport.h"
#include "Version.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct CommandLineCase {
  const char* name;
  const char* program;
  QStringList args;
  int exitCode;
  std::vector<std::string> inOut;  // texts standard output must hold
  std::vector<std::string> inErr;  // texts standard error must hold
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

const std::string kVersion = kVersionText;

const CommandLineCase kCases[] = {
    {"specterm_help",
     "specterm",
     {"--help"},
     0,
     {"Usage: specterm", "--snapshot FILE", "--version", "HALDEN_REGISTRY_DIR", "Exit codes:"},
     {}},
    {"orbscope_help",
     "orbscope",
     {"-h"},
     0,
     {"Usage: orbscope", "-aADDRESS", "--snapshot FILE", "HALDEN_REGISTRY_DIR", "Exit codes:"},
     {}},
    {"modemsim_help", "modemsim", {"--help"}, 0, {"Usage: modemsim", "--fault", "Settings:", "Exit codes:"}, {}},
    {"dataset_help",
     "specterm-dataset",
     {"--help"},
     0,
     {"Usage: specterm-dataset", "--kind KIND", "Settings:", "Exit codes:"},
     {}},

    {"specterm_version", "specterm", {"--version"}, 0, {"specterm " + kVersion + "\n"}, {}},
    {"orbscope_version", "orbscope", {"--version"}, 0, {"orbscope " + kVersion + "\n"}, {}},
    {"modemsim_version", "modemsim", {"--version"}, 0, {"modemsim " + kVersion + "\n"}, {}},
    {"dataset_version", "specterm-dataset", {"--version"}, 0, {"specterm-dataset " + kVersion + "\n"}, {}},

    {"specterm_unknown", "specterm", {"--frobnicate"}, 2, {}, {"'--frobnicate'", "Usage: specterm"}},
    {"orbscope_unknown", "orbscope", {"-a127.0.0.1", "-x"}, 2, {}, {"'-x'", "Usage: orbscope"}},
    {"modemsim_unknown", "modemsim", {"--port", "0", "--frobnicate"}, 2, {}, {"'--frobnicate'", "Usage: modemsim"}},
    {"dataset_unknown",
     "specterm-dataset",
     {"--kind", "raw", "--colour", "on", "x.bin"},
     2,
     {},
     {"'--colour'", "Usage: specterm-dataset"}},

    // Each program's own options are still taken, with their own errors.
    {"specterm_snapshot_needs_file", "specterm", {"--snapshot"}, 2, {}, {"'--snapshot' needs a value"}},
    {"orbscope_snapshot_needs_address", "orbscope", {"--snapshot", "x.png"}, 2, {}, {"-aADDRESS", "Usage: orbscope"}},
    {"orbscope_snapshot_not_inline", "orbscope", {"--snapshot=x.png"}, 2, {}, {"'--snapshot=x.png'"}},
    {"modemsim_bad_port", "modemsim", {"--port", "70000"}, 2, {}, {"--port", "Usage: modemsim"}},
    {"dataset_missing_block",
     "specterm-dataset",
     {"--kind", "raw", "/nonexistent/block.bin"},
     1,
     {},
     {"/nonexistent/block.bin"}},
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AnswersAsDocumented) {
  const CommandLineCase& c = GetParam();
  const programs::RunResult run = programs::Run(testsupport::BinDir() + "/" + c.program, c.args);
  ASSERT_TRUE(run.finished) << run.err;
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  for (const std::string& text : c.inOut) EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
  for (const std::string& text : c.inErr) EXPECT_NE(run.err.find(text), std::string::npos) << text << "\n" << run.err;
  // Help and version go to standard output only; errors to standard error.
  if (c.exitCode == 0) {
    EXPECT_EQ(run.err, "");
  }
  if (c.exitCode == 2) {
    EXPECT_EQ(run.out, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, CommandLineTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

}  // namespace
