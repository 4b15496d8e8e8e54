#pragma once

// Blocks in the modem's "spectrum:" layout, for the tests and benchmarks
// that put data sets into the analyzer the way the modem does: through the
// block parser and the update.

#include "processing/SpectrumConstants.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
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

// A carrier of a data set: a complex tone whose transform falls on one point
// (1..2048) of the current row, with the amplitude of its samples.
struct Carrier {
  int point;
  double amplitude;
};

// A block whose data set, transformed without the window, has each carrier
// in its own point, far above the floor of the samples' rounding (about
// 100 dB and more for amplitudes of 30 and more, the floor below 50 dB);
// with noise > 0, seeded noise of that deviation is added to the samples.
// Centre field 700000 and rate exponent 0 give the start-up band.
std::string CarrierBlock(std::initializer_list<Carrier> carriers, double noise = 0, unsigned seed = 1,
                         std::uint32_t centerField = 700000, std::uint16_t k = 0);

}  // namespace blocks
