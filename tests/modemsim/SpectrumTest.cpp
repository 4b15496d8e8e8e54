// The "spectrum:" block as a client receives it: header fields, and the
// carrier, tones and noise where they were configured (decoded and
// transformed here, independently of the simulator's code).

#include "SimTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace modemsimtest;

namespace {

double Db(double ratio) { return 10.0 * std::log10(ratio); }

// Mean noise power per bin, from the bins outside the given bands (the
// median of exponentially distributed powers is ln 2 of their mean).
double NoiseFloor(const std::vector<double>& power, const std::vector<std::pair<int, int>>& busy) {
  const int n = static_cast<int>(power.size());
  std::vector<double> quiet;
  for (int bin = 0; bin < n; ++bin) {
    const bool inBusy = std::any_of(busy.begin(), busy.end(), [&](const std::pair<int, int>& band) {
      const int d = ((bin - band.first) % n + n) % n;
      return d <= band.second || n - d <= band.second;
    });
    if (!inBusy) quiet.push_back(power[static_cast<std::size_t>(bin)]);
  }
  std::nth_element(quiet.begin(), quiet.begin() + static_cast<long>(quiet.size() / 2), quiet.end());
  return quiet[quiet.size() / 2] / std::log(2.0);
}

double MeanAround(const std::vector<double>& power, int centre, int half) {
  const int n = static_cast<int>(power.size());
  double sum = 0.0;
  for (int d = -half; d <= half; ++d) sum += power[static_cast<std::size_t>(((centre + d) % n + n) % n)];
  return sum / (2 * half + 1);
}

double MaxAround(const std::vector<double>& power, int centre, int half) {
  const int n = static_cast<int>(power.size());
  double best = 0.0;
  for (int d = -half; d <= half; ++d)
    best = std::max(best, power[static_cast<std::size_t>(((centre + d) % n + n) % n)]);
  return best;
}

}  // namespace

TEST(SimSpectrum, HeaderCarriesTheConfiguredFields) {
  testsupport::ModemSim sim({"--centre", "1234567", "--rate-exponent", "3"});
  const auto bytes = Fetch(sim.Port(), "spectrum:");
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 8224u);
  const SpectrumBlock b = DecodeSpectrum(*bytes);
  EXPECT_EQ(b.centre, 1234567u);
  EXPECT_EQ(b.rateExponent, 3u);
  EXPECT_EQ((*bytes)[2], '\x00');  // 1234567 = 0x0012D687, big-endian
  EXPECT_EQ((*bytes)[3], '\x12');
  EXPECT_EQ((*bytes)[5], '\x87');
}

TEST(SimSpectrum, CarrierAndTonesStandAboveTheNoiseWhereConfigured) {
  // k = 1: 25 MHz sample rate, 6103.5 Hz per bin.
  testsupport::ModemSim sim({"--rate-exponent", "1", "--carrier-offset", "3000000", "--symbol-rate", "2000000",
                             "--carrier-db", "30", "--tone", "-5500000:40", "--tone", "5000000:25", "--seed", "7"});
  const auto bytes = Fetch(sim.Port(), "spectrum:");
  ASSERT_TRUE(bytes);
  const SpectrumBlock block = DecodeSpectrum(*bytes);
  const double rate = BlockRateHz(block.rateExponent);
  ASSERT_DOUBLE_EQ(rate, 25e6);

  // Samples use most of the range but never reach its ends (no clipping).
  double peak = 0.0;
  for (std::size_t k = 0; k < 4096; ++k) peak = std::max({peak, std::abs(block.i[k]), std::abs(block.q[k])});
  EXPECT_GT(peak, 100.0);
  EXPECT_LT(peak, 127.0);

  const std::vector<double> power = PowerSpectrum(block);
  const int carrier = BinOf(3e6, rate);
  const int carrierHalfWidth = static_cast<int>(std::ceil(1.35 * 2e6 / 2 / rate * 4096)) + 4;
  const int tone1 = BinOf(-5.5e6, rate), tone2 = BinOf(5e6, rate);
  const double noise = NoiseFloor(power, {{carrier, carrierHalfWidth}, {tone1, 6}, {tone2, 6}});

  // The flat top of the raised-cosine carrier (within (1 - 0.35) / 2 of its
  // symbol rate from its centre) lies 30 dB over the noise density.
  const int flatHalf = static_cast<int>(0.65 * 2e6 / 2 / rate * 4096) - 4;
  EXPECT_NEAR(Db(MeanAround(power, carrier, flatHalf) / noise), 30.0, 1.5);
  // Outside its roll-off the carrier is gone.
  EXPECT_LT(Db(MeanAround(power, carrier + carrierHalfWidth + 40, 20) / noise), 3.0);
  EXPECT_LT(Db(MeanAround(power, carrier - carrierHalfWidth - 40, 20) / noise), 3.0);

  // Tones: their peak within a bin of where they belong, at their level
  // (less up to 4 dB of scalloping between bins); nothing at the mirror
  // frequency, so I and Q are the right way round.
  EXPECT_NEAR(Db(MaxAround(power, tone1, 1) / noise), 40.0 - 1.5, 3.0);
  EXPECT_NEAR(Db(MaxAround(power, tone2, 1) / noise), 25.0 - 1.5, 3.0);
  EXPECT_LT(Db(MaxAround(power, BinOf(5.5e6, rate), 1) / noise), 12.0);
  EXPECT_LT(Db(MaxAround(power, BinOf(-5e6, rate), 1) / noise), 12.0);
  EXPECT_LT(Db(MaxAround(power, BinOf(-3e6, rate), 20) / noise), 12.0);
}

TEST(SimSpectrum, RateExponentSetsTheSampleRateOfTheData) {
  // k = 4: 3.125 MHz; a tone at 1 MHz lands at bin 1310.7 only if the
  // samples really come at that rate.
  testsupport::ModemSim sim({"--rate-exponent", "4", "--symbol-rate", "0", "--tone", "1000000:40"});
  const auto bytes = Fetch(sim.Port(), "spectrum:");
  ASSERT_TRUE(bytes);
  const std::vector<double> power = PowerSpectrum(DecodeSpectrum(*bytes));
  const auto peak = std::max_element(power.begin(), power.end()) - power.begin();
  EXPECT_NEAR(static_cast<double>(peak), 1e6 / 3.125e6 * 4096, 1.0);
}

TEST(SimSpectrum, SameSeedSameCapturesOtherSeedOtherData) {
  testsupport::ModemSim a({"--seed", "42"});
  testsupport::ModemSim b({"--seed", "42"});
  testsupport::ModemSim c({"--seed", "43"});
  const auto a0 = Fetch(a.Port(), "spectrum:");
  const auto b0 = Fetch(b.Port(), "spectrum:");
  const auto c0 = Fetch(c.Port(), "spectrum:");
  ASSERT_TRUE(a0 && b0 && c0);
  EXPECT_EQ(*a0, *b0);
  EXPECT_NE(a0->substr(30), c0->substr(30));

  // Reading again does not change the block; a capture does, alike on both.
  EXPECT_EQ(Fetch(a.Port(), "spectrum:"), a0);
  ASSERT_TRUE(TriggerCapture(a.Port()));
  ASSERT_TRUE(TriggerCapture(b.Port()));
  const auto a1 = Fetch(a.Port(), "spectrum:");
  const auto b1 = Fetch(b.Port(), "spectrum:");
  ASSERT_TRUE(a1 && b1);
  EXPECT_EQ(*a1, *b1);
  EXPECT_NE(a1->substr(30), a0->substr(30));
  EXPECT_EQ(DecodeSpectrum(*a1).status, 1u);
  EXPECT_EQ(DecodeSpectrum(*a0).status, 0u);
}

TEST(SimSpectrum, DefaultsLookLikeADemodulatorInput) {
  testsupport::ModemSim sim;
  const auto bytes = Fetch(sim.Port(), "spectrum:");
  ASSERT_TRUE(bytes);
  const SpectrumBlock block = DecodeSpectrum(*bytes);
  EXPECT_EQ(block.centre, 700000u);
  EXPECT_EQ(block.rateExponent, 1u);
  const std::vector<double> power = PowerSpectrum(block);
  const double rate = BlockRateHz(1);
  const double noise = NoiseFloor(power, {{0, static_cast<int>(1.35 * 3e6 / 2 / rate * 4096) + 4}});
  // A carrier a few MHz wide in the middle, well above the noise.
  EXPECT_GT(Db(MeanAround(power, 0, 100) / noise), 25.0);
}

TEST(SimSpectrum, SignalChangesThroughControlApplyFromTheNextCapture) {
  testsupport::ModemSim sim({"--seed", "5"});
  const double rate = BlockRateHz(1);
  const int tone = BinOf(5e6, rate);
  const int carrierHalf = static_cast<int>(1.35 * 3e6 / 2 / rate * 4096) + 4;
  // The carrier's flat top and the tone's peak over the noise, in dB.
  const auto levels = [&](const std::string& bytes) {
    const std::vector<double> power = PowerSpectrum(DecodeSpectrum(bytes));
    const double noise = NoiseFloor(power, {{0, carrierHalf}, {tone, 6}});
    return std::pair(Db(MeanAround(power, 0, 100) / noise), Db(MaxAround(power, tone, 1) / noise));
  };
  const auto before = Fetch(sim.Port(), "spectrum:");
  ASSERT_TRUE(before);

  const FtpReply on = WriteControl(sim.Port(), "tone 5000000:40 on\ncarrier off\n");
  EXPECT_EQ(on.code, 226);
  EXPECT_NE(on.text.find("from capture 1"), std::string::npos) << on.text;
  EXPECT_EQ(Fetch(sim.Port(), "spectrum:"), before) << "the block captured before stays as it was";
  ASSERT_TRUE(TriggerCapture(sim.Port()));
  const auto first = Fetch(sim.Port(), "spectrum:");
  ASSERT_TRUE(first);
  EXPECT_EQ(DecodeSpectrum(*first).status, 1u);
  EXPECT_LT(levels(*first).first, 3.0);
  EXPECT_NEAR(levels(*first).second, 40.0 - 1.5, 3.0);

  EXPECT_EQ(WriteControl(sim.Port(), "carrier on\ncarrier-db 20\ntone 5000000 off\n").code, 226);
  EXPECT_EQ(Fetch(sim.Port(), "spectrum:"), first);
  ASSERT_TRUE(TriggerCapture(sim.Port()));
  const auto second = Fetch(sim.Port(), "spectrum:");
  ASSERT_TRUE(second);
  EXPECT_NEAR(levels(*second).first, 20.0, 1.5);
  EXPECT_LT(levels(*second).second, 12.0);

  EXPECT_EQ(WriteControl(sim.Port(), "tone -2500000.5:12.25\n").code, 226);
  EXPECT_EQ(Fetch(sim.Port(), "control:"), "carrier on\ncarrier-db 20\ntone -2500000.5:12.25 on\n");
  EXPECT_EQ(WriteControl(sim.Port(), "tone 5000000:40 maybe\n").code, 451);
}
