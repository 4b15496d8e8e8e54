#include "Measurements.h"

#include "SpectrumConstants.h"
#include "SpectrumUpdate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace specterm {

namespace {

constexpr int kDecibelDecimals = 3;
constexpr int kMegahertzDecimals = 6;

// Index into the row of the k-th point in frequency order.
std::size_t InFrequencyOrder(std::size_t k, std::size_t n) { return (k + n / 2) % n; }

double Power(double dB) { return std::pow(10.0, dB / 10.0); }

double Decibels(double power) { return 10.0 * std::log10(power); }

// The row in frequency order: each point's index in the row, frequency and
// level.
struct OrderedRow {
  std::vector<std::size_t> Index;
  std::vector<double> MHz;
  std::vector<double> dB;

  explicit OrderedRow(const MeasuredRow& row) {
    const std::size_t n = std::min(row.X.size(), row.Y.size());
    const double perMHz = kTenthsPerMHz * static_cast<double>(row.SpanScale);
    Index.resize(n);
    MHz.resize(n);
    dB.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t i = InFrequencyOrder(k, n);
      Index[k] = i;
      MHz[k] = static_cast<double>(row.X[i]) / perMHz;
      dB[k] = static_cast<double>(row.Y[i]);
    }
  }

  PointLevel At(std::size_t k) const { return {static_cast<std::int32_t>(Index[k] + 1), MHz[k], dB[k]}; }
};

// The median of the values (the mean of the middle two for an even count).
double Median(std::vector<double> values) {
  const std::size_t middle = values.size() / 2;
  const auto at = values.begin() + static_cast<std::ptrdiff_t>(middle);
  std::nth_element(values.begin(), at, values.end());
  const double upper = *at;
  if (values.size() % 2 != 0) return upper;
  const double lower = *std::max_element(values.begin(), at);
  return (lower + upper) / 2.0;
}

// For each point, the lowest level between it and the nearest strictly
// higher point on one side (or the end of the row), itself included. One
// pass with a stack of the points not yet topped: each entry holds the
// lowest level from just after the entry below it up to itself.
std::vector<double> LowestTowardsHigher(const std::vector<double>& dB, bool leftwards) {
  const std::size_t n = dB.size();
  std::vector<double> lowest(n);
  struct Entry {
    double level;
    double lowest;
  };
  std::vector<Entry> stack;
  stack.reserve(n);
  for (std::size_t step = 0; step < n; ++step) {
    const std::size_t k = leftwards ? step : n - 1 - step;
    double low = dB[k];
    while (!stack.empty() && stack.back().level <= dB[k]) {
      low = std::min(low, stack.back().lowest);
      stack.pop_back();
    }
    lowest[k] = low;
    stack.push_back({dB[k], low});
  }
  return lowest;
}

std::string Fixed(double value, int decimals) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return "n/a";
  std::string text(buffer, end);
  // A value that rounds to zero is shown without a sign.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

double WindowEnbw(bool windowed) {
  if (!windowed) return 1.0;
  // The weights never change: summed once, not at every data set.
  static const double enbw = [] {
    double sum = 0.0;
    double squares = 0.0;
    for (std::size_t n = 1; n <= kSampleCount; ++n) {
      const double w = WindowWeight(n);
      sum += w;
      squares += w * w;
    }
    return static_cast<double>(kSampleCount) * squares / (sum * sum);
  }();
  return enbw;
}

std::vector<PointLevel> FindPeaks(const MeasuredRow& row, float minPeakThreshold, double excursion, int count) {
  const OrderedRow ordered(row);
  const std::size_t n = ordered.dB.size();
  std::vector<PointLevel> peaks;
  if (n < 3 || count <= 0) return peaks;
  const std::vector<double> left = LowestTowardsHigher(ordered.dB, true);
  const std::vector<double> right = LowestTowardsHigher(ordered.dB, false);
  const auto threshold = static_cast<double>(minPeakThreshold);
  for (std::size_t k = 1; k + 1 < n; ++k) {
    const double level = ordered.dB[k];
    if (level <= ordered.dB[k - 1] || level <= ordered.dB[k + 1] || level < threshold) continue;
    if (level - std::max(left[k], right[k]) >= excursion) peaks.push_back(ordered.At(k));
  }
  std::stable_sort(peaks.begin(), peaks.end(), [](const PointLevel& a, const PointLevel& b) { return a.dB > b.dB; });
  if (peaks.size() > static_cast<std::size_t>(count)) peaks.resize(static_cast<std::size_t>(count));
  return peaks;
}

Measurements Measure(const MeasuredRow& row, const MeasureSettings& settings) {
  Measurements result;
  result.Peaks = FindPeaks(row, settings.MinPeakThreshold, settings.Excursion, settings.PeakCount);
  if (!settings.BandFrom || !settings.BandTo) return result;

  const OrderedRow ordered(row);
  BandMeasurement& band = result.Band.emplace();
  band.LowMHz = std::min(*settings.BandFrom, *settings.BandTo);
  band.HighMHz = std::max(*settings.BandFrom, *settings.BandTo);

  std::vector<std::size_t> inside;
  std::vector<double> insidePower;
  std::vector<double> outside;
  double sum = 0.0;
  for (std::size_t k = 0; k < ordered.MHz.size(); ++k) {
    const double power = Power(ordered.dB[k]);
    if (ordered.MHz[k] >= band.LowMHz && ordered.MHz[k] <= band.HighMHz) {
      inside.push_back(k);
      insidePower.push_back(power);
      sum += power;
    } else {
      outside.push_back(power);
    }
  }
  band.Points = static_cast<int>(inside.size());

  // The median of a periodogram's noise is ln 2 times its mean.
  std::optional<double> noise;
  if (!outside.empty()) {
    noise = Median(std::move(outside)) / std::numbers::ln2;
    band.NoisePerPoint = Decibels(*noise);
  }
  if (inside.empty()) return result;

  band.BandPower = Decibels(sum / settings.Enbw);
  if (noise) {
    const double bandNoise = static_cast<double>(inside.size()) * *noise;
    if (sum > bandNoise) band.CarrierToNoise = Decibels((sum - bandNoise) / bandNoise);
  }

  // The occupied bandwidth runs from the point where the running power
  // reaches half the outside share to the one where it reaches all but it.
  // The running sum adds what the band's sum added, in the same order, so
  // it ends on that sum and both shares are reached.
  const double tail = (1.0 - kOccupiedShare) / 2.0;
  std::optional<std::size_t> first;
  std::optional<std::size_t> last;
  double running = 0.0;
  std::size_t highest = inside.front();
  for (std::size_t j = 0; j < inside.size(); ++j) {
    const std::size_t k = inside[j];
    running += insidePower[j];
    if (!first && running >= tail * sum) first = k;
    if (!last && running >= (1.0 - tail) * sum) last = k;
    if (ordered.dB[k] > ordered.dB[highest]) highest = k;
  }
  band.OccupiedBandwidth = ordered.MHz[last.value_or(inside.back())] - ordered.MHz[first.value_or(inside.front())];
  band.PeakInBand = ordered.At(highest);
  return result;
}

std::string DecibelText(std::optional<double> dB) {
  return dB && std::isfinite(*dB) ? Fixed(*dB, kDecibelDecimals) + " dB" : "n/a";
}

std::string MegahertzText(std::optional<double> mhz) {
  return mhz && std::isfinite(*mhz) ? Fixed(*mhz, kMegahertzDecimals) + " MHz" : "n/a";
}

std::string PointLevelText(const PointLevel& point) {
  return std::to_string(point.Point) + " " + MegahertzText(point.MHz) + " " + DecibelText(point.dB);
}

std::vector<std::string> MeasurementLines(const Measurements& measurements) {
  std::vector<std::string> lines;
  if (const std::optional<BandMeasurement>& band = measurements.Band) {
    lines.push_back("band: " + Fixed(band->LowMHz, kMegahertzDecimals) + " to " + MegahertzText(band->HighMHz));
    lines.push_back("points: " + std::to_string(band->Points));
    lines.push_back("band power: " + DecibelText(band->BandPower));
    lines.push_back("noise per point: " + DecibelText(band->NoisePerPoint));
    lines.push_back("C/N: " + DecibelText(band->CarrierToNoise));
    lines.push_back("occupied bandwidth: " + MegahertzText(band->OccupiedBandwidth));
    lines.push_back("peak in band: " + (band->PeakInBand ? PointLevelText(*band->PeakInBand) : std::string("n/a")));
  }
  for (std::size_t rank = 0; rank < measurements.Peaks.size(); ++rank)
    lines.push_back("peak " + std::to_string(rank + 1) + ": " + PointLevelText(measurements.Peaks[rank]));
  return lines;
}

}  // namespace specterm
