// The data-set export: exact file format, row counts, the short number form,
// progress, and files that are replaced only when the new one is complete.

#include "TestBlocks.h"
#include "TestSupport.h"
#include "processing/DataSetExport.h"
#include "vbformat/VbFormat.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

namespace {

using specterm::ExportResult;
using specterm::SpectrumState;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::unique_ptr<SpectrumState> UpdatedState(const std::string& bytes, bool window) {
  auto state = std::make_unique<SpectrumState>();
  specterm::ParseBlock(std::string_view(bytes), state->Block);
  const auto loaded = specterm::FftLibrary::Shared();
  EXPECT_TRUE(loaded) << loaded.Error;
  const auto outcome = specterm::SpectrumUpdater(loaded.Library).Update(*state, {window, true, true});
  EXPECT_TRUE(outcome.Error.empty());
  return state;
}

TEST(DataSetText, ExactFormatWithQuotesCommasAndCrLf) {
  const std::vector<float> first = {12.0f, 0.5f, 12345678.0f, 0.0f};
  const std::vector<float> second = {-0.5f, -127.5f, 1.0e-5f, 3.25f};
  const std::string text = specterm::DataSetText(first, second);
  EXPECT_EQ(text,
            "\"Point\",\"I_Data\",\"Q_Data\"\r\n"
            "\"1\",\"12\",\"-.5\"\r\n"
            "\"2\",\".5\",\"-127.5\"\r\n"
            "\"3\",\"1.234568E+07\",\"1E-05\"\r\n"
            "\"4\",\"0\",\"3.25\"\r\n");
  // No bare line feeds anywhere.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_EQ(text[i - 1], '\r') << i;
    }
  }
}

TEST(DataSetText, RowCountsOfEachKind) {
  const auto state = UpdatedState(blocks::ToneBlock(700000, 1, 30, 4), true);
  const std::pair<specterm::ExportKind, std::size_t> kinds[] = {{specterm::ExportKind::Raw, 4096},
                                                                {specterm::ExportKind::Transformed, 4096},
                                                                {specterm::ExportKind::Scaled, 2048},
                                                                {specterm::ExportKind::PeakHold, 2048},
                                                                {specterm::ExportKind::VideoAverage, 2048}};
  for (const auto& [kind, rows] : kinds) {
    const auto lines = Lines(specterm::DataSetText(kind, *state));
    ASSERT_EQ(lines.size(), rows + 1) << static_cast<int>(kind);
    EXPECT_EQ(lines.front(), "\"Point\",\"I_Data\",\"Q_Data\"");
    EXPECT_EQ(lines.back().rfind('"' + std::to_string(rows) + "\",", 0), 0u) << lines.back();
  }
}

TEST(DataSetText, ExportBeforeAnyDataIsRowsOfZeros) {
  auto state = std::make_unique<SpectrumState>();
  const auto lines = Lines(specterm::DataSetText(specterm::ExportKind::PeakHold, *state));
  ASSERT_EQ(lines.size(), 2049u);
  EXPECT_EQ(lines[1], "\"1\",\"0\",\"0\"");
  EXPECT_EQ(lines[2048], "\"2048\",\"0\",\"0\"");
}

TEST(DataSetText, ScaledExportHoldsTheCurrentTrace) {
  const auto state = UpdatedState(blocks::ToneBlock(700000, 1, 30, 4), true);
  const auto lines = Lines(specterm::DataSetText(specterm::ExportKind::Scaled, *state));
  // Point 1 is the centre, 700 units.
  EXPECT_EQ(lines[1].rfind("\"1\",\"700\",\"", 0), 0u) << lines[1];
  EXPECT_EQ(lines[1], "\"1\",\"700\",\"" + vb::ShortSingle(state->Traces.TraceY[0][0]) + "\"");
}

TEST(WriteRaw, HoldsTheDecodedSamplesNotTheWindowedOnes) {
  const std::string bytes = blocks::MakeBlock(
      700000, 1, [](std::size_t n) -> std::uint8_t { return n % 2 ? 127 : 128; },
      [](std::size_t n) -> std::uint8_t { return n % 3 ? 255 : 1; });
  const auto state = UpdatedState(bytes, true);
  testsupport::TempDir dir;
  const ExportResult result = specterm::WriteRaw(dir.File("raw.txt"), *state);
  ASSERT_TRUE(result.Ok) << result.Message();
  const auto lines = Lines(testsupport::ReadFile(dir.File("raw.txt")));
  ASSERT_EQ(lines.size(), 4097u);
  EXPECT_EQ(lines[1], "\"1\",\"-127.5\",\"1\"");
  EXPECT_EQ(lines[2], "\"2\",\"127\",\"-.5\"");
  EXPECT_EQ(lines[2048], "\"2048\",\"127\",\"-.5\"");
  EXPECT_EQ(lines[4096], "\"4096\",\"127\",\"1\"");
}

TEST(WriteDataSet, EachWriterWritesItsOwnKind) {
  const auto state = UpdatedState(blocks::ToneBlock(700000, 1, 30, 4), true);
  testsupport::TempDir dir;
  using Writer = ExportResult (*)(const std::string&, const SpectrumState&, const specterm::ProgressFn&);
  const std::pair<Writer, specterm::ExportKind> writers[] = {
      {specterm::WriteRaw, specterm::ExportKind::Raw},
      {specterm::WriteTransformed, specterm::ExportKind::Transformed},
      {specterm::WriteScaled, specterm::ExportKind::Scaled},
      {specterm::WritePeakHold, specterm::ExportKind::PeakHold},
      {specterm::WriteVideoAverage, specterm::ExportKind::VideoAverage}};
  for (const auto& [writer, kind] : writers) {
    const std::string file = dir.File("kind" + std::to_string(static_cast<int>(kind)) + ".TXT");
    const ExportResult result = writer(file, *state, {});
    ASSERT_TRUE(result.Ok) << result.Message();
    EXPECT_EQ(result.FileName, file);
    EXPECT_EQ(testsupport::ReadFile(file), specterm::DataSetText(kind, *state));
  }
}

TEST(WriteDataSet, ProgressRunsToHundredThenZero) {
  const auto state = UpdatedState(blocks::ToneBlock(700000, 1, 30, 4), false);
  testsupport::TempDir dir;
  std::vector<int> calls;
  ASSERT_TRUE(specterm::WriteScaled(dir.File("s.txt"), *state, [&](int p) { calls.push_back(p); }).Ok);
  ASSERT_EQ(calls.size(), 101u);
  for (int p = 1; p <= 100; ++p) EXPECT_EQ(calls[static_cast<std::size_t>(p - 1)], p);
  EXPECT_EQ(calls.back(), 0);
}

TEST(WriteDataSet, ReplacesAnExistingFileKeepingItsPermissions) {
  const auto state = UpdatedState(blocks::ZeroBlock(), false);
  testsupport::TempDir dir;
  const std::string file = dir.File("old.txt");
  testsupport::WriteFile(file, "old contents");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(specterm::WriteRaw(file, *state).Ok);
  EXPECT_EQ(testsupport::ReadFile(file), specterm::DataSetText(specterm::ExportKind::Raw, *state));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  // Nothing else is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(WriteDataSet, WritesThroughASymbolicLinkAndKeepsTheLink) {
  const auto state = UpdatedState(blocks::ZeroBlock(), false);
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("real.txt"), "old");
  std::filesystem::create_symlink(dir.File("real.txt"), dir.File("link.txt"));
  ASSERT_TRUE(specterm::WriteScaled(dir.File("link.txt"), *state).Ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
  EXPECT_EQ(testsupport::ReadFile(dir.File("real.txt")), specterm::DataSetText(specterm::ExportKind::Scaled, *state));
}

TEST(WriteDataSet, AFileWithOtherHardLinksOrInAFolderThatMayNotBeWrittenIsRewrittenInPlace) {
  const auto state = UpdatedState(blocks::ZeroBlock(), false);
  const std::string expected = specterm::DataSetText(specterm::ExportKind::Raw, *state);
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("a.txt"), "old");
  std::filesystem::create_hard_link(dir.File("a.txt"), dir.File("b.txt"));
  ASSERT_TRUE(specterm::WriteRaw(dir.File("a.txt"), *state).Ok);
  EXPECT_EQ(testsupport::ReadFile(dir.File("b.txt")), expected);

  testsupport::WriteFile(dir.File("c.txt"), "old");
  ASSERT_EQ(::chmod(dir.File("c.txt").c_str(), 0666) | ::chmod(dir.Path().c_str(), 0555), 0);
  // The folder binds a user other than root: as root, a child exports as nobody.
  int status = 0;
  if (::geteuid() != 0) {
    status = specterm::WriteRaw(dir.File("c.txt"), *state).Ok ? 0 : 1;
  } else if (const pid_t child = ::fork(); child == 0) {
    ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && specterm::WriteRaw(dir.File("c.txt"), *state).Ok ? 0 : 1);
  } else {
    ::waitpid(child, &status, 0);
  }
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(testsupport::ReadFile(dir.File("c.txt")), expected);
}

TEST(WriteDataSet, MissingFolderIsReportedWithTheFileName) {
  const auto state = UpdatedState(blocks::ZeroBlock(), false);
  testsupport::TempDir dir;
  const std::string file = dir.File("no/such/folder/x.txt");
  std::vector<int> calls;
  const ExportResult result = specterm::WriteRaw(file, *state, [&](int p) { calls.push_back(p); });
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.FileName, file);
  EXPECT_NE(result.Reason.find("No such file"), std::string::npos) << result.Reason;
  EXPECT_NE(result.Message().find(file), std::string::npos) << result.Message();
  EXPECT_EQ(calls.back(), 0);  // the progress bar is reset after a failure too
}

TEST(WriteDataSet, AFolderAsTargetIsRefused) {
  const auto state = UpdatedState(blocks::ZeroBlock(), false);
  testsupport::TempDir dir;
  std::filesystem::create_directory(dir.File("sub"));
  const ExportResult result = specterm::WriteRaw(dir.File("sub"), *state);
  EXPECT_FALSE(result.Ok);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("sub")));
}

TEST(WriteDataSet, AFailedWriteLeavesTheOldFileIntact) {
  const auto state = UpdatedState(blocks::ToneBlock(700000, 1, 30, 4), false);
  testsupport::TempDir dir;
  const std::string file = dir.File("keep.txt");
  testsupport::WriteFile(file, "the previous export\r\n");

  // Writes beyond 4 KiB fail (as on a full disk) while the limit holds.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const ExportResult result = specterm::WriteRaw(file, *state);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(result.Ok);
  EXPECT_FALSE(result.Reason.empty());
  EXPECT_EQ(testsupport::ReadFile(file), "the previous export\r\n");
  // The temporary file is gone.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
