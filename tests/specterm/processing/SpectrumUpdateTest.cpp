// The update's processing chain: against an independent plain DFT, the
// frequency axis of each point, the window and its working copy, the dB
// floor, the amplitude re-fit, progress and the status texts.

#include "TestBlocks.h"
#include "processing/SpectrumUpdate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <tuple>
#include <vector>

namespace {

using specterm::FftLibrary;
using specterm::SpectrumState;
using specterm::SpectrumUpdater;
using specterm::UpdateOptions;
using specterm::UpdateOutcome;

std::shared_ptr<const FftLibrary> Library() {
  const FftLibrary::Loaded loaded = FftLibrary::Shared();
  EXPECT_TRUE(loaded) << loaded.Error;
  return loaded.Library;
}

std::unique_ptr<SpectrumState> StateWith(const std::string& bytes) {
  auto state = std::make_unique<SpectrumState>();
  specterm::ParseBlock(std::string_view(bytes), state->Block);
  return state;
}

// What the update must produce, computed here from the block's bytes with a
// plain double-precision DFT.
struct Reference {
  std::vector<std::complex<double>> bins;  // all 4096
  std::vector<float> x;                    // 2048 points
  std::vector<double> y;
};

Reference ComputeReference(const std::string& bytes, bool window) {
  auto decode = [](unsigned char b) { return b < 128 ? double(b) : double(b) - 255.5; };
  std::vector<std::complex<double>> samples(4096);
  for (std::size_t n = 0; n < 4096; ++n) {
    double i = decode(static_cast<unsigned char>(bytes[30 + n]));
    double q = decode(static_cast<unsigned char>(bytes[30 + 4096 + n]));
    if (window) {
      const double w = 0.5 * std::cos((double(n + 1) - 2048 + 0.5) * 3.14159 / 2048 - 0.5) + 0.5;
      i = float(i * w);
      q = float(q * w);
    }
    samples[n] = {i, q};
  }
  std::vector<std::complex<double>> twiddle(4096);
  for (std::size_t t = 0; t < 4096; ++t) twiddle[t] = std::polar(1.0, -2.0 * std::numbers::pi * double(t) / 4096);

  // Header: centre field and k as the modem writes them.
  const auto u = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
  const double centre = double((u(2) << 24) | (u(3) << 16) | (u(4) << 8) | u(5)) / 1000;
  const unsigned k = std::min(12u, unsigned((u(6) << 8) | u(7)));
  const double rate = 1000.0 / std::pow(2.0, k + 1);
  const float span = float(centre + 0.3 * rate) - float(centre - 0.3 * rate);
  const double scale = span >= 100 ? 1 : span >= 10 ? 10 : span >= 1 ? 100 : span >= 0.1f ? 1000 : 10000;

  Reference ref;
  ref.bins.resize(4096);
  for (std::size_t b = 0; b < 4096; ++b) {
    if (b >= 1024 && b < 3072) continue;
    std::complex<double> sum = 0;
    for (std::size_t t = 0; t < 4096; ++t) sum += samples[t] * twiddle[(t * b) % 4096];
    ref.bins[b] = sum;
    // Each point sits at the frequency of the bin it holds.
    const double fraction = b < 2048 ? double(b) / 4096 : -double(4096 - b) / 4096;
    ref.x.push_back(float((fraction * rate + centre) * scale));
    const double power = std::norm(sum);
    ref.y.push_back(power == 0 ? 0.0 : std::max(0.0, 10 * std::log10(power)));
  }
  return ref;
}

void ExpectMatchesReference(const std::string& bytes, bool window) {
  const Reference ref = ComputeReference(bytes, window);
  auto state = StateWith(bytes);
  const SpectrumUpdater updater(Library());
  ASSERT_TRUE(updater.Update(*state, UpdateOptions{window, false, false}).Error.empty());

  // Single-precision transform of 4096 samples: absolute error well below this.
  constexpr double kBinError = 0.05;
  for (std::size_t b = 0; b < 4096; ++b) {
    if (b >= 1024 && b < 3072) continue;
    ASSERT_NEAR(state->FftReal[b], ref.bins[b].real(), kBinError) << "bin " << b;
    ASSERT_NEAR(state->FftImag[b], ref.bins[b].imag(), kBinError) << "bin " << b;
  }
  for (std::size_t p = 0; p < 2048; ++p) {
    ASSERT_EQ(state->Traces.TraceX[0][p], ref.x[p]) << "point " << p + 1;
    // The dB error that kBinError can cause at this bin's magnitude.
    const std::size_t b = p < 1024 ? p : p + 2048;
    const double tolerance = 1e-4 + 20 / std::log(10.0) * kBinError / std::max(1.0, std::abs(ref.bins[b]));
    ASSERT_NEAR(state->Traces.TraceY[0][p], ref.y[p], tolerance) << "point " << p + 1;
  }
}

TEST(SpectrumUpdate, WindowedTransformMatchesAPlainDft) {
  ExpectMatchesReference(blocks::ToneBlock(700000, 1, 300, 11), true);
}

TEST(SpectrumUpdate, UnwindowedNarrowBandMatchesAPlainDft) {
  // k = 9: SpanScale 1000, a tone in the negative half.
  ExpectMatchesReference(blocks::ToneBlock(1234567, 9, -700, 12), false);
}

TEST(SpectrumUpdate, EachPointSitsAtTheFrequencyOfItsOwnBin) {
  auto state = StateWith(blocks::ToneBlock(700000, 1, 5, 1));
  const SpectrumUpdater updater(Library());
  ASSERT_TRUE(updater.Update(*state, {}).Error.empty());
  const auto& x = state->Traces.TraceX[0];
  const double rate = 250.0;
  EXPECT_EQ(x[0], 700.0f);                                           // point 1 is the centre (bin 0)
  EXPECT_EQ(x[1023], static_cast<float>(700 + 1023 * rate / 4096));  // point 1024: bin 1023
  EXPECT_EQ(x[1024], static_cast<float>(700 - 1024 * rate / 4096));  // point 1025: bin 3072
  EXPECT_EQ(x[2047], static_cast<float>(700 - rate / 4096));         // point 2048: bin 4095
  // The tone at +5 cycles is strongest at point 6, whose x is 5 bins above the centre.
  const auto& y = state->Traces.TraceY[0];
  const auto peak = std::max_element(y.begin(), y.end()) - y.begin();
  EXPECT_EQ(peak, 5);
  EXPECT_EQ(x[5], static_cast<float>(700 + 5 * rate / 4096));
}

TEST(SpectrumUpdate, AxisIsScaledBySpanScale) {
  auto state = StateWith(blocks::ZeroBlock(700000, 12));
  ASSERT_EQ(state->Block.SpanScale, 10000.0f);
  ASSERT_TRUE(SpectrumUpdater(Library()).Update(*state, {}).Error.empty());
  EXPECT_EQ(state->Traces.TraceX[0][0], 7000000.0f);
  EXPECT_EQ(state->Traces.TraceX[0][2047], static_cast<float>((700 - (1000.0 / 8192) / 4096) * 10000));
}

TEST(SpectrumUpdate, WindowWeights) {
  EXPECT_NEAR(specterm::WindowWeight(2048), 0.9388, 2e-4);  // 0.93898, not 1
  EXPECT_NEAR(specterm::WindowWeight(2048), 0.5 * std::cos(0.5 * 3.14159 / 2048 - 0.5) + 0.5, 1e-15);
  // Not symmetric about the centre: the -0.5 shifts the peak.
  EXPECT_LT(specterm::WindowWeight(1), 0.5);
  EXPECT_GT(specterm::WindowWeight(4096), 0.0);
}

TEST(SpectrumUpdate, WindowingWorksOnACopyAndLeavesTheSamples) {
  const std::string bytes = blocks::ToneBlock(700000, 1, 40, 3);
  auto state = StateWith(bytes);
  const auto decodedI = state->Block.IData;
  const auto decodedQ = state->Block.QData;
  const SpectrumUpdater updater(Library());
  ASSERT_TRUE(updater.Update(*state, {true, false, false}).Error.empty());
  EXPECT_EQ(state->Block.IData, decodedI);
  EXPECT_EQ(state->Block.QData, decodedQ);

  // A second update over the same block (the "Previous" switch) windows the
  // samples once again, not twice: the same data set, now also in row 1.
  const auto firstY = state->Traces.TraceY[0];
  const auto firstReal = state->FftReal;
  ASSERT_TRUE(updater.Update(*state, {true, false, false}).Error.empty());
  EXPECT_EQ(state->Traces.TraceY[0], firstY);
  EXPECT_EQ(state->Traces.TraceY[1], firstY);
  EXPECT_EQ(state->FftReal, firstReal);

  // The window does change the transform.
  ASSERT_TRUE(updater.Update(*state, {false, false, false}).Error.empty());
  EXPECT_NE(state->FftReal, firstReal);
}

TEST(SpectrumUpdate, AllZeroSamplesGiveZeroDbAndKeepTheDefaultScale) {
  auto state = StateWith(blocks::ZeroBlock());
  const UpdateOutcome outcome = SpectrumUpdater(Library()).Update(*state, {true, false, false});
  for (std::size_t p = 0; p < 2048; ++p) ASSERT_EQ(state->Traces.TraceY[0][p], 0.0f) << p;
  EXPECT_FALSE(outcome.Scroll.has_value());
  EXPECT_EQ(state->Amplitude.AmpFloor, -125.0f);
  EXPECT_EQ(state->Amplitude.AmpCeiling, 125.0f);
  EXPECT_EQ(state->Amplitude.AmpRange, 250.0f);
}

TEST(SpectrumUpdate, SingleSampleGivesAFlatSpectrumAt42Db) {
  auto state = StateWith(blocks::MakeBlock(
      700000, 1, [](std::size_t n) -> std::uint8_t { return n == 0 ? 127 : 0; },
      [](std::size_t) -> std::uint8_t { return 0; }));
  ASSERT_TRUE(SpectrumUpdater(Library()).Update(*state, {false, false, false}).Error.empty());
  for (std::size_t b = 0; b < 4096; ++b) {
    ASSERT_EQ(state->FftReal[b], 127.0f) << b;
    ASSERT_EQ(state->FftImag[b], 0.0f) << b;
  }
  const double expected = 10 * std::log10(127.0 * 127.0);
  EXPECT_NEAR(expected, 42.08, 0.005);
  for (std::size_t p = 0; p < 2048; ++p) ASSERT_NEAR(state->Traces.TraceY[0][p], expected, 1e-5) << p;
}

TEST(SpectrumUpdate, LevelsBelowZeroDbAreFloored) {
  // Q = 0, I alternating 1/0 in pairs -> small bins; unit power gives 0 dB.
  auto state = StateWith(blocks::MakeBlock(
      700000, 1, [](std::size_t n) -> std::uint8_t { return n == 0 ? 1 : 0; },
      [](std::size_t n) -> std::uint8_t { return n == 1 ? 255 : 0; }));  // -0.5
  ASSERT_TRUE(SpectrumUpdater(Library()).Update(*state, {false, false, false}).Error.empty());
  for (std::size_t p = 0; p < 2048; ++p) ASSERT_GE(state->Traces.TraceY[0][p], 0.0f) << p;
  // |1 - 0.5 j e^(-j w)| is below 1 for some bins and above for others.
  const auto& y = state->Traces.TraceY[0];
  EXPECT_EQ(*std::min_element(y.begin(), y.end()), 0.0f);
  EXPECT_GT(*std::max_element(y.begin(), y.end()), 3.0f);
}

TEST(FitAmplitudeScale, RefitsWhenDataLeaveOrShrinkTheRange) {
  specterm::AmplitudeScale scale;
  // Spread 40 is less than 60 % of 250: re-fit to 25 % above, 10 % below.
  auto scroll = specterm::FitAmplitudeScale(50.0f, 10.0f, scale);
  ASSERT_TRUE(scroll.has_value());
  EXPECT_EQ(scale.AmpCeiling, 60.0f);
  EXPECT_EQ(scale.AmpFloor, 6.0f);
  EXPECT_EQ(scale.AmpRange, 54.0f);
  EXPECT_EQ(scroll->VScrollMin, -60);
  EXPECT_EQ(scroll->VScrollMax, -6);
  EXPECT_EQ(scroll->VScrollValue, -33);
  EXPECT_EQ(scroll->HScrollMin, 0);
  EXPECT_EQ(scroll->HScrollMax, 100);
  EXPECT_EQ(scroll->HScrollValue, 50);

  // Inside the range with a spread of at least 60 % of it: unchanged.
  EXPECT_FALSE(specterm::FitAmplitudeScale(55.0f, 20.0f, scale).has_value());
  EXPECT_EQ(scale.AmpCeiling, 60.0f);
  // One value above the ceiling re-fits.
  EXPECT_TRUE(specterm::FitAmplitudeScale(61.0f, 20.0f, scale).has_value());
  EXPECT_FLOAT_EQ(scale.AmpCeiling, 61.0f + 0.25f * 41.0f);
  // One below the floor too.
  specterm::AmplitudeScale other{6.0f, 60.0f, 54.0f};
  EXPECT_TRUE(specterm::FitAmplitudeScale(50.0f, 5.0f, other).has_value());
}

TEST(FitAmplitudeScale, FlatDataTakeTheDefaultRange) {
  specterm::AmplitudeScale scale;
  EXPECT_FALSE(specterm::FitAmplitudeScale(0.0f, 0.0f, scale).has_value());
  specterm::AmplitudeScale narrow{6.0f, 60.0f, 54.0f};
  // Flat at 42 dB: -125..125 is used, which leaves the narrow scale.
  ASSERT_TRUE(specterm::FitAmplitudeScale(42.0f, 42.0f, narrow).has_value());
  EXPECT_EQ(narrow.AmpCeiling, 125.0f + 62.5f);
  EXPECT_EQ(narrow.AmpFloor, -125.0f - 25.0f);
}

TEST(FitAmplitudeScale, ScrollValuesRoundHalfToEven) {
  // Ceiling 2.5 -> -2.5 rounds to -2; range 5 -> 2.5 - 2.5 = 0.
  specterm::AmplitudeScale scale;
  auto scroll = specterm::FitAmplitudeScale(2.0f, 0.0f, scale);
  ASSERT_TRUE(scroll.has_value());
  EXPECT_EQ(scale.AmpCeiling, 2.5f);
  EXPECT_EQ(scale.AmpFloor, -0.2f);
  EXPECT_EQ(scroll->VScrollMin, -2);
  EXPECT_EQ(scroll->VScrollMax, 0);
}

TEST(SpectrumUpdate, FitUsesTheTrueLowestPointEvenWhenItComesFirst) {
  // A chirp over the whole band has a flat spectrum; with its mean taken
  // out, the DC bin (point 1) is far below every other point.
  std::vector<std::complex<double>> chirp(4096);
  std::complex<double> mean = 0;
  for (std::size_t n = 0; n < 4096; ++n) {
    chirp[n] = std::polar(100.0, std::numbers::pi * double(n * n % 8192) / 4096);
    mean += chirp[n] / 4096.0;
  }
  auto state = StateWith(blocks::MakeBlock(
      700000, 1, [&](std::size_t n) { return blocks::EncodeSample((chirp[n] - mean).real()); },
      [&](std::size_t n) { return blocks::EncodeSample((chirp[n] - mean).imag()); }));
  const auto outcome = SpectrumUpdater(Library()).Update(*state, {false, false, false});
  const auto& y = state->Traces.TraceY[0];
  ASSERT_EQ(std::min_element(y.begin(), y.end()) - y.begin(), 0);
  ASSERT_GT(y[0], 0.0f);
  ASSERT_TRUE(outcome.Scroll.has_value());
  const float range = *std::max_element(y.begin(), y.end()) - y[0];
  EXPECT_EQ(state->Amplitude.AmpFloor, static_cast<float>(y[0] - 0.1 * range));
  EXPECT_LT(state->Amplitude.AmpFloor, y[0]);
}

TEST(SpectrumUpdate, ProgressRunsOnceThroughEveryPercentThenBackToZero) {
  auto state = StateWith(blocks::ToneBlock(700000, 1, 3, 5));
  std::vector<int> calls;
  ASSERT_TRUE(SpectrumUpdater(Library())
                  .Update(*state, {true, true, true}, [&](int percent) { calls.push_back(percent); })
                  .Error.empty());
  ASSERT_EQ(calls.size(), 101u);
  for (int p = 1; p <= 100; ++p) EXPECT_EQ(calls[static_cast<std::size_t>(p - 1)], p);
  EXPECT_EQ(calls.back(), 0);
}

TEST(SpectrumUpdate, StatusReadOutsForEachRateRange) {
  struct Case {
    std::uint16_t k;
    const char* centre;
    const char* rate;
  };
  // 700 units = 70 MHz; half the rate shown (rate 1000 / 2^(k+1) units of
  // 0.1 MHz), in MHz or below 1 MHz in KHz, whatever the SpanScale.
  const Case cases[] = {
      {0, "70.000MHz", "25.000MHz"},      {1, "70.000MHz", "12.500MHz"},      {2, "70.0000MHz", "6.2500MHz"},
      {4, "70.0000MHz", "1.5625MHz"},     {5, "70.00000MHz", "781.2500KHz"},  {9, "70.000000MHz", "48.8281KHz"},
      {11, "70.000000MHz", "12.2070KHz"}, {12, "70.0000000MHz", "6.1035KHz"},
  };
  for (const Case& c : cases) {
    auto state = StateWith(blocks::ZeroBlock(700000, c.k));
    const UpdateOutcome outcome = SpectrumUpdater(Library()).Update(*state, {});
    EXPECT_EQ(outcome.CenterFreqText, c.centre) << "k " << c.k;
    EXPECT_EQ(outcome.FrequencyText, c.centre) << "k " << c.k;
    EXPECT_EQ(outcome.SampleRateText, c.rate) << "k " << c.k;
    EXPECT_EQ(outcome.ClickX, 700.0f * state->Block.SpanScale);  // on the plot's x axis
  }
}

TEST(SpectrumUpdate, FirstTwoDataSetsFitTheViewThenRedraw) {
  auto state = std::make_unique<SpectrumState>();
  const SpectrumUpdater updater(Library());
  const UpdateOptions options{true, true, true};
  std::vector<bool> fits;
  for (int n = 0; n < 4; ++n) {
    specterm::ParseBlock(std::string_view(blocks::ToneBlock(700000, 1, 7, 20 + n)), state->Block);
    const UpdateOutcome outcome = updater.Update(*state, options);
    fits.push_back(outcome.FitView);
    EXPECT_TRUE(state->Traces.HaveData);
    if (outcome.FitView) {
      EXPECT_FALSE(outcome.SampleCountsStatus.has_value());
    } else {
      EXPECT_EQ(outcome.SampleCountsStatus,
                "Peak Hold Samples = " + std::to_string(n + 1) + " | Video Average Samples = " + std::to_string(n + 1));
    }
  }
  EXPECT_EQ(fits, (std::vector<bool>{true, true, false, false}));
}

TEST(SpectrumUpdate, TheFirstTwoDataSetsAndEachChangeOfBandFitTheView) {
  // Centre, rate exponent, all-zero samples (point 1 at 0 dB), fit: point 1
  // at frequency 0 or at 0 dB keeps no fit going; a retune and another rate
  // fit once.
  const std::tuple<std::uint32_t, std::uint16_t, bool, bool> sets[] = {
      {0, 1, false, true},      {0, 1, true, true},        {0, 1, false, false},     {0, 1, true, false},
      {700000, 1, false, true}, {700000, 1, false, false}, {700000, 3, false, true}, {700000, 3, false, false}};
  auto state = std::make_unique<SpectrumState>();
  const SpectrumUpdater updater(Library());
  for (const auto& [centre, k, zero, fits] : sets) {
    specterm::ParseBlock(std::string_view(zero ? blocks::ZeroBlock(centre, k) : blocks::ToneBlock(centre, k, 7, 20)),
                         state->Block);
    EXPECT_EQ(updater.Update(*state, {}).FitView, fits) << centre << " " << k << " " << zero;
  }
}

TEST(SpectrumUpdate, WithoutALibraryNothingChanges) {
  auto state = StateWith(blocks::ToneBlock(700000, 1, 7, 1));
  const SpectrumUpdater updater(nullptr);
  const UpdateOutcome outcome = updater.Update(*state, {});
  EXPECT_FALSE(outcome.Error.empty());
  EXPECT_FALSE(state->Traces.HaveData);
  EXPECT_EQ(state->Traces.TraceX[0][0], 0.0f);
}

}  // namespace
