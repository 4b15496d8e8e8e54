#pragma once

// Repeatable random numbers for the synthesized data. Every data product
// (a spectrum capture, a constellation read) draws from its own generator,
// seeded from the run's seed, the product and its sequence number, so the
// n-th capture of a run is the same whatever else clients did before it.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace modemsim {

enum class RandomStream : std::uint64_t { Spectrum = 1, Constellation = 2 };

class SimRandom {
 public:
  SimRandom(std::uint64_t seed, RandomStream stream, std::uint64_t index)
      : engine_(Mix(Mix(seed) ^ Mix(static_cast<std::uint64_t>(stream) * 0x100000001b3ULL + index))) {}

  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

  // Uniform integer in [0, n).
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Uniform() * n); }

  // Standard normal (Box-Muller; the pair's second value is kept for the
  // next call). Written out so that the data does not depend on the
  // standard library's distribution code.
  double Gaussian() {
    if (haveSpare_) {
      haveSpare_ = false;
      return spare_;
    }
    const double u1 = 1.0 - Uniform();  // (0, 1]: the logarithm stays finite
    const double u2 = Uniform();
    const double r = std::sqrt(-2.0 * std::log(u1));
    spare_ = r * std::sin(2.0 * std::numbers::pi * u2);
    haveSpare_ = true;
    return r * std::cos(2.0 * std::numbers::pi * u2);
  }

 private:
  // SplitMix64 finaliser: spreads nearby seeds over the whole state space.
  static std::uint64_t Mix(std::uint64_t z) {
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }

  std::mt19937_64 engine_;
  double spare_ = 0.0;
  bool haveSpare_ = false;
};

}  // namespace modemsim
