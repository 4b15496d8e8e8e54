// The FFT library against a plain double-precision DFT: kernel sign, bin
// order, no normalisation, any size, in place and unaligned arrays, bad
// arguments, and concurrent first use from several threads.

#include "FFT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace {

using Spectrum = std::vector<std::complex<double>>;

// X[k] = sum x[n] e^(sign j 2 pi n k / N).
Spectrum Dft(const std::vector<double>& re, const std::vector<double>& im, int sign) {
  const std::size_t n = re.size();
  Spectrum out(n);
  for (std::size_t k = 0; k < n; ++k) {
    std::complex<double> sum = 0;
    for (std::size_t t = 0; t < n; ++t) {
      const double angle = sign * 2.0 * std::numbers::pi * static_cast<double>((t * k) % n) / static_cast<double>(n);
      sum += std::complex<double>(re[t], im[t]) * std::polar(1.0, angle);
    }
    out[k] = sum;
  }
  return out;
}

struct Signal {
  std::vector<double> re;
  std::vector<double> im;
};

// Small integers and halves, as the modem's samples are.
Signal RandomSignal(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> sample(-255, 254);
  Signal s{std::vector<double>(n), std::vector<double>(n)};
  for (std::size_t i = 0; i < n; ++i) {
    s.re[i] = sample(random) / 2.0;
    s.im[i] = sample(random) / 2.0;
  }
  return s;
}

std::vector<float> ToFloat(const std::vector<double>& v) { return std::vector<float>(v.begin(), v.end()); }

double MaxError(const Spectrum& expected, const std::vector<float>& re, const std::vector<float>& im) {
  double worst = 0;
  for (std::size_t k = 0; k < expected.size(); ++k)
    worst = std::max(worst, std::abs(expected[k] - std::complex<double>(re[k], im[k])));
  return worst;
}

TEST(FftFloat, MatchesPlainDftForTheModemSize) {
  const Signal s = RandomSignal(4096, 1);
  const Spectrum expected = Dft(s.re, s.im, -1);
  const std::vector<float> re = ToFloat(s.re), im = ToFloat(s.im);
  std::vector<float> outRe(4096), outIm(4096);
  ASSERT_EQ(fft_float(4096, 0, re.data(), im.data(), outRe.data(), outIm.data()), 0);
  // Bins are sums of 4096 samples of up to 127.5: single precision leaves
  // errors of a few hundredths at most.
  EXPECT_LT(MaxError(expected, outRe, outIm), 0.05);
}

TEST(FftFloat, MatchesPlainDftForSizesThatAreNotPowersOfTwo) {
  for (unsigned n : {1u, 7u, 13u, 1003u}) {
    const Signal s = RandomSignal(n, n);
    for (int inverse : {0, 1}) {
      const Spectrum expected = Dft(s.re, s.im, inverse ? +1 : -1);
      const std::vector<float> re = ToFloat(s.re), im = ToFloat(s.im);
      std::vector<float> outRe(n), outIm(n);
      ASSERT_EQ(fft_float(n, inverse, re.data(), im.data(), outRe.data(), outIm.data()), 0);
      EXPECT_LT(MaxError(expected, outRe, outIm), 0.02) << "n " << n << " inverse " << inverse;
    }
  }
}

TEST(FftFloat, ForwardKernelPutsPositiveToneInItsOwnBin) {
  // e^(+j 2 pi 5 n / 64): five cycles per 64 samples, unnormalised -> 64 at bin 5.
  const std::size_t n = 64;
  std::vector<float> re(n), im(n), outRe(n), outIm(n);
  for (std::size_t t = 0; t < n; ++t) {
    re[t] = static_cast<float>(std::cos(2 * std::numbers::pi * 5 * t / n));
    im[t] = static_cast<float>(std::sin(2 * std::numbers::pi * 5 * t / n));
  }
  ASSERT_EQ(fft_float(n, 0, re.data(), im.data(), outRe.data(), outIm.data()), 0);
  for (std::size_t k = 0; k < n; ++k) {
    EXPECT_NEAR(outRe[k], k == 5 ? 64.0 : 0.0, 1e-4) << "bin " << k;
    EXPECT_NEAR(outIm[k], 0.0, 1e-4) << "bin " << k;
  }
}

TEST(FftDouble, MatchesPlainDftInBothDirectionsForOddSizes) {
  for (std::size_t n : {1u, 2u, 17u, 1000u}) {
    const Signal s = RandomSignal(n, static_cast<unsigned>(n));
    for (int inverse : {0, 1}) {
      const Spectrum expected = Dft(s.re, s.im, inverse ? +1 : -1);
      std::vector<double> outRe(n), outIm(n);
      ASSERT_EQ(fft_double(static_cast<unsigned>(n), inverse, s.re.data(), s.im.data(), outRe.data(), outIm.data()), 0);
      for (std::size_t k = 0; k < n; ++k) {
        EXPECT_NEAR(outRe[k], expected[k].real(), 1e-8) << "n " << n << " bin " << k << " inverse " << inverse;
        EXPECT_NEAR(outIm[k], expected[k].imag(), 1e-8) << "n " << n << " bin " << k << " inverse " << inverse;
      }
    }
  }
}

TEST(FftFloat, InverseOfForwardIsNTimesTheInput) {
  const Signal s = RandomSignal(4096, 7);
  const std::vector<float> re = ToFloat(s.re), im = ToFloat(s.im);
  std::vector<float> fRe(4096), fIm(4096), bRe(4096), bIm(4096);
  ASSERT_EQ(fft_float(4096, 0, re.data(), im.data(), fRe.data(), fIm.data()), 0);
  ASSERT_EQ(fft_float(4096, 1, fRe.data(), fIm.data(), bRe.data(), bIm.data()), 0);
  for (std::size_t i = 0; i < 4096; ++i) {
    EXPECT_NEAR(bRe[i], 4096.0 * re[i], 0.5) << i;
    EXPECT_NEAR(bIm[i], 4096.0 * im[i], 0.5) << i;
  }
}

TEST(FftFloat, InPlaceAndUnalignedArraysGiveTheSameResult) {
  const Signal s = RandomSignal(4096, 3);
  const std::vector<float> re = ToFloat(s.re), im = ToFloat(s.im);
  std::vector<float> refRe(4096), refIm(4096);
  ASSERT_EQ(fft_float(4096, 0, re.data(), im.data(), refRe.data(), refIm.data()), 0);

  std::vector<float> inPlaceRe = re, inPlaceIm = im;
  ASSERT_EQ(fft_float(4096, 0, inPlaceRe.data(), inPlaceIm.data(), inPlaceRe.data(), inPlaceIm.data()), 0);
  EXPECT_EQ(inPlaceRe, refRe);
  EXPECT_EQ(inPlaceIm, refIm);

  // One float off any SIMD alignment.
  std::vector<float> buffer(4 * 4096 + 4);
  float* inRe = buffer.data() + 1;
  float* inIm = inRe + 4096;
  float* outRe = inIm + 4096;
  float* outIm = outRe + 4096;
  std::copy(re.begin(), re.end(), inRe);
  std::copy(im.begin(), im.end(), inIm);
  ASSERT_EQ(fft_float(4096, 0, inRe, inIm, outRe, outIm), 0);
  EXPECT_TRUE(std::equal(refRe.begin(), refRe.end(), outRe));
  EXPECT_TRUE(std::equal(refIm.begin(), refIm.end(), outIm));
}

TEST(FftFloat, RejectsBadArgumentsWithoutTouchingTheOutput) {
  std::vector<float> in(8, 1.0f), outRe(8, 7.0f), outIm(8, 7.0f);
  EXPECT_NE(fft_float(0, 0, in.data(), in.data(), outRe.data(), outIm.data()), 0);
  EXPECT_NE(fft_float(8, 0, nullptr, in.data(), outRe.data(), outIm.data()), 0);
  EXPECT_NE(fft_float(8, 0, in.data(), in.data(), outRe.data(), nullptr), 0);
  EXPECT_EQ(outRe, std::vector<float>(8, 7.0f));
  EXPECT_EQ(outIm, std::vector<float>(8, 7.0f));
  std::vector<double> d(8, 1.0);
  EXPECT_NE(fft_double(0, 0, d.data(), d.data(), d.data(), d.data()), 0);
}

TEST(IndexToFrequency, GivesTheSignedFractionOfTheRate) {
  EXPECT_EQ(Index_to_frequency(4096, 0), 0.0);
  EXPECT_EQ(Index_to_frequency(4096, 1), 1.0 / 4096);
  EXPECT_EQ(Index_to_frequency(4096, 1024), 0.25);
  EXPECT_EQ(Index_to_frequency(4096, 2048), 0.5);
  EXPECT_EQ(Index_to_frequency(4096, 2049), -2047.0 / 4096);
  EXPECT_EQ(Index_to_frequency(4096, 3072), -0.25);
  EXPECT_EQ(Index_to_frequency(4096, 4095), -1.0 / 4096);
  EXPECT_EQ(Index_to_frequency(4096, 4096), 0.0);
  EXPECT_EQ(Index_to_frequency(5, 2), 0.4);
  EXPECT_EQ(Index_to_frequency(5, 3), -0.4);
  EXPECT_EQ(Index_to_frequency(0, 3), 0.0);
}

TEST(FftFloat, ConcurrentFirstUseFromManyThreadsIsCorrect) {
  // Several threads plan new sizes and transform at the same time.
  const std::vector<unsigned> sizes = {96, 128, 480, 512, 96, 128, 480, 512};
  std::vector<int> failures(sizes.size(), 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < sizes.size(); ++t) {
    threads.emplace_back([&, t] {
      const unsigned n = sizes[t];
      const Signal s = RandomSignal(n, 100 + static_cast<unsigned>(t));
      const Spectrum expected = Dft(s.re, s.im, -1);
      const std::vector<float> re = ToFloat(s.re), im = ToFloat(s.im);
      std::vector<float> outRe(n), outIm(n);
      for (int round = 0; round < 20; ++round) {
        if (fft_float(n, 0, re.data(), im.data(), outRe.data(), outIm.data()) != 0 ||
            MaxError(expected, outRe, outIm) > 0.01)
          ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(sizes.size(), 0));
}

TEST(FftFloat, EveryProcessGivesTheSameBits) {
  // Exports are compared between runs, so a block must transform to the same
  // bits in every process that plans the size afresh, however busy the
  // machine is: the processes run at once and compete for the processors.
  constexpr unsigned n = 4096;
  constexpr int processes = 16;
  const Signal s = RandomSignal(n, 7);
  const std::vector<float> re = ToFloat(s.re), im = ToFloat(s.im);
  const std::size_t bytes = 2 * n * sizeof(float);
  std::vector<int> readEnds;
  std::vector<pid_t> children;
  for (int p = 0; p < processes; ++p) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      std::vector<float> out(2 * n);
      if (fft_float(n, 0, re.data(), im.data(), out.data(), out.data() + n) != 0) _exit(1);
      const char* data = reinterpret_cast<const char*>(out.data());
      for (std::size_t done = 0; done < bytes;) {
        const ssize_t w = write(fds[1], data + done, bytes - done);
        if (w <= 0) _exit(1);
        done += static_cast<std::size_t>(w);
      }
      _exit(0);
    }
    close(fds[1]);
    readEnds.push_back(fds[0]);
    children.push_back(child);
  }
  std::vector<std::vector<float>> results;
  for (int p = 0; p < processes; ++p) {
    std::vector<float> got(2 * n);
    std::size_t done = 0;
    char* data = reinterpret_cast<char*>(got.data());
    while (done < bytes) {
      const ssize_t r = read(readEnds[p], data + done, bytes - done);
      if (r <= 0) break;
      done += static_cast<std::size_t>(r);
    }
    close(readEnds[p]);
    waitpid(children[p], nullptr, 0);
    EXPECT_EQ(done, bytes) << "process " << p;
    results.push_back(std::move(got));
  }
  for (int p = 1; p < processes; ++p)
    EXPECT_EQ(std::memcmp(results[p].data(), results[0].data(), bytes), 0)
        << "process " << p << " differs from process 0";
}

}  // namespace
