#pragma once

// The processing state of the analyzer: the last block with its frequency
// axis (band, SpanScale, FreqFormat), the transform output, the four traces
// with the rows shown, and the amplitude scale; and the update that turns a
// block into a data set. Free of widgets: the window shows what an update
// reports.

#include "processing/FftLibrary.h"
#include "processing/SpectrumUpdate.h"
#include "processing/TraceCsv.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace specterm {

class Processing {
 public:
  using FftLoader = std::function<FftLibrary::Loaded()>;

  Processing();
  ~Processing();
  Processing(const Processing&) = delete;
  Processing& operator=(const Processing&) = delete;

  const SpectrumState& State() const { return *state_; }
  const SampleBlock& Block() const { return state_->Block; }
  const TraceStore& Traces() const { return state_->Traces; }
  const AmplitudeScale& Amplitude() const { return state_->Amplitude; }

  // Decodes a block from the modem into the samples and frequency axis.
  void ParseBlock(std::string_view block);

  // When the last data set was made (the update that made it); nothing
  // before the first.
  std::optional<DataSetClock::time_point> DataSetTime() const { return dataSetTime_; }

  // The update of the current samples. The FFT library is opened on first
  // use; when it cannot be, the outcome carries the error and nothing
  // changes.
  UpdateOutcome Update(const ProgressFn& progress);
  // Where the library comes from; tests point it elsewhere.
  void SetFftLoader(FftLoader loader);

  // "&Window Spectrum Trace": window the samples before the transform.
  bool WindowSpectrum() const { return windowSpectrum_; }
  void SetWindowSpectrum(bool on) { windowSpectrum_ = on; }

  // Whether a trace row is shown; the Tools menu's check marks follow it.
  bool TraceShown(int row) const;
  void SetTraceShown(int row, bool shown);
  // A Tools menu command on a row: shows or hides it and restarts the
  // accumulation of rows 2 and 3 when switched on. (The selection forgets
  // a last selected point on a hidden row itself.)
  void SwitchTrace(TraceRow row, bool on);

 private:
  std::unique_ptr<SpectrumState> state_;
  FftLoader loader_ = &FftLibrary::Shared;
  std::unique_ptr<SpectrumUpdater> updater_;
  bool windowSpectrum_ = true;
  std::optional<DataSetClock::time_point> dataSetTime_;
};

}  // namespace specterm
