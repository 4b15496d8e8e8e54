#pragma once

// The "spectrum:" block: a 30-byte header, 4096 I and 4096 Q sample bytes
// and a 2-byte trailer, synthesized from a raised-cosine shaped carrier of
// random symbols, optional CW tones and complex Gaussian noise.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace modemsim {

inline constexpr std::size_t kSpectrumBlockSize = 8224;
inline constexpr std::size_t kSpectrumSamples = 4096;
inline constexpr std::size_t kSpectrumHeaderSize = 30;  // status, centre, k, reserved
inline constexpr std::size_t kCentreFieldOffset = 2;
inline constexpr std::size_t kRateFieldOffset = 6;
inline constexpr std::size_t kISectionOffset = kSpectrumHeaderSize;
inline constexpr std::size_t kQSectionOffset = kISectionOffset + kSpectrumSamples;
// The receiver reads rate exponents above this as this.
inline constexpr unsigned kMaxRateExponent = 12;
// The sample rate is this divided by 2^(k + 1).
inline constexpr double kRateClockHz = 100e6;
// Excess bandwidth of the carrier's root-raised-cosine pulse.
inline constexpr double kCarrierRollOff = 0.35;
// Largest sample component after scaling: most of -127.5..127, no clipping.
inline constexpr double kPeakSample = 120.0;

struct Tone {
  double offsetHz = 0.0;  // from the centre frequency
  double levelDb = 0.0;   // above the noise floor of a 4096-point transform
};

struct SpectrumParams {
  std::uint64_t seed = 1;
  std::uint32_t centre = 700000;   // raw field, units of 100 Hz
  std::uint16_t rateExponent = 1;  // raw field k
  double carrierOffsetHz = 0.0;
  double symbolRateHz = 3e6;  // 0 leaves the carrier out
  double carrierDb = 30.0;    // carrier density above the noise density
  bool carrierOn = true;      // off leaves the carrier out, as a modem whose carrier drops
  std::vector<Tone> tones;
};

// Sample rate of a block with rate field k, in Hz.
double SampleRateHz(std::uint16_t rateExponent);

// The byte whose decoded value (b for b < 128, else b - 255.5) lies nearest
// to v; values beyond the range take the end codes.
std::uint8_t EncodeSample(double v);

// The block of capture number `capture` (0 is the block served before the
// first capture request). Same parameters and number, same bytes.
std::vector<std::uint8_t> SynthesizeSpectrumBlock(const SpectrumParams& params, std::uint64_t capture);

}  // namespace modemsim
