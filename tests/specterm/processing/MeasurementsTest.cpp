// The measurements against cases worked out by hand. Rows are written in
// frequency order, point k at k + 1 MHz, and stored in the transform's
// order (second half first) as the update stores them.

#include "processing/Measurements.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using specterm::Measure;
using specterm::MeasureSettings;
using specterm::PointLevel;

struct Row {
  std::vector<float> x;
  std::vector<float> y;
  explicit Row(const std::vector<float>& levels) : x(levels.size()), y(levels.size()) {
    const std::size_t n = levels.size();
    for (std::size_t k = 0; k < n; ++k) {
      x[(k + n / 2) % n] = 10.0f * static_cast<float>(k + 1);
      y[(k + n / 2) % n] = levels[k];
    }
  }
  specterm::MeasuredRow View() const { return {x, y, 1.0f}; }
  // The 1-based point number of the k-th point in frequency order.
  std::int32_t Point(std::size_t k) const { return static_cast<std::int32_t>((k + x.size() / 2) % x.size() + 1); }
};

const std::vector<float> kFlat(8, 10.0f);                                // 10 dB everywhere
const std::vector<float> kTone = {0, 0, 0, 0, 30, 0, 0, 0};              // 30 dB at 5 MHz
const std::vector<float> kCarrier = {0, 0, 0, 20, 20, 20, 20, 0, 0, 0};  // 20 dB from 4 to 7 MHz

struct BandCase {
  const char* name;
  const std::vector<float>* levels;
  double from, to, enbw;
  int points;
  std::optional<double> power, noise, cn, obw;
  std::optional<std::size_t> peak;  // frequency-order index of the peak in band
};

// noise: median / ln 2, so a floor of 1 (0 dB) reads 1.592 dB.
const BandCase kBandCases[] = {
    // S = 20, n N0 = 2 x 10 / ln 2 = 28.85 > S.
    {"flat floor", &kFlat, 3, 4, 1, 2, 13.0103, 11.5917, std::nullopt, 1.0, 2},
    // S = 1002, n N0 = 3 / ln 2: C/N = 10 log10((1002 - 4.328) / 4.328).
    {"one tone", &kTone, 6, 4, 1, 3, 30.0087, 1.5917, 23.6269, 0.0, 4},
    {"one tone through a window", &kTone, 4, 6, 1.5, 3, 28.2478, 1.5917, 23.6269, 0.0, 4},
    // S = 400, running sum 100, ..., 400: 0.5 % at 4 MHz, 99.5 % at 7 MHz.
    {"carrier block", &kCarrier, 3.5, 7.5, 1, 4, 26.0206, 1.5917, 18.3451, 3.0, 3},
    {"empty band", &kFlat, 3.2, 3.4, 1, 0, std::nullopt, 11.5917, std::nullopt, std::nullopt, std::nullopt},
    // Both cursors on the tone: one point, S = 1000, n N0 = 1 / ln 2.
    {"coincident cursors", &kTone, 5, 5, 1, 1, 30.0, 1.5917, 28.4020, 0.0, 4},
    // Nothing outside the band: no noise, so no C/N.
    {"whole row", &kTone, 0, 100, 1, 8, 30.0303, std::nullopt, std::nullopt, 0.0, 4},
};

void ExpectNear(const std::optional<double>& got, const std::optional<double>& want, double tolerance,
                const char* what) {
  ASSERT_EQ(got.has_value(), want.has_value()) << what;
  if (want) {
    EXPECT_NEAR(*got, *want, tolerance) << what;
  }
}

TEST(Measurements, BandValuesOfHandWorkedRows) {
  for (const BandCase& c : kBandCases) {
    SCOPED_TRACE(c.name);
    const Row row(*c.levels);
    MeasureSettings settings;
    settings.BandFrom = c.from;
    settings.BandTo = c.to;
    settings.Enbw = c.enbw;
    const auto band = Measure(row.View(), settings).Band;
    ASSERT_TRUE(band.has_value());
    EXPECT_EQ(band->LowMHz, std::min(c.from, c.to));
    EXPECT_EQ(band->Points, c.points);
    ExpectNear(band->BandPower, c.power, 1e-4, "band power");
    ExpectNear(band->NoisePerPoint, c.noise, 1e-4, "noise per point");
    ExpectNear(band->CarrierToNoise, c.cn, 1e-4, "C/N");
    ExpectNear(band->OccupiedBandwidth, c.obw, 1e-9, "occupied bandwidth");
    ASSERT_EQ(band->PeakInBand.has_value(), c.peak.has_value());
    if (c.peak) {
      EXPECT_EQ(band->PeakInBand->Point, row.Point(*c.peak));
      EXPECT_EQ(band->PeakInBand->MHz, static_cast<double>(*c.peak + 1));
      EXPECT_EQ(band->PeakInBand->dB, (*c.levels)[*c.peak]);
    }
  }
}

// Peaks 10, 12, 20 and 18 at 2, 4, 6 and 8 MHz, prominences 6, 12, 20 and 3;
// two equal peaks of 10 dB whose dip does not count (neither is higher).
const std::vector<float> kRidge = {0, 10, 4, 12, 0, 20, 15, 18, 0, 0};
const std::vector<float> kTwins = {0, 10, 5, 10, 0, 0};

struct PeakCase {
  const char* name;
  const std::vector<float>* levels;
  float threshold;
  double excursion;
  int count;
  std::vector<std::size_t> peaks;  // frequency-order indices, highest first
};

const PeakCase kPeakCases[] = {
    {"prominence of at least the excursion", &kRidge, 0, 6, 10, {5, 3, 1}},
    {"larger excursion", &kRidge, 0, 7, 10, {5, 3}},
    {"small excursion takes the shoulder", &kRidge, 0, 3, 10, {5, 7, 3, 1}},
    {"threshold", &kRidge, 11, 6, 10, {5, 3}},
    {"the highest N", &kRidge, 0, 6, 1, {5}},
    {"equal peaks, in frequency order", &kTwins, 0, 10, 10, {1, 3}},
    {"flat row", &kFlat, -100, 0, 10, {}},
};

TEST(Measurements, PeakTable) {
  for (const PeakCase& c : kPeakCases) {
    SCOPED_TRACE(c.name);
    const Row row(*c.levels);
    const std::vector<PointLevel> peaks = specterm::FindPeaks(row.View(), c.threshold, c.excursion, c.count);
    ASSERT_EQ(peaks.size(), c.peaks.size());
    for (std::size_t i = 0; i < peaks.size(); ++i) {
      EXPECT_EQ(peaks[i].Point, row.Point(c.peaks[i])) << i;
      EXPECT_EQ(peaks[i].dB, (*c.levels)[c.peaks[i]]) << i;
    }
  }
}

TEST(Measurements, WindowBandwidthAndTexts) {
  EXPECT_EQ(specterm::WindowEnbw(false), 1.0);
  // The update's raised cosine: close to the Hann window's 1.5 points.
  EXPECT_NEAR(specterm::WindowEnbw(true), 1.5, 0.01);

  const Row row(kTone);
  MeasureSettings settings;
  settings.BandFrom = 4.0;
  EXPECT_EQ(specterm::MeasurementLines(Measure(row.View(), settings)),
            std::vector<std::string>{"peak 1: 1 5.000000 MHz 30.000 dB"});  // no band without both edges
  settings.BandTo = 4.5;
  std::string text;
  for (const std::string& line : specterm::MeasurementLines(Measure(row.View(), settings))) text += line + "\n";
  EXPECT_EQ(text, R"(band: 4.000000 to 4.500000 MHz
points: 1
band power: 0.000 dB
noise per point: 1.592 dB
C/N: n/a
occupied bandwidth: 0.000000 MHz
peak in band: 8 4.000000 MHz 0.000 dB
peak 1: 1 5.000000 MHz 30.000 dB
)");
}

}  // namespace
