#include "SpectrumSynth.h"

#include "SimRandom.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace modemsim {

namespace {

using Complex = std::complex<double>;

constexpr double kPi = std::numbers::pi;
// The pulse is cut off this many symbols either side of its centre.
constexpr int kPulseHalfSpan = 8;

// Root-raised-cosine pulse, t in symbol periods; unit energy per symbol
// period, so unit-power symbols give a unit-power signal.
double RootRaisedCosine(double t, double beta) {
  if (std::abs(t) < 1e-9) return 1.0 - beta + 4.0 * beta / kPi;
  if (beta > 0.0 && std::abs(std::abs(t) - 1.0 / (4.0 * beta)) < 1e-9) {
    return beta / std::numbers::sqrt2 *
           ((1.0 + 2.0 / kPi) * std::sin(kPi / (4.0 * beta)) + (1.0 - 2.0 / kPi) * std::cos(kPi / (4.0 * beta)));
  }
  const double num = std::sin(kPi * t * (1.0 - beta)) + 4.0 * beta * t * std::cos(kPi * t * (1.0 + beta));
  const double den = kPi * t * (1.0 - (4.0 * beta * t) * (4.0 * beta * t));
  return num / den;
}

// QPSK symbols through the pulse, sampled at the block's rate, scaled to
// unit mean power over the block.
std::vector<Complex> ShapedCarrier(SimRandom& rng, double symbolsPerSample) {
  const std::size_t n = kSpectrumSamples;
  const double startPhase = rng.Uniform();  // symbol clock against sample clock
  const double lastTime = static_cast<double>(n - 1) * symbolsPerSample + startPhase;
  const auto firstSymbol = -kPulseHalfSpan;
  const auto lastSymbol = static_cast<long>(std::ceil(lastTime)) + kPulseHalfSpan;
  std::vector<Complex> symbols;
  symbols.reserve(static_cast<std::size_t>(lastSymbol - firstSymbol + 1));
  for (long m = firstSymbol; m <= lastSymbol; ++m) {
    const double i = rng.Uniform() < 0.5 ? -1.0 : 1.0;
    const double q = rng.Uniform() < 0.5 ? -1.0 : 1.0;
    symbols.emplace_back(i / std::numbers::sqrt2, q / std::numbers::sqrt2);
  }

  std::vector<Complex> out(n);
  double power = 0.0;
  for (std::size_t k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) * symbolsPerSample + startPhase;  // in symbol periods
    const long centre = std::lround(t);
    Complex acc = 0.0;
    for (long m = centre - kPulseHalfSpan; m <= centre + kPulseHalfSpan; ++m)
      acc += symbols[static_cast<std::size_t>(m - firstSymbol)] *
             RootRaisedCosine(t - static_cast<double>(m), kCarrierRollOff);
    out[k] = acc;
    power += std::norm(acc);
  }
  power /= static_cast<double>(n);
  if (power > 0.0)
    for (Complex& c : out) c /= std::sqrt(power);
  return out;
}

}  // namespace

double SampleRateHz(std::uint16_t rateExponent) {
  const unsigned k = std::min<unsigned>(rateExponent, kMaxRateExponent);
  return kRateClockHz / static_cast<double>(1u << (k + 1));
}

std::uint8_t EncodeSample(double v) {
  // Codes 0..127 stand for 0..127 and 128..255 for -127.5..-0.5, so the
  // midpoint between the two codes nearest zero (0 and -0.5) is -0.25.
  if (v >= -0.25) return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 127L));
  const double code = std::floor(v) + 256.0;  // nearest value of the form m + 0.5
  return static_cast<std::uint8_t>(std::clamp(code, 128.0, 255.0));
}

std::vector<std::uint8_t> SynthesizeSpectrumBlock(const SpectrumParams& params, std::uint64_t capture) {
  SimRandom rng(params.seed, RandomStream::Spectrum, capture);
  const std::size_t n = kSpectrumSamples;
  const double fs = SampleRateHz(params.rateExponent);

  // Noise of unit power: its density is 1/fs, and an unnormalised n-point
  // transform shows it at n per bin.
  std::vector<Complex> x(n);
  for (Complex& c : x) {
    const double re = rng.Gaussian();
    c = Complex(re, rng.Gaussian()) / std::numbers::sqrt2;
  }

  // A carrier wider than the sample rate would fill the band anyway.
  const double symbolRate = params.carrierOn ? std::min(params.symbolRateHz, fs) : 0.0;
  if (symbolRate > 0.0) {
    const double power = std::pow(10.0, params.carrierDb / 10.0) * symbolRate / fs;
    const std::vector<Complex> carrier = ShapedCarrier(rng, symbolRate / fs);
    const double step = 2.0 * kPi * params.carrierOffsetHz / fs;
    for (std::size_t k = 0; k < n; ++k)
      x[k] += std::sqrt(power) * carrier[k] * std::polar(1.0, step * static_cast<double>(k));
  }

  for (const Tone& tone : params.tones) {
    // A tone of amplitude a shows (a n)^2 in its bin against n for the noise.
    const double amplitude = std::sqrt(std::pow(10.0, tone.levelDb / 10.0) / static_cast<double>(n));
    const double phase = 2.0 * kPi * rng.Uniform();
    const double step = 2.0 * kPi * tone.offsetHz / fs;
    for (std::size_t k = 0; k < n; ++k) x[k] += std::polar(amplitude, phase + step * static_cast<double>(k));
  }

  double peak = 0.0;
  for (const Complex& c : x) peak = std::max({peak, std::abs(c.real()), std::abs(c.imag())});
  const double scale = peak > 0.0 ? kPeakSample / peak : 1.0;

  std::vector<std::uint8_t> block(kSpectrumBlockSize, 0);
  block[0] = static_cast<std::uint8_t>(capture >> 8);  // status word: capture number
  block[1] = static_cast<std::uint8_t>(capture);
  for (int i = 0; i < 4; ++i)
    block[kCentreFieldOffset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(params.centre >> (24 - 8 * i));
  block[kRateFieldOffset] = static_cast<std::uint8_t>(params.rateExponent >> 8);
  block[kRateFieldOffset + 1] = static_cast<std::uint8_t>(params.rateExponent);
  for (std::size_t k = 0; k < n; ++k) {
    block[kISectionOffset + k] = EncodeSample(x[k].real() * scale);
    block[kQSectionOffset + k] = EncodeSample(x[k].imag() * scale);
  }
  return block;
}

}  // namespace modemsim
