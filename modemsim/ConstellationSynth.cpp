#include "ConstellationSynth.h"

#include "SimRandom.h"

#include <algorithm>
#include <cmath>

namespace modemsim {

namespace {

// Per model: the BPSK level, the QPSK level, the 8PSK radius (of the point
// at 22.5 degrees, measured along I) and the inner 16QAM level (the outer
// one is three times it).
struct ModelLevels {
  double bpsk;
  double qpsk;
  double psk8;
  double qam16;
};

constexpr ModelLevels kLevels[] = {
    {64.0, 64.0, 64.0, 32.0},  // Melgar
    {72.0, 64.0, 88.0, 28.0},  // Halden
    {68.0, 68.0, 88.0, 31.0},  // Torvik
};

// tan(22.5 degrees), as the receiver computes it.
const double kTan22 = std::tan(0.39269875);

std::vector<IdealPoint> Square(double level) {
  return {{level, level}, {-level, level}, {-level, -level}, {level, -level}};
}

}  // namespace

std::vector<IdealPoint> IdealPoints(std::uint8_t model, std::uint8_t modulation) {
  const ModelLevels& lv = kLevels[model <= 2 ? model : 0];
  switch (modulation) {
    case kBpsk:
      return {{lv.bpsk, 0.0}, {-lv.bpsk, 0.0}};
    case kQpsk:
    case kOqpsk:
      return Square(lv.qpsk);
    case k8Psk: {
      std::vector<IdealPoint> points;
      const double r = lv.psk8, s = lv.psk8 * kTan22;
      for (const double si : {1.0, -1.0})
        for (const double sq : {1.0, -1.0}) {
          points.push_back({si * r, sq * s});
          points.push_back({si * s, sq * r});
        }
      return points;
    }
    case k16Qam: {
      std::vector<IdealPoint> points;
      const double a = lv.qam16;
      for (const double i : {-3 * a, -a, a, 3 * a})
        for (const double q : {-3 * a, -a, a, 3 * a}) points.push_back({i, q});
      return points;
    }
    case k8Qam:
      return {{40, 0}, {-40, 0}, {40, 80}, {-40, 80}, {40, -80}, {-40, -80}, {120, 0}, {-120, 0}};
    default:
      return {};
  }
}

std::vector<std::uint8_t> SynthesizeConstellation(const ConstellationParams& params, std::uint64_t read) {
  SimRandom rng(params.seed, RandomStream::Constellation, read);
  const std::vector<IdealPoint> points = IdealPoints(params.model, params.modulation);

  double spread = kUnlockedSpread;  // per axis
  if (!points.empty()) {
    double power = 0.0;
    for (const IdealPoint& p : points) power += p.i * p.i + p.q * p.q;
    power /= static_cast<double>(points.size());
    // Rounding to bytes adds 1/12 per axis; take it off so the measured
    // error matches the SNR asked for.
    const double perAxis = power / std::pow(10.0, params.snrDb / 10.0) / 2.0 - 1.0 / 12.0;
    spread = std::sqrt(std::max(0.0, perAxis));
  }

  auto toByte = [](double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(kConstellationOrigin + v), 0L, 255L));
  };
  std::vector<std::uint8_t> file;
  file.reserve(kConstellationFileSize);
  for (std::size_t k = 0; k < kConstellationPairs; ++k) {
    IdealPoint p;
    if (!points.empty()) p = points[rng.Below(static_cast<std::uint32_t>(points.size()))];
    const double ni = rng.Gaussian() * spread;
    const double nq = rng.Gaussian() * spread;
    file.push_back(toByte(p.i + ni));
    file.push_back(toByte(p.q + nq));
  }
  if (!params.shortFile) {
    file.push_back(params.model);
    file.push_back(params.modulation);
  }
  return file;
}

}  // namespace modemsim
