#pragma once

// Blocks in the modem's "spectrum:" layout for the processing tests.

#include "processing/SpectrumConstants.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace blocks {

// A full 8224-byte block: centre field and rate exponent k in the header,
// the sample bytes produced by iByte(n) and qByte(n) for n = 0..4095.
std::string MakeBlock(std::uint32_t centerField, std::uint16_t k, const std::function<std::uint8_t(std::size_t)>& iByte,
                      const std::function<std::uint8_t(std::size_t)>& qByte);

// A block of all-zero samples.
std::string ZeroBlock(std::uint32_t centerField = 7000000, std::uint16_t k = 1);

// A block with a tone at `cycles` cycles per 4096 samples and seeded noise,
// encoded as the modem encodes (b < 128 positive, b >= 128 -> b - 255.5).
std::string ToneBlock(std::uint32_t centerField, std::uint16_t k, int cycles, unsigned seed);

// The byte whose decoded value is nearest to v (v in -127.5..127).
std::uint8_t EncodeSample(double v);

}  // namespace blocks
