#include "SpectrumUpdate.h"

#include "SpectrumKernels.h"
#include "vbformat/VbFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace specterm {

namespace {

constexpr const char* kAmplitudeFormat = "###0.00dB";
constexpr const char* kSlowRateFormat = "#0.00000KHz";  // half-rates below 1 kHz
constexpr const char* kKiloRateFormat = "##0.0000KHz";  // half-rates below 1 MHz
constexpr double kKiloPerMHz = 1000.0;

// Bins are converted in runs of this many, reporting progress in between.
constexpr std::size_t kRunLength = 256;
static_assert(kPositiveBins % kRunLength == 0 && kFirstNegativeBin % kRunLength == 0);

struct WindowTable {
  std::array<double, kSampleCount> weights{};
  WindowTable() {
    for (std::size_t n = 1; n <= kSampleCount; ++n) weights[n - 1] = WindowWeight(n);
  }
};

const WindowTable& Window() {
  static const WindowTable table;
  return table;
}

// The classic conversion of a Single to a 16-bit Integer: round half to
// even, limited to the Integer range.
int ToInteger(double value) {
  const double rounded = std::nearbyint(value);
  return static_cast<int>(std::clamp(rounded, static_cast<double>(std::numeric_limits<std::int16_t>::min()),
                                     static_cast<double>(std::numeric_limits<std::int16_t>::max())));
}

// The "SampleRate" read-out: half the rate in MHz (SampleRate is in units
// of 0.1 MHz and carries no SpanScale), in KHz when below 1 MHz.
std::string SampleRateText(const SampleBlock& block) {
  const double mhz = block.SampleRate / kTenthsPerMHz / 2.0;
  const double khz = mhz * kKiloPerMHz;
  if (khz < 1.0) return vb::Format(khz, kSlowRateFormat);
  if (mhz < 1.0) return vb::Format(khz, kKiloRateFormat);
  return vb::Format(mhz, block.FreqFormat);
}

// Reports every whole percent from last + 1 up to that of `done` of `total`.
class Progress {
 public:
  explicit Progress(const ProgressFn& fn) : fn_(fn) {}
  void Reach(std::size_t done, std::size_t total) {
    const int percent = static_cast<int>(done * 100 / total);
    while (last_ < percent) {
      ++last_;
      if (fn_) fn_(last_);
    }
  }
  void Finish() {
    if (last_ != 0 && fn_) fn_(0);
    last_ = 0;
  }

 private:
  const ProgressFn& fn_;
  int last_ = 0;
};

}  // namespace

std::optional<ScrollSettings> FitAmplitudeScale(float max, float min, AmplitudeScale& scale) {
  float range = max - min;
  if (range == 0.0f) {
    range = kInitialAmpRange;
    min = kInitialAmpFloor;
    max = kInitialAmpCeiling;
  }
  const bool refit = static_cast<float>(kRefitShrinkFraction * scale.AmpRange) > range || max > scale.AmpCeiling ||
                     min < scale.AmpFloor;
  if (!refit) return std::nullopt;
  scale.AmpCeiling = static_cast<float>(max + kRefitHeadroom * range);
  scale.AmpFloor = static_cast<float>(min - kRefitFootroom * range);
  scale.AmpRange = scale.AmpCeiling - scale.AmpFloor;
  // The plot's y axis is the negated amplitude.
  ScrollSettings scroll;
  scroll.VScrollMin = ToInteger(-scale.AmpCeiling);
  scroll.VScrollMax = ToInteger(-scale.AmpCeiling + scale.AmpRange);
  scroll.VScrollValue = ToInteger(static_cast<double>(scale.AmpRange) / 2.0 - scale.AmpCeiling);
  return scroll;
}

double WindowWeight(std::size_t n) {
  constexpr double half = static_cast<double>(kSampleCount) / 2.0;
  return 0.5 * std::cos((static_cast<double>(n) - half + 0.5) * kWindowPi / half - 0.5) + 0.5;
}

void WindowSmooth(const std::array<float, kSampleCount>& inI, const std::array<float, kSampleCount>& inQ,
                  std::array<float, kSampleCount>& outI, std::array<float, kSampleCount>& outQ) {
  ApplyWeights(inI.data(), inQ.data(), Window().weights.data(), outI.data(), outQ.data(), kSampleCount);
}

SpectrumUpdater::SpectrumUpdater(std::shared_ptr<const FftLibrary> fft) : fft_(std::move(fft)) {
  if (!fft_) return;
  for (std::size_t p = 0; p < kPointCount; ++p)
    fractions_[p] = fft_->IndexToFrequency(static_cast<unsigned>(kSampleCount), static_cast<unsigned>(PointBin(p)));
}

UpdateOutcome SpectrumUpdater::Update(SpectrumState& state, const UpdateOptions& options,
                                      const ProgressFn& progress) const {
  UpdateOutcome outcome;
  if (!fft_) {
    outcome.Error = "The FFT library is not loaded.";
    return outcome;
  }
  const SampleBlock& block = state.Block;
  TraceStore& traces = state.Traces;

  // Window a working copy: the decoded samples stay as they are, for the raw
  // export and for a second update over the same block.
  alignas(64) std::array<float, kSampleCount> windowedI;
  alignas(64) std::array<float, kSampleCount> windowedQ;
  const float* inI = block.IData.data();
  const float* inQ = block.QData.data();
  if (options.WindowSpectrum) {
    WindowSmooth(block.IData, block.QData, windowedI, windowedQ);
    inI = windowedI.data();
    inQ = windowedQ.data();
  }
  if (fft_->FftFloat(static_cast<unsigned>(kSampleCount), 0, inI, inQ, state.FftReal.data(), state.FftImag.data()) !=
      0) {
    outcome.Error = "The FFT library " + fft_->Path() + " could not transform the samples.";
    return outcome;
  }

  // Trace bookkeeping before the new data set.
  traces.BeginUpdate();
  traces.HaveData = true;

  // Point mapping: points 1..1024 are bins 0..1023, points 1025..2048 bins
  // 3072..4095, each at the frequency of its own bin.
  TraceStore::Row& x = traces.TraceX[kCurrentRow];
  TraceStore::Row& y = traces.TraceY[kCurrentRow];
  const double rate = block.SampleRate;
  const double centre = block.CenterFreq;
  const double scale = static_cast<double>(block.SpanScale);
  ScaleFrequencies(fractions_.data(), rate, centre, scale, x.data(), kPointCount);

  Progress percent(progress);
  for (std::size_t bin = 0; bin < kSampleCount; bin += kRunLength) {
    if (bin < kPositiveBins || bin >= kFirstNegativeBin) {
      const std::size_t point = bin < kPositiveBins ? bin : bin - kFirstNegativeBin + kPositiveBins;
      PowerToDecibels(state.FftReal.data() + bin, state.FftImag.data() + bin, y.data() + point, kRunLength);
    }
    percent.Reach(bin + kRunLength, kSampleCount);
  }

  // Amplitude scale fit over the true extremes of the data set.
  float lowest = 0;
  float highest = 0;
  MinMax(y.data(), y.size(), lowest, highest);
  outcome.Scroll = FitAmplitudeScale(highest, lowest, state.Amplitude);

  outcome.Accumulation = traces.Accumulate(options.VideoAverage, options.PeakHold);
  percent.Finish();

  // Status read-outs and the reference location. In plot x units like
  // every other x, so that a preset re-applied about the location stays on
  // the band when SpanScale is not 1; at the middle of the fitted range, so
  // that it lies on the data set rather than at 0 dB far above it.
  const double middle =
      (static_cast<double>(state.Amplitude.AmpCeiling) + static_cast<double>(state.Amplitude.AmpFloor)) / 2.0;
  std::optional<SpectrumState::Readouts>& last = state.LastReadouts;
  if (!last || last->CenterFreq != centre || last->SampleRate != block.SampleRate ||
      last->FreqFormat != block.FreqFormat) {
    last = SpectrumState::Readouts{centre,
                                   block.SampleRate,
                                   middle,
                                   block.FreqFormat,
                                   vb::Format(centre / kTenthsPerMHz, block.FreqFormat),
                                   SampleRateText(block),
                                   vb::Format(middle, kAmplitudeFormat)};
  } else if (last->Middle != middle) {
    last->Middle = middle;
    last->AmplitudeText = vb::Format(middle, kAmplitudeFormat);
  }
  outcome.CenterFreqText = last->CenterFreqText;
  outcome.SampleRateText = last->SampleRateText;
  outcome.AmplitudeText = last->AmplitudeText;
  outcome.FrequencyText = outcome.CenterFreqText;
  outcome.ClickX = static_cast<float>(centre * scale);
  outcome.ClickY = static_cast<float>(-middle);

  const std::pair<float, float> band{block.BandLow, block.BandHigh};
  const bool retuned = state.LastBand.has_value() && *state.LastBand != band;
  state.LastBand = band;
  outcome.FitView = traces.FirstTrace || retuned;
  if (!outcome.FitView) outcome.SampleCountsStatus = traces.SampleCountsStatus(options.VideoAverage, options.PeakHold);
  return outcome;
}

}  // namespace specterm
