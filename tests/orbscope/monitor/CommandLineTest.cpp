// The command line and the program's argument handling.

#include "monitor/CommandLine.h"
#include "monitor/ProgramEntry.h"

#include <gtest/gtest.h>

namespace {

using orbscope::ParseCommandLine;

TEST(CommandLineTest, QuotedAddressStartsAutomatically) {
  const auto line = ParseCommandLine("\"-a127.0.2.20\"");
  EXPECT_EQ(line.address, "127.0.2.20");
  EXPECT_TRUE(line.addressGiven);
  EXPECT_TRUE(line.startAutomatically);
  EXPECT_EQ(orbscope::WindowTitle(line.addressGiven, line.address), "Orbscope (127.0.2.20)");
}

TEST(CommandLineTest, TheAddressEndsAtTheFirstSpace) {
  const auto line = ParseCommandLine("-a127.0.1.5 -x other");
  EXPECT_EQ(line.address, "127.0.1.5");
  EXPECT_TRUE(line.startAutomatically);
}

TEST(CommandLineTest, OptionsBeforeTheAddressOptionAreSkipped) {
  EXPECT_EQ(ParseCommandLine("/quiet -a127.0.0.1:2121").address, "127.0.0.1:2121");
}

TEST(CommandLineTest, OptionAloneGivesNoAddress) {
  const auto line = ParseCommandLine("-a");
  EXPECT_EQ(line.address, "");
  EXPECT_FALSE(line.addressGiven);
  EXPECT_FALSE(line.startAutomatically);
  EXPECT_FALSE(ParseCommandLine("-a ignored").addressGiven) << "a space right after the option";
}

TEST(CommandLineTest, EmptyCommandLine) {
  const auto line = ParseCommandLine("");
  EXPECT_EQ(line.address, "");
  EXPECT_FALSE(line.addressGiven);
  EXPECT_EQ(orbscope::WindowTitle(line.addressGiven, line.address), "Orbscope");
}

TEST(CommandLineTest, WithoutTheOptionTheTextIsTheAddressButNothingStarts) {
  const auto line = ParseCommandLine("127.1.1.1");
  EXPECT_EQ(line.address, "127.1.1.1");
  EXPECT_FALSE(line.addressGiven);
  EXPECT_FALSE(line.startAutomatically);
}

TEST(CommandLineTest, QuotesAreDroppedOnlyAsAPairAroundTheWhole) {
  EXPECT_EQ(ParseCommandLine("\"-a127.2.3.4").address, "127.2.3.4") << "an opening quote alone";
  EXPECT_EQ(ParseCommandLine("\"-a127.2\"3.4\"").address, "127.2\"3.4\"") << "a quote inside keeps the last one";
  EXPECT_EQ(ParseCommandLine("-a127.2.3.4\"").address, "127.2.3.4\"") << "no opening quote";
}

TEST(ProgramArgumentsTest, TheSnapshotOptionIsTakenOut) {
  const auto args = orbscope::SplitArguments({"orbscope", "-a127.0.0.1:2121", "--snapshot", "/tmp/x-a.png"});
  EXPECT_EQ(args.commandLine, "-a127.0.0.1:2121");
  EXPECT_EQ(args.snapshotFile, "/tmp/x-a.png");
  EXPECT_FALSE(args.snapshotMissingFile);
  EXPECT_TRUE(orbscope::SplitArguments({"orbscope", "--snapshot"}).snapshotMissingFile);
  EXPECT_EQ(orbscope::SplitArguments({"orbscope", "-a127.2.3.4", "more"}).commandLine, "-a127.2.3.4 more");
}

}  // namespace
