// EVM routines against values worked out by hand.

#include "monitor/ConstellationPlot.h"
#include "monitor/Evm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace orbscope;

struct Pairs {
  std::vector<double> i, q;
  void Add(double iv, double qv) {
    i.push_back(iv);
    q.push_back(qv);
  }
  int N() const { return static_cast<int>(i.size()); }
};

double Melgar(int type, const Pairs& p) { return EvmMelgar(type, p.N(), p.i.data(), p.q.data()); }
double Halden(int type, const Pairs& p) { return EvmHalden(type, p.N(), p.i.data(), p.q.data()); }
double Torvik(int type, const Pairs& p) { return EvmTorvik(type, p.N(), p.i.data(), p.q.data()); }

TEST(EvmTest, PerfectQpskIsInfiniteAndPrintsAsInf) {
  Pairs p;
  for (int k = 0; k < 256; ++k) {
    p.Add(192, 192);
    p.Add(64, 64);
    p.Add(192, 64);
    p.Add(64, 192);
  }
  const double evm = Melgar(kQpsk, p);
  EXPECT_TRUE(std::isinf(evm) && evm > 0);
  EXPECT_EQ(Melgar(kOqpsk, p), evm);
  EXPECT_EQ(FormatDb(evm), "Inf");
  EXPECT_EQ(FormatTitle(0 * 256 + 2, evm, false, 0, 0, 0), "Melgar (QPSK EVM= Inf dB)");
}

TEST(EvmTest, BpskPairAt192And128OnTwoModels) {
  Pairs p;
  p.Add(192, 128);
  EXPECT_TRUE(std::isinf(Melgar(kBpsk, p))) << "on the Melgar level: no error";
  // Halden's level is 72: e = (64 - 72)^2 = 64, P = 72^2 = 5184, EVM = 10 log10(81).
  EXPECT_NEAR(Halden(kBpsk, p), 19.0849, 1e-4);
  // Torvik's level is 68: e = 16, P = 4624, EVM = 10 log10(289).
  EXPECT_NEAR(Torvik(kBpsk, p), 24.6090, 1e-4);
}

TEST(EvmTest, HaldenBpskIgnoresQ) {
  Pairs p;
  p.Add(56, 0);  // a = 72 on Halden's level, b = 128
  EXPECT_TRUE(std::isinf(Halden(kBpsk, p)));
  // Melgar counts Q: e = 8^2 + 128^2 = 16448, P = 4096.
  EXPECT_NEAR(Melgar(kBpsk, p), -6.0375, 1e-4);
}

TEST(EvmTest, EightQamOnAModelWithoutItIsMinusOneWithoutTouchingSamples) {
  EXPECT_EQ(EvmMelgar(k8Qam, 1024, nullptr, nullptr), -1.0);
  EXPECT_EQ(EvmHalden(k8Qam, 1024, nullptr, nullptr), -1.0);
  EXPECT_EQ(EvmTorvik(6, 1024, nullptr, nullptr), -1.0);
  EXPECT_EQ(EvmMelgar(-1, 1024, nullptr, nullptr), -1.0);
  EXPECT_EQ(FormatTitle(1 * 256 + 6, -1.0, false, 0, 0, 0), "Halden (8QAM EVM= -1.0 dB)");
}

TEST(EvmTest, EightQamFoldingBranches) {
  // a <= 80: against (40, 0) or, above b = 40, (40, 80).
  EXPECT_EQ(Torvik8QamError(50, 10), 100 + 100);
  EXPECT_EQ(Torvik8QamError(40, 90), 0 + 100);
  EXPECT_EQ(Torvik8QamError(80, 41), 40 * 40 + 39 * 39) << "a = 80 still folds to the inner column";
  // a > 80 and b <= 40: against (120, 0).
  EXPECT_EQ(Torvik8QamError(110, 30), 100 + 900);
  EXPECT_EQ(Torvik8QamError(81, 40), 39 * 39 + 40 * 40);
  // a > 80 and b > 40: the nearer of (40, 80) above the line b = a - 40, else (120, 0).
  EXPECT_EQ(Torvik8QamError(90, 70), 2500 + 100);
  EXPECT_EQ(Torvik8QamError(120, 60), 0 + 3600);
  EXPECT_EQ(Torvik8QamError(100, 60), 400 + 3600) << "on the line: (120, 0)";
}

TEST(EvmTest, EightQamOnTorvik) {
  Pairs ideal;
  ideal.Add(168, 128);
  ideal.Add(88, 208);
  ideal.Add(8, 128);
  ideal.Add(168, 48);
  EXPECT_TRUE(std::isinf(Torvik(k8Qam, ideal)));
  Pairs off;
  off.Add(178, 138);  // a = 50, b = 10: e = 200, P = 1.25 * 80^2 = 8000
  EXPECT_NEAR(Torvik(k8Qam, off), 16.0206, 1e-4);
}

TEST(EvmTest, EightPskUsesTheLargerCoordinateAgainstTheLevel) {
  Pairs diagonal;
  diagonal.Add(192, 192);  // a = b = 64: e = (64 (1 - t))^2, P = 64^2 (1 + t^2)
  EXPECT_NEAR(Melgar(k8Psk, diagonal), 5.3329, 1e-4);
  Pairs swapped;
  swapped.Add(158, 192);  // a = 30, b = 64: b is the larger one, e = (30 - 26.50964)^2
  EXPECT_NEAR(Melgar(k8Psk, swapped), 25.9538, 1e-3);
  Pairs haldenPoint;
  haldenPoint.Add(128 + 88, 128 - 88 * 0.4142132);
  EXPECT_GT(Halden(k8Psk, haldenPoint), 90.0) << "the ideal point of the 88 level";
  EXPECT_GT(Torvik(k8Psk, haldenPoint), 90.0);
}

TEST(EvmTest, SixteenQamFoldsOntoTheInnerPoint) {
  Pairs p;
  p.Add(224, 160);            // a = 96 -> 32, b = 32
  p.Add(128 + 40, 128 - 32);  // a = 40, b = 32: e = 64
  // Mean error 32 over P = 2.5 * 64^2 = 10240.
  EXPECT_NEAR(Melgar(k16Qam, p), 25.0515, 1e-4);
  Pairs halden;
  halden.Add(128 + 84, 128 - 28);  // 84 -> 28 on Halden's fold of 56
  EXPECT_TRUE(std::isinf(Halden(k16Qam, halden)));
  Pairs torvik;
  torvik.Add(128 - 93, 128 + 31);  // 93 -> 31 on Torvik's fold of 62
  EXPECT_TRUE(std::isinf(Torvik(k16Qam, torvik)));
}

TEST(EvmTest, QpskLevelsPerModel) {
  Pairs p;
  p.Add(196, 60);  // a = b = 68
  EXPECT_TRUE(std::isinf(Torvik(kQpsk, p)));
  // Halden and Melgar sit at 64: e = 32, P = 8192, EVM = 10 log10(256).
  EXPECT_NEAR(Halden(kQpsk, p), 24.0824, 1e-4);
  EXPECT_NEAR(Melgar(kOqpsk, p), 24.0824, 1e-4);
}

TEST(EvmTest, ModelByteChoosesTheRoutine) {
  Pairs p;
  p.Add(192, 128);
  EXPECT_NEAR(EvmForModel(1, kBpsk, p.N(), p.i.data(), p.q.data()), 19.0849, 1e-4);
  EXPECT_NEAR(EvmForModel(2, kBpsk, p.N(), p.i.data(), p.q.data()), 24.6090, 1e-4);
  EXPECT_TRUE(std::isinf(EvmForModel(0, kBpsk, p.N(), p.i.data(), p.q.data())));
  EXPECT_TRUE(std::isinf(EvmForModel(9, kBpsk, p.N(), p.i.data(), p.q.data()))) << "any other model: Melgar";
}

}  // namespace
