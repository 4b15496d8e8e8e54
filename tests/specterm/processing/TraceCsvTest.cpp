// The traces as a CSV table: rows in rising frequency that hold the scaled
// export's values re-ordered, the columns of the shown traces, the comment
// line with a name that needs quoting.

#include "TestBlocks.h"
#include "processing/DataSetExport.h"
#include "processing/TraceCsv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using specterm::SpectrumState;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
    parts.push_back(text.substr(start, end - start));
  parts.push_back(text.substr(start));
  return parts;
}

std::unique_ptr<SpectrumState> TwoDataSets() {
  auto state = std::make_unique<SpectrumState>();
  const auto loaded = specterm::FftLibrary::Shared();
  EXPECT_TRUE(loaded) << loaded.Error;
  const specterm::SpectrumUpdater updater(loaded.Library);
  for (unsigned seed : {3u, 4u}) {
    specterm::ParseBlock(std::string_view(blocks::ToneBlock(700000, 2, 30, seed)), state->Block);
    updater.Update(*state, {true, true, true});
  }
  return state;
}

struct ColumnsCase {
  std::array<bool, 4> shown;  // current, previous, average, peak hold
  const char* header;
};

class TraceCsvColumns : public testing::TestWithParam<ColumnsCase> {};

TEST_P(TraceCsvColumns, RowsRiseInFrequencyAndHoldTheShownTracesOfTheScaledExport) {
  auto state = TwoDataSets();
  state->Traces.TraceShown = GetParam().shown;
  const auto when = specterm::DataSetClock::time_point(std::chrono::seconds(1796822401));
  const std::string text = specterm::TraceCsvText(*state, {"Lab, \"A\"", when});
  std::vector<std::string> lines = Split(text, "\r\n");
  ASSERT_EQ(lines.back(), "");
  lines.pop_back();
  ASSERT_EQ(lines.size(), 2u + specterm::kPointCount);
  EXPECT_EQ(lines[0],
            "# modem: \"Lab, \"\"A\"\"\", time: 2026-12-09T13:20:01Z, center frequency: 70 MHz, "
            "sample rate: 12.5 MHz");
  EXPECT_EQ(lines[1], GetParam().header);

  // Row i holds point (i + 1024) mod 2048: the negative half of the
  // transform first. Its values are the store's, and the scaled export's
  // (x converted to MHz) to that format's seven digits.
  const std::vector<std::string> scaled = Split(specterm::DataSetText(specterm::ExportKind::Scaled, *state), "\r\n");
  const specterm::TraceStore& traces = state->Traces;
  double previous = 0;
  for (std::size_t i = 0; i < specterm::kPointCount; ++i) {
    const std::size_t p = (i + specterm::kPointCount / 2) % specterm::kPointCount;
    const std::vector<std::string> fields = Split(lines[2 + i], ",");
    const std::vector<std::string> exported = Split(scaled.at(1 + p), "\",\"");
    const double mhz = std::strtod(exported[1].c_str(), nullptr) / 10.0 / state->Block.SpanScale;
    EXPECT_NEAR(std::strtod(fields[0].c_str(), nullptr), mhz, 1e-6 * mhz) << "row " << i;
    EXPECT_GT(mhz, previous);
    previous = mhz;
    std::size_t column = 1;
    for (std::size_t row = 0; row < 4; ++row) {
      if (GetParam().shown[row]) {
        EXPECT_EQ(std::strtof(fields.at(column++).c_str(), nullptr), traces.TraceY[row][p]);
      }
    }
    EXPECT_EQ(column, fields.size());
  }
}

INSTANTIATE_TEST_SUITE_P(Shown, TraceCsvColumns,
                         testing::Values(ColumnsCase{{true, false, false, false}, "frequency_mhz,current_db"},
                                         ColumnsCase{{true, true, true, true},
                                                     "frequency_mhz,current_db,previous_db,average_db,peak_hold_db"},
                                         ColumnsCase{{false, false, false, true}, "frequency_mhz,peak_hold_db"}));

}  // namespace
