#include "TestBlocks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace blocks {

std::string MakeBlock(std::uint32_t centerField, std::uint16_t k, const std::function<std::uint8_t(std::size_t)>& iByte,
                      const std::function<std::uint8_t(std::size_t)>& qByte) {
  std::string block(specterm::kBlockLength, '\0');
  block[0] = '\x12';
  block[1] = '\x34';
  for (int i = 0; i < 4; ++i) block[2 + i] = static_cast<char>((centerField >> (24 - 8 * i)) & 0xFF);
  block[6] = static_cast<char>(k >> 8);
  block[7] = static_cast<char>(k & 0xFF);
  for (std::size_t n = 0; n < specterm::kSampleCount; ++n) {
    block[30 + n] = static_cast<char>(iByte(n));
    block[30 + 4096 + n] = static_cast<char>(qByte(n));
  }
  block[8222] = '\x56';
  block[8223] = '\x78';
  return block;
}

std::string ZeroBlock(std::uint32_t centerField, std::uint16_t k) {
  auto zero = [](std::size_t) -> std::uint8_t { return 0; };
  return MakeBlock(centerField, k, zero, zero);
}

std::uint8_t EncodeSample(double v) {
  if (v >= 0) return static_cast<std::uint8_t>(std::lround(std::min(v, 127.0)));
  const long b = std::lround(std::max(v, -127.5) + 255.5);
  return static_cast<std::uint8_t>(std::clamp(b, 128L, 255L));
}

std::string ToneBlock(std::uint32_t centerField, std::uint16_t k, int cycles, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 12.0);
  std::vector<std::uint8_t> i(specterm::kSampleCount), q(specterm::kSampleCount);
  for (std::size_t n = 0; n < specterm::kSampleCount; ++n) {
    const double phase = 2.0 * std::numbers::pi * cycles * static_cast<double>(n) / 4096.0;
    i[n] = EncodeSample(80.0 * std::cos(phase) + noise(random));
    q[n] = EncodeSample(80.0 * std::sin(phase) + noise(random));
  }
  return MakeBlock(
      centerField, k, [&](std::size_t n) { return i[n]; }, [&](std::size_t n) { return q[n]; });
}

std::string CarrierBlock(std::initializer_list<Carrier> carriers, double noise, unsigned seed,
                         std::uint32_t centerField, std::uint16_t k) {
  std::mt19937 random(seed);
  std::normal_distribution<double> spread(0.0, noise > 0 ? noise : 1.0);
  std::vector<std::uint8_t> i(specterm::kSampleCount), q(specterm::kSampleCount);
  for (std::size_t n = 0; n < specterm::kSampleCount; ++n) {
    double re = 0;
    double im = 0;
    for (const Carrier& c : carriers) {
      // Points 1..1024 are bins 0..1023, points 1025..2048 bins 3072..4095.
      const auto p = static_cast<std::size_t>(c.point);
      const std::size_t bin =
          p <= specterm::kPositiveBins ? p - 1 : p - 1 - specterm::kPositiveBins + specterm::kFirstNegativeBin;
      const double phase = 2.0 * std::numbers::pi * static_cast<double>(bin * n % specterm::kSampleCount) /
                           static_cast<double>(specterm::kSampleCount);
      re += c.amplitude * std::cos(phase);
      im += c.amplitude * std::sin(phase);
    }
    if (noise > 0) {
      re += spread(random);
      im += spread(random);
    }
    i[n] = EncodeSample(re);
    q[n] = EncodeSample(im);
  }
  return MakeBlock(
      centerField, k, [&](std::size_t n) { return i[n]; }, [&](std::size_t n) { return q[n]; });
}

}  // namespace blocks
