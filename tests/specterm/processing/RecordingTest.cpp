// The history of the waterfall (a ring that keeps the newest rows) and the
// recordings of data sets: whole records read back as written, a torn last
// record left out, and files that are no recording of this version refused.

#include "TestBlocks.h"
#include "TestSupport.h"
#include "processing/Recording.h"
#include "processing/WaterfallHistory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace specterm {
namespace {

TEST(WaterfallHistory, KeepsTheNewestRowsUpToItsCapacity) {
  struct Case {
    std::size_t capacity;
    int pushed;
  };
  for (const Case c : {Case{3, 0}, Case{3, 2}, Case{3, 3}, Case{3, 8}, Case{1, 5}, Case{1200, 1300}}) {
    WaterfallHistory history(c.capacity);
    for (int i = 0; i < c.pushed; ++i) history.PushNewest().TimeMs = i;
    const std::size_t kept = std::min<std::size_t>(c.capacity, static_cast<std::size_t>(c.pushed));
    ASSERT_EQ(history.Size(), kept) << c.capacity << "/" << c.pushed;
    EXPECT_EQ(history.Added(), static_cast<std::uint64_t>(c.pushed));
    for (std::size_t age = 0; age < kept; ++age)
      EXPECT_EQ(history.Row(age).TimeMs, c.pushed - 1 - static_cast<int>(age));
  }
  WaterfallHistory history(4);
  history.PushNewest();
  const std::uint64_t serial = history.Serial();
  history.Clear();
  EXPECT_TRUE(history.Empty());
  EXPECT_EQ(history.Added(), 0u);
  EXPECT_NE(history.Serial(), serial);
  EXPECT_NE(WaterfallHistory().Serial(), WaterfallHistory().Serial());
}

TEST(WaterfallHistory, RowsHoldTheTraceInFrequencyOrder) {
  // Transform order: points 0..1023 rise from the centre, 1024..2047 rise
  // up to it; x carries a SpanScale of 10.
  TraceStore::Row xs{};
  TraceStore::Row ys{};
  for (std::size_t p = 0; p < kPointCount; ++p) {
    const double bin = p < kPositiveBins ? static_cast<double>(p + 1) : static_cast<double>(p) - 2047.0;
    xs[p] = static_cast<float>((7000.0 + bin * 0.01) * 10.0);
    ys[p] = static_cast<float>(p);
  }
  WaterfallRow row;
  RowFromTrace(xs, ys, 10.0f, row);
  EXPECT_NEAR(row.FirstFreq, 7000.0 - 1023 * 0.01, 1e-3);
  EXPECT_NEAR(row.FreqStep, 0.01, 1e-6);
  for (std::size_t p = 0; p < kPointCount; ++p) {
    const std::size_t k = p < kPositiveBins ? p + (kPointCount - kPositiveBins) : p - kPositiveBins;
    EXPECT_EQ(row.Levels[k], ys[p]);
    EXPECT_NEAR(row.FirstFreq + static_cast<double>(k) * row.FreqStep, xs[p] / 10.0, 1e-3);
  }
}

class RecordingTest : public ::testing::Test {
 protected:
  // A recording of `count` distinct blocks, times 1000, 2000, ...
  std::string Record(int count) {
    const std::string path = dir.File("r.rec");
    RecordingWriter writer;
    EXPECT_FALSE(writer.Create(path));
    written.clear();
    for (int i = 0; i < count; ++i) {
      written.push_back(blocks::ToneBlock(700000, 1, 10 + i, static_cast<unsigned>(i)));
      EXPECT_FALSE(writer.Append(1000 * (i + 1), written.back()));
    }
    EXPECT_EQ(writer.Records(), count);
    return path;
  }
  static void Resize(const std::string& path, std::uintmax_t size) { std::filesystem::resize_file(path, size); }

  testsupport::TempDir dir;
  std::vector<std::string> written;
};

TEST_F(RecordingTest, ReadsEveryWholeRecordAndLeavesOutATornLastOne) {
  struct Case {
    int records;
    std::size_t cut;  // bytes of a record that follow the whole ones
  };
  for (const Case c :
       {Case{3, 0}, Case{3, 1}, Case{3, kRecordTimeLength}, Case{3, kRecordLength - 1}, Case{0, 0}, Case{0, 100}}) {
    const std::string path = Record(c.records + (c.cut > 0 ? 1 : 0));
    Resize(path, kRecordingHeaderLength + static_cast<std::uintmax_t>(c.records) * kRecordLength + c.cut);
    RecordingReader reader;
    ASSERT_FALSE(reader.Open(path)) << c.records << "+" << c.cut;
    ASSERT_EQ(reader.Count(), static_cast<std::size_t>(c.records));
    EXPECT_EQ(reader.TornBytes(), c.cut);
    for (int i = 0; i < c.records; ++i) {
      EXPECT_EQ(reader.TimeMs(static_cast<std::size_t>(i)), 1000 * (i + 1));
      EXPECT_EQ(reader.Block(static_cast<std::size_t>(i)), written[static_cast<std::size_t>(i)]);
    }
  }
}

TEST_F(RecordingTest, BlocksOfAnotherLengthAreStoredAsTheParserReadsThem) {
  const std::string path = dir.File("short.rec");
  RecordingWriter writer;
  ASSERT_FALSE(writer.Create(path));
  const std::string block = blocks::ZeroBlock();
  ASSERT_FALSE(writer.Append(-5, block.substr(0, 100)));
  ASSERT_FALSE(writer.Append(7, block + "beyond"));
  writer.Close();
  RecordingReader reader;
  ASSERT_FALSE(reader.Open(path));
  ASSERT_EQ(reader.Count(), 2u);
  EXPECT_EQ(reader.TimeMs(0), -5);
  EXPECT_EQ(reader.Block(0), block.substr(0, 100) + std::string(kBlockLength - 100, ' '));
  EXPECT_EQ(reader.Block(1), block);
}

TEST_F(RecordingTest, RefusesWhatIsNoRecordingOfThisVersion) {
  const std::string recording = testsupport::ReadFile(Record(1));
  struct Case {
    const char* name;
    std::string contents;
    const char* reason;
  };
  std::string version2 = recording;
  version2[8] = 2;
  std::string wideHeader = recording;
  wideHeader[12] = 0;  // another block length
  const std::vector<Case> cases = {
      {"block.bin", blocks::ZeroBlock(), "no recording"},
      {"cut.rec", recording.substr(0, 10), "shorter than a recording's header"},
      {"v2.rec", version2, "version 2; this program reads version 1"},
      {"damaged.rec", wideHeader, "damaged"},
  };
  for (const Case& c : cases) {
    testsupport::WriteFile(dir.File(c.name), c.contents);
    RecordingReader reader;
    const std::optional<std::string> problem = reader.Open(dir.File(c.name));
    ASSERT_TRUE(problem) << c.name;
    EXPECT_NE(problem->find(c.reason), std::string::npos) << *problem;
    EXPECT_FALSE(reader.IsOpen());
  }
  RecordingReader reader;
  EXPECT_NE(reader.Open(dir.File("missing.rec"))->find("does not exist"), std::string::npos);
  RecordingWriter writer;
  EXPECT_TRUE(writer.Create(dir.File("no-such-folder/r.rec")));
}

}  // namespace
}  // namespace specterm
