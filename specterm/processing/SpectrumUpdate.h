#pragma once

// The update: from the current samples to one data set of 2048 points in dB
// in the trace store, with the amplitude re-fit, the accumulating traces and
// the texts of the status read-outs. Plain C++ and free of shared state, so
// the window may run it on any thread (one SpectrumState per thread).

#include "FftLibrary.h"
#include "SampleBlock.h"
#include "TraceStore.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace specterm {

// Called with the whole-percent progress of a long operation, only when the
// value changes; the last call is 0, when the operation ends. It runs on the
// thread doing the work.
using ProgressFn = std::function<void(int percent)>;

// The amplitude range of the plot space in dB, re-fitted by the update.
struct AmplitudeScale {
  float AmpFloor = kInitialAmpFloor;
  float AmpCeiling = kInitialAmpCeiling;
  float AmpRange = kInitialAmpRange;
};

// The scroll bars' ranges and values after a re-fit (16-bit values).
struct ScrollSettings {
  int HScrollMin = kHScrollMin;
  int HScrollMax = kHScrollMax;
  int HScrollValue = kHScrollCentre;
  int VScrollMin = 0;
  int VScrollMax = 0;
  int VScrollValue = 0;
};

// The checked states the update reads.
struct UpdateOptions {
  bool WindowSpectrum = false;  // mnuOptionsWindow
  bool VideoAverage = false;    // mnuToolsVideoAverage
  bool PeakHold = false;        // mnuToolsPeakHold
};

// What the update works on: the fields of the main window it reads and
// writes. About 130 KB: hold it on the heap.
struct SpectrumState {
  SampleBlock Block;                          // IData, QData and the frequency axis of the last block
  std::array<float, kSampleCount> FftReal{};  // transform output of the last update
  std::array<float, kSampleCount> FftImag{};
  TraceStore Traces;
  AmplitudeScale Amplitude;
  // The band (BandLow, BandHigh) of the last data set: a data set on
  // another band (the modem was retuned) fits the view.
  std::optional<std::pair<float, float>> LastBand;
};

// What the window shows after an update, in the order it shows it.
struct UpdateOutcome {
  // Non-empty when the update could not run (the FFT library failed);
  // nothing of the state was changed then.
  std::string Error;

  // Set when the amplitude scale was re-fitted: the scroll bars to apply.
  std::optional<ScrollSettings> Scroll;

  // Tool-tips of the "VideoAverage" and "PeakHold" buttons and the "Status"
  // text written while accumulating.
  AccumulationTexts Accumulation;

  // Status panel read-outs.
  std::string CenterFreqText;  // "CenterFreq"
  std::string SampleRateText;  // "SampleRate"
  std::string AmplitudeText;   // "Amplitude"
  std::string FrequencyText;   // "Frequency"

  // The last click location becomes the capture's centre (x in plot units:
  // CenterFreq x SpanScale) at the middle of the fitted amplitude range
  // (y = -dB), where the presets then find the data set.
  float ClickX = 0.0f;
  float ClickY = 0.0f;

  // True while there is no complete pair of current and previous traces,
  // and when the data set's band differs from the last one: run the
  // "ZoomFitView" command and stop. Otherwise redraw (UpdateView) and then
  // show SampleCountsStatus in the "Status" panel when it is set.
  bool FitView = false;
  std::optional<std::string> SampleCountsStatus;
};

// Re-fits the amplitude scale to a data set's extremes when the data leave
// it or spread over less than 60 % of it (a flat data set counts as
// -125..125); returns the scroll bar settings when it re-fitted.
std::optional<ScrollSettings> FitAmplitudeScale(float max, float min, AmplitudeScale& scale);

// The Hann-like window weight of sample n (1..4096), pi taken as 3.14159:
// 0.5 x cos((n - 2048 + 0.5) x pi / 2048 - 0.5) + 0.5.
double WindowWeight(std::size_t n);

// Windows working copies of both sections' samples; the inputs stay as they
// are.
void WindowSmooth(const std::array<float, kSampleCount>& inI, const std::array<float, kSampleCount>& inQ,
                  std::array<float, kSampleCount>& outI, std::array<float, kSampleCount>& outQ);

// Runs the update with one FFT library. Holds no data set of its own.
class SpectrumUpdater {
 public:
  explicit SpectrumUpdater(std::shared_ptr<const FftLibrary> fft);

  // Runs the processing of one data set on state (steps 1-8 of the update);
  // step 9 (fit or redraw) is the caller's, as told by the outcome.
  UpdateOutcome Update(SpectrumState& state, const UpdateOptions& options, const ProgressFn& progress = {}) const;

  // The signed frequency of the bin behind each point, as a fraction of the
  // sample rate (from the library's Index_to_frequency).
  const std::array<double, kPointCount>& PointFractions() const { return fractions_; }

 private:
  std::shared_ptr<const FftLibrary> fft_;
  std::array<double, kPointCount> fractions_{};
};

// The bin whose amplitude point p (0-based) holds.
constexpr std::size_t PointBin(std::size_t p) { return p < kPositiveBins ? p : p - kPositiveBins + kFirstNegativeBin; }

}  // namespace specterm
