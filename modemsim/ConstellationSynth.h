#pragma once

// The "orbscope:" file: 1024 I/Q byte pairs (128 is the origin) around the
// ideal points of a modem model and modulation, with Gaussian noise, then
// the model and modulation bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace modemsim {

inline constexpr std::size_t kConstellationPairs = 1024;
inline constexpr std::size_t kConstellationFileSize = 2 * kConstellationPairs + 2;
inline constexpr std::size_t kShortConstellationFileSize = 2 * kConstellationPairs;
inline constexpr double kConstellationOrigin = 128.0;
// Spread per axis of the cloud served for modulation 0 (no carrier lock).
inline constexpr double kUnlockedSpread = 32.0;

// Modulation codes of the file's last byte.
enum Modulation : std::uint8_t { kNone = 0, kBpsk, kQpsk, kOqpsk, k8Psk, k16Qam, k8Qam };

struct ConstellationParams {
  std::uint64_t seed = 1;
  std::uint8_t model = 0;           // 0 Melgar, 1 Halden, 2 Torvik; others read as 0
  std::uint8_t modulation = kQpsk;  // 0..6; others read as 0
  double snrDb = 25.0;              // mean symbol power over noise power
  bool shortFile = false;           // leave out the two trailing bytes
};

struct IdealPoint {
  double i = 0.0;  // offsets from the origin
  double q = 0.0;
};

// The ideal points that the receiver's EVM measure of this model expects
// for this modulation. Models without their own 8QAM levels use the only
// ones the receiver knows. Empty for modulation 0 and unknown codes.
std::vector<IdealPoint> IdealPoints(std::uint8_t model, std::uint8_t modulation);

// The file of read number `read`; same parameters and number, same bytes.
std::vector<std::uint8_t> SynthesizeConstellation(const ConstellationParams& params, std::uint64_t read);

}  // namespace modemsim
