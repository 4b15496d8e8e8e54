// The "orbscope:" file: 1024 pairs around the ideal points of the receiver's
// EVM measure for each model and modulation, with noise at the configured
// SNR. The EVM routines here are the receiver's, written out for the test.

#include "ConstellationSynth.h"
#include "SimTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace modemsimtest;

namespace {

struct Pairs {
  std::vector<double> i, q;
};

Pairs Split(const std::string& bytes) {
  Pairs p;
  for (std::size_t k = 0; k + 1 < 2048 && k + 1 < bytes.size(); k += 2) {
    p.i.push_back(static_cast<unsigned char>(bytes[k]));
    p.q.push_back(static_cast<unsigned char>(bytes[k + 1]));
  }
  return p;
}

const double kT = std::tan(0.39269875);

double Fold(double x, double step) { return x > step ? x - step : x; }

// -10 log10(mean error / reference power) for model 0, 1, 2 and type
// (modulation - 1); -1 for types the model does not know.
double Evm(int model, int type, const Pairs& p) {
  double sum = 0.0, ref = 0.0;
  for (std::size_t k = 0; k < p.i.size(); ++k) {
    const double a = std::abs(p.i[k] - 128), b = std::abs(p.q[k] - 128);
    const double hi = std::max(a, b), lo = a >= b ? b : a;
    double e = 0.0;
    if (model == 1) {
      switch (type) {
        case 0:
          e = (a - 72) * (a - 72), ref = 72 * 72;
          break;
        case 1:
        case 2:
          e = (a - 64) * (a - 64) + (b - 64) * (b - 64), ref = 8192;
          break;
        case 3:
          e = (hi - 88) * (hi - 88) + (lo - 88 * kT) * (lo - 88 * kT), ref = 88 * 88 * (1 + kT * kT);
          break;
        case 4:
          e = std::pow(Fold(a, 56) - 28, 2) + std::pow(Fold(b, 56) - 28, 2), ref = 7840;
          break;
        default:
          return -1;
      }
    } else if (model == 2) {
      switch (type) {
        case 0:
          e = (a - 68) * (a - 68) + b * b, ref = 68 * 68;
          break;
        case 1:
        case 2:
          e = (a - 68) * (a - 68) + (b - 68) * (b - 68), ref = 9248;
          break;
        case 3:
          e = (hi - 88) * (hi - 88) + (lo - 88 * kT) * (lo - 88 * kT), ref = 88 * 88 * (1 + kT * kT);
          break;
        case 4:
          e = std::pow(Fold(a, 62) - 31, 2) + std::pow(Fold(b, 62) - 31, 2), ref = 9610;
          break;
        case 5: {
          double a2, b2;
          if (a <= 80) {
            a2 = a - 40, b2 = b > 40 ? b - 80 : b;
          } else if (b <= 40) {
            a2 = a - 120, b2 = b;
          } else if (b > a - 40) {
            a2 = a - 40, b2 = b - 80;
          } else {
            a2 = a - 120, b2 = b;
          }
          e = a2 * a2 + b2 * b2, ref = 8000;
          break;
        }
        default:
          return -1;
      }
    } else {
      switch (type) {
        case 0:
          e = (a - 64) * (a - 64) + b * b, ref = 4096;
          break;
        case 1:
        case 2:
          e = (a - 64) * (a - 64) + (b - 64) * (b - 64), ref = 8192;
          break;
        case 3:
          e = (hi - 64) * (hi - 64) + (lo - 64 * kT) * (lo - 64 * kT), ref = 64 * 64 * (1 + kT * kT);
          break;
        case 4:
          e = std::pow(Fold(a, 64) - 32, 2) + std::pow(Fold(b, 64) - 32, 2), ref = 10240;
          break;
        default:
          return -1;
      }
    }
    sum += e;
  }
  return -10.0 * std::log10(sum / static_cast<double>(p.i.size()) / ref);
}

// The SNR the receiver's measure shows for noise on both axes: the Halden
// BPSK measure looks at I only and so sees half the noise.
double ExpectedEvm(int model, int modulation, double snr) { return model == 1 && modulation == 1 ? snr + 3.01 : snr; }

}  // namespace

TEST(SimConstellation, FileCarriesPairsThenModelAndModulation) {
  testsupport::ModemSim sim({"--model", "1", "--modulation", "4", "--snr", "30"});
  const auto bytes = Fetch(sim.Port(), "orbscope:");
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 2050u);
  EXPECT_EQ((*bytes)[2048], 1);
  EXPECT_EQ((*bytes)[2049], 4);
  EXPECT_NEAR(Evm(1, 3, Split(*bytes)), 30.0, 1.0);
}

TEST(SimConstellation, ShortFileLeavesOutTheTrailingBytes) {
  testsupport::ModemSim sim({"--short-orbscope"});
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  EXPECT_EQ(c.Command("SIZE orbscope:").text, "213 2048");
  const auto bytes = c.Retr("orbscope:");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 2048u);
}

TEST(SimConstellation, EachReadIsNewDataRepeatableBySeed) {
  testsupport::ModemSim a({"--seed", "5"});
  testsupport::ModemSim b({"--seed", "5"});
  const auto a0 = Fetch(a.Port(), "orbscope:"), a1 = Fetch(a.Port(), "orbscope:");
  const auto b0 = Fetch(b.Port(), "orbscope:"), b1 = Fetch(b.Port(), "orbscope:");
  ASSERT_TRUE(a0 && a1 && b0 && b1);
  EXPECT_NE(*a0, *a1);
  EXPECT_EQ(*a0, *b0);
  EXPECT_EQ(*a1, *b1);
}

TEST(SimConstellation, PairsClusterAtTheIdealPointsOfEveryModelAndModulation) {
  const std::map<int, int> typesPerModel = {{0, 5}, {1, 5}, {2, 6}};
  for (const auto& [model, modulations] : typesPerModel) {
    for (int modulation = 1; modulation <= modulations; ++modulation) {
      SCOPED_TRACE("model " + std::to_string(model) + " modulation " + std::to_string(modulation));
      modemsim::ConstellationParams params;
      params.model = static_cast<std::uint8_t>(model);
      params.modulation = static_cast<std::uint8_t>(modulation);
      params.snrDb = 25.0;
      const std::vector<std::uint8_t> file = modemsim::SynthesizeConstellation(params, 3);
      ASSERT_EQ(file.size(), 2050u);
      EXPECT_EQ(file[2048], model);
      EXPECT_EQ(file[2049], modulation);
      const Pairs p = Split(std::string(file.begin(), file.end()));
      EXPECT_NEAR(Evm(model, modulation - 1, p), ExpectedEvm(model, modulation, 25.0), 1.0);

      // Every ideal point is used, and the pairs sit close to their nearest one.
      const auto points = modemsim::IdealPoints(params.model, params.modulation);
      std::vector<int> hits(points.size(), 0);
      for (std::size_t k = 0; k < p.i.size(); ++k) {
        std::size_t best = 0;
        double bestD = 1e9;
        for (std::size_t j = 0; j < points.size(); ++j) {
          const double d = std::hypot(p.i[k] - 128 - points[j].i, p.q[k] - 128 - points[j].q);
          if (d < bestD) bestD = d, best = j;
        }
        EXPECT_LT(bestD, 25.0);
        ++hits[best];
      }
      for (int h : hits) EXPECT_GT(h, 1024 / static_cast<int>(points.size()) / 3);
    }
  }
}

TEST(SimConstellation, EvmFollowsTheConfiguredSnrOverTheWire) {
  for (const double snr : {15.0, 25.0, 35.0}) {
    testsupport::ModemSim sim({"--model", "2", "--modulation", "5", "--snr", std::to_string(snr)});
    const auto bytes = Fetch(sim.Port(), "orbscope:");
    ASSERT_TRUE(bytes);
    EXPECT_NEAR(Evm(2, 4, Split(*bytes)), snr, 1.0) << snr;
  }
}

TEST(SimConstellation, ModelLevelsDifferAsTheReceiverExpects) {
  // BPSK of a model 1 modem sits at +-72 on I, of model 2 at +-68.
  modemsim::ConstellationParams params;
  params.modulation = 1;
  params.snrDb = 60;
  for (const auto& [model, level] : std::map<int, int>{{0, 64}, {1, 72}, {2, 68}}) {
    params.model = static_cast<std::uint8_t>(model);
    const auto file = modemsim::SynthesizeConstellation(params, 0);
    for (std::size_t k = 0; k < 2048; k += 2) {
      EXPECT_EQ(std::abs(file[k] - 128), level) << model;
      EXPECT_EQ(file[k + 1], 128) << model;
    }
  }
}

TEST(SimConstellation, NoModulationServesANoiseCloudAroundTheOrigin) {
  testsupport::ModemSim sim({"--modulation", "0", "--model", "9"});
  const auto bytes = Fetch(sim.Port(), "orbscope:");
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 2050u);
  EXPECT_EQ(static_cast<unsigned char>((*bytes)[2048]), 9);
  EXPECT_EQ((*bytes)[2049], 0);
  const Pairs p = Split(*bytes);
  double meanI = 0, meanQ = 0;
  for (std::size_t k = 0; k < p.i.size(); ++k) meanI += p.i[k] / 1024, meanQ += p.q[k] / 1024;
  EXPECT_NEAR(meanI, 128, 5);
  EXPECT_NEAR(meanQ, 128, 5);
}
