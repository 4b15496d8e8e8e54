// The vectorised inner loops give exactly what their plain forms give.

#include "processing/SampleBlock.h"
#include "processing/SpectrumKernels.h"
#include "processing/SpectrumUpdate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

TEST(Kernels, DecodeSamplesForEveryByteValueAndOffset) {
  std::vector<std::uint8_t> bytes(256 + 37);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 % 256);
  // Odd starts and lengths take the unaligned and tail paths.
  for (std::size_t start : {0u, 1u, 3u}) {
    const std::size_t count = bytes.size() - start;
    std::vector<float> out(count, -999.0f);
    specterm::DecodeSamples(bytes.data() + start, out.data(), count);
    for (std::size_t i = 0; i < count; ++i)
      ASSERT_EQ(out[i], specterm::DecodeSample(bytes[start + i])) << "byte " << int(bytes[start + i]);
  }
}

TEST(Kernels, WindowWeightsAreAppliedInDoublePrecision) {
  std::vector<float> in(4096 + 5), inQ(in.size());
  std::vector<double> w(in.size());
  std::mt19937 random(3);
  for (std::size_t i = 0; i < in.size(); ++i) {
    in[i] = specterm::DecodeSample(static_cast<std::uint8_t>(random()));
    inQ[i] = specterm::DecodeSample(static_cast<std::uint8_t>(random()));
    w[i] = specterm::WindowWeight(i % 4096 + 1);
  }
  std::vector<float> out(in.size()), outQ(in.size());
  specterm::ApplyWeights(in.data(), inQ.data(), w.data(), out.data(), outQ.data(), in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    ASSERT_EQ(out[i], static_cast<float>(double(in[i]) * w[i])) << i;
    ASSERT_EQ(outQ[i], static_cast<float>(double(inQ[i]) * w[i])) << i;
  }
}

float Straightforward(float re, float im) {
  if (re == 0 && im == 0) return 0.0f;
  const double y = 10 * (std::log(double(re) * re + double(im) * im) / std::log(10.0));
  return y < 0 ? 0.0f : static_cast<float>(y);
}

TEST(Kernels, DecibelsMatchTheStraightforwardDoubleComputation) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
  std::uniform_int_distribution<int> exponent(-20, 20);
  std::vector<float> re, im;
  for (int i = 0; i < 200000; ++i) {
    re.push_back(std::ldexp(mantissa(random), exponent(random)));
    im.push_back(std::ldexp(mantissa(random), exponent(random)));
  }
  // Just above and below 0 dB, the zero bin and exact powers of two.
  for (float r : {1.0f, 0.99999994f, 1.0000001f, 0.0f, 2.0f, 1024.0f, 1.4142135f, 1.4142137f}) {
    re.push_back(r);
    im.push_back(0.0f);
  }
  // One more, so the count is not a multiple of the vector width.
  re.push_back(3.0f);
  im.push_back(4.0f);
  std::vector<float> y(re.size());
  specterm::PowerToDecibels(re.data(), im.data(), y.data(), re.size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < re.size(); ++i) {
    const float expected = Straightforward(re[i], im[i]);
    if (y[i] == expected) continue;
    ++differing;
    // A value on a rounding boundary may land one unit in the last place away.
    ASSERT_LE(std::abs(std::bit_cast<std::int32_t>(y[i]) - std::bit_cast<std::int32_t>(expected)), 1)
        << re[i] << " " << im[i] << ": " << y[i] << " vs " << expected;
  }
  EXPECT_LT(differing, re.size() / 10000);
}

}  // namespace

namespace {

// The row kernels against their scalar forms, at a length that takes the
// tail paths too.
TEST(Kernels, RowKernelsMatchTheirScalarForms) {
  constexpr std::size_t n = 2048 + 13;
  std::mt19937 random(9);
  std::uniform_real_distribution<float> level(-30.0f, 90.0f);
  std::vector<float> y(n), average(n), peak(n);
  std::vector<double> fractions(n);
  for (std::size_t i = 0; i < n; ++i) {
    y[i] = level(random);
    average[i] = level(random);
    peak[i] = level(random);
    fractions[i] = (static_cast<double>(i) - n / 2.0) / 4096.0;
  }
  std::vector<float> x(n), blended = average, held = peak;
  specterm::ScaleFrequencies(fractions.data(), 250.0, 7000.0, 10.0, x.data(), n);
  specterm::BlendInto(blended.data(), y.data(), 6.0 / 7.0, 1.0 / 7.0, n);
  specterm::MaxInto(held.data(), y.data(), n);
  for (std::size_t i = 0; i < n; ++i) {
    ASSERT_EQ(x[i], static_cast<float>((fractions[i] * 250.0 + 7000.0) * 10.0)) << i;
    ASSERT_EQ(blended[i], static_cast<float>(6.0 / 7.0 * double(average[i]) + 1.0 / 7.0 * double(y[i]))) << i;
    ASSERT_EQ(held[i], std::max(peak[i], y[i])) << i;
  }
  for (const std::size_t count : {std::size_t{1}, std::size_t{15}, n}) {
    float lowest = 0, highest = 0;
    specterm::MinMax(y.data(), count, lowest, highest);
    EXPECT_EQ(lowest, *std::min_element(y.begin(), y.begin() + count)) << count;
    EXPECT_EQ(highest, *std::max_element(y.begin(), y.begin() + count)) << count;
  }
}

}  // namespace
