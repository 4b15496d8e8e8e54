// specterm-dataset, run as the program it is: the same data sets as the
// in-process chain, its options, and its errors.

#include "TestBlocks.h"
#include "TestSupport.h"
#include "processing/DataSetExport.h"
#include "processing/Recording.h"
#include "processing/TraceCsv.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

using namespace std::chrono_literals;

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

RunResult RunTool(const std::string& program, const std::vector<std::string>& args, const testsupport::TempDir& dir) {
  std::string command = Quote(program);
  for (const std::string& a : args) {
    command += ' ';
    command += Quote(a);
  }
  command += " 2>" + Quote(dir.File("stderr.txt"));
  RunResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = testsupport::ReadFile(dir.File("stderr.txt"));
  return result;
}

std::string Tool() { return testsupport::BinDir() + "/specterm-dataset"; }

// The in-process chain over the same blocks.
std::unique_ptr<specterm::SpectrumState> Chain(const std::vector<std::string>& blocks,
                                               const specterm::UpdateOptions& options) {
  auto state = std::make_unique<specterm::SpectrumState>();
  const auto loaded = specterm::FftLibrary::Shared();
  EXPECT_TRUE(loaded) << loaded.Error;
  const specterm::SpectrumUpdater updater(loaded.Library);
  for (const std::string& block : blocks) {
    specterm::ParseBlock(std::string_view(block), state->Block);
    updater.Update(*state, options);
  }
  return state;
}

TEST(DatasetTool, ScaledDataSetOfABlockFile) {
  testsupport::TempDir dir;
  const std::string block = blocks::ToneBlock(700000, 1, 30, 4);
  testsupport::WriteFile(dir.File("a.bin"), block);
  const RunResult run = RunTool(Tool(), {"--kind", "scaled", dir.File("a.bin")}, dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, specterm::DataSetText(specterm::ExportKind::Scaled, *Chain({block}, {true, true, true})));
  EXPECT_EQ(run.out.rfind("\"Point\",\"I_Data\",\"Q_Data\"\r\n\"1\",\"700\",", 0), 0u);
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(DatasetTool, AccumulatesOverBlocksInOrderWithTheGivenSwitches) {
  testsupport::TempDir dir;
  std::vector<std::string> blocks;
  std::vector<std::string> files;
  for (int n = 0; n < 3; ++n) {
    blocks.push_back(blocks::ToneBlock(700000 + 1000 * static_cast<std::uint32_t>(n), 1, 30 + n, 10 + n));
    files.push_back(dir.File("b" + std::to_string(n) + ".bin"));
    testsupport::WriteFile(files.back(), blocks.back());
  }
  std::vector<std::string> args = {"--kind=peakhold", "--window", "off", "--average", "off"};
  args.insert(args.end(), files.begin(), files.end());
  RunResult run = RunTool(Tool(), args, dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto expected = Chain(blocks, {false, false, true});
  EXPECT_EQ(run.out, specterm::DataSetText(specterm::ExportKind::PeakHold, *expected));

  args[0] = "--kind=average";
  args[4] = "on";
  run = RunTool(Tool(), args, dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, specterm::DataSetText(specterm::ExportKind::VideoAverage, *Chain(blocks, {false, true, true})));
}

TEST(DatasetTool, ARecordingCountsAsItsBlocks) {
  testsupport::TempDir dir;
  std::vector<std::string> blocks;
  specterm::RecordingWriter writer;
  ASSERT_FALSE(writer.Create(dir.File("day.rec")));
  for (int n = 0; n < 3; ++n) {
    blocks.push_back(blocks::ToneBlock(700000, 1, 40 + n, 20 + n));
    ASSERT_FALSE(writer.Append(n, blocks.back()));
  }
  writer.Close();
  // A torn last record is left out; a block file may follow the recording.
  testsupport::WriteFile(dir.File("torn.rec"), testsupport::ReadFile(dir.File("day.rec")) + "torn");
  testsupport::WriteFile(dir.File("b.bin"), blocks::ToneBlock(700000, 1, 50, 9));
  const RunResult run = RunTool(Tool(), {"--kind", "peakhold", dir.File("torn.rec"), dir.File("b.bin")}, dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  blocks.push_back(blocks::ToneBlock(700000, 1, 50, 9));
  EXPECT_EQ(run.out, specterm::DataSetText(specterm::ExportKind::PeakHold, *Chain(blocks, {true, true, true})));

  // One that holds no data set, or of another version, is an error.
  testsupport::WriteFile(dir.File("empty.rec"), testsupport::ReadFile(dir.File("day.rec")).substr(0, 16));
  const RunResult empty = RunTool(Tool(), {"--kind", "raw", dir.File("empty.rec")}, dir);
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("holds no whole data set"), std::string::npos) << empty.err;
}

TEST(DatasetTool, CsvKindIsTheTableOfTheTracesTheRunKept) {
  testsupport::TempDir dir;
  const std::vector<std::string> blocks = {blocks::ToneBlock(700000, 1, 30, 4), blocks::ToneBlock(700000, 1, 31, 5)};
  testsupport::WriteFile(dir.File("a.bin"), blocks[0]);
  testsupport::WriteFile(dir.File("b.bin"), blocks[1]);
  const RunResult run =
      RunTool(Tool(), {"--kind", "csv", "--average", "off", dir.File("a.bin"), dir.File("b.bin")}, dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto expected = Chain(blocks, {true, false, true});
  expected->Traces.TraceShown = {true, true, false, true};
  const std::string table = specterm::TraceCsvText(*expected, {});
  // The same table; the comment line names the block file's time.
  EXPECT_EQ(run.out.substr(run.out.find("\r\n")), table.substr(table.find("\r\n")));
  EXPECT_EQ(run.out.rfind("# modem: \"\", time: 20", 0), 0u) << run.out.substr(0, 80);
  EXPECT_NE(run.out.find("\r\nfrequency_mhz,current_db,previous_db,peak_hold_db\r\n"), std::string::npos);
}

TEST(DatasetTool, RawAndTransformedDataSets) {
  testsupport::TempDir dir;
  const std::string block = blocks::MakeBlock(
      700000, 1, [](std::size_t n) -> std::uint8_t { return n % 2 ? 127 : 128; },
      [](std::size_t) -> std::uint8_t { return 255; });
  testsupport::WriteFile(dir.File("r.bin"), block);
  const RunResult raw = RunTool(Tool(), {"--kind", "raw", dir.File("r.bin")}, dir);
  ASSERT_EQ(raw.exitCode, 0) << raw.err;
  EXPECT_EQ(raw.out.rfind("\"Point\",\"I_Data\",\"Q_Data\"\r\n\"1\",\"-127.5\",\"-.5\"\r\n\"2\",\"127\",", 0), 0u);
  const RunResult transformed = RunTool(Tool(), {"--kind", "transformed", "--window", "on", dir.File("r.bin")}, dir);
  ASSERT_EQ(transformed.exitCode, 0) << transformed.err;
  EXPECT_EQ(transformed.out,
            specterm::DataSetText(specterm::ExportKind::Transformed, *Chain({block}, {true, true, true})));
}

TEST(DatasetTool, CommandLineErrorsGiveUsage) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("a.bin"), blocks::ZeroBlock());
  const std::vector<std::vector<std::string>> bad = {
      {dir.File("a.bin")},                                                        // no kind
      {"--kind", "spectrum", dir.File("a.bin")},                                  // unknown kind
      {"--kind", "raw"},                                                          // no file
      {"--kind", "raw", "--window", "maybe", dir.File("a.bin")},                  // not on/off
      {"--kind", "raw", "--colour", "on", dir.File("a.bin")},                     // unknown option
      {"--kind"},                                                                 // value missing
      {"--measure", "69", dir.File("a.bin")},                                     // no HIGH
      {"--measure", "69:x", dir.File("a.bin")},                                   // not a number
      {"--peaks", "3", "--kind", "raw", dir.File("a.bin")},                       // table without --measure
      {"--measure", "69:71", "--peaks", "-1", dir.File("a.bin")},                 // no count
      {"--measure", "69:71", "--kind", "scaled", dir.File("a.bin")},              // not a row
      {"--measure=69:71", "--kind=average", "--average=off", dir.File("a.bin")},  // row not kept
  };
  for (const auto& args : bad) {
    const RunResult run = RunTool(Tool(), args, dir);
    EXPECT_EQ(run.exitCode, 2) << args.size();
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("Usage: specterm-dataset"), std::string::npos) << run.err;
  }
  const RunResult help = RunTool(Tool(), {"--help"}, dir);
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage:"), std::string::npos);
}

TEST(DatasetTool, UnreadableOrEmptyBlockFileFails) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("empty.bin"), "");
  RunResult run = RunTool(Tool(), {"--kind", "raw", dir.File("missing.bin")}, dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find(dir.File("missing.bin")), std::string::npos) << run.err;
  run = RunTool(Tool(), {"--kind", "raw", dir.File("empty.bin")}, dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("empty"), std::string::npos) << run.err;
}

TEST(DatasetTool, ADirectoryIsAClearErrorNamingIt) {
  testsupport::TempDir dir;
  const RunResult run = RunTool(Tool(), {"--kind", "raw", dir.Path()}, dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find(dir.Path() + " is a directory"), std::string::npos) << run.err;
}

TEST(DatasetTool, ReadsNoMoreThanABlockHolds) {
  // A stream that never ends (as /dev/zero): the block arrives and the data
  // set follows without waiting for the end.
  testsupport::TempDir dir;
  const std::string fifo = dir.File("stream");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  testsupport::ChildProcess tool({Tool(), "--kind", "raw", fifo});
  const int writer = ::open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(writer, 0);
  const std::string block = blocks::ZeroBlock() + std::string(4096, '\0');
  ASSERT_EQ(::write(writer, block.data(), block.size()), static_cast<ssize_t>(block.size()));
  const auto firstLine = tool.ReadLine(20s);
  ::close(writer);
  ASSERT_TRUE(firstLine.has_value());
  EXPECT_EQ(*firstLine + "\n",
            specterm::DataSetText(specterm::ExportKind::Raw, *Chain({blocks::ZeroBlock()}, {true, true, true}))
                .substr(0, firstLine->size() + 1));
}

TEST(DatasetTool, MissingLibraryIsAClearErrorNotACrash) {
  // The tool alone in a folder, without libFFT.so beside it.
  testsupport::TempDir dir;
  const std::string copy = dir.File("specterm-dataset");
  std::filesystem::copy_file(Tool(), copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
  testsupport::WriteFile(dir.File("a.bin"), blocks::ZeroBlock());
  const RunResult run = RunTool(copy, {"--kind", "raw", dir.File("a.bin")}, dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find(dir.File("libFFT.so")), std::string::npos) << run.err;
}

}  // namespace
