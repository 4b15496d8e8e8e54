#include "processing/Processing.h"

#include <utility>

namespace specterm {

Processing::Processing() : state_(std::make_unique<SpectrumState>()) {}

Processing::~Processing() = default;

void Processing::ParseBlock(std::string_view block) { specterm::ParseBlock(block, state_->Block); }

UpdateOutcome Processing::Update(const ProgressFn& progress) {
  if (!updater_) {
    const FftLibrary::Loaded loaded = loader_();
    if (!loaded) {
      UpdateOutcome failed;
      failed.Error = loaded.Error;
      return failed;
    }
    updater_ = std::make_unique<SpectrumUpdater>(loaded.Library);
  }
  UpdateOptions options;
  options.WindowSpectrum = windowSpectrum_;
  options.VideoAverage = TraceShown(kVideoAverageRow);
  options.PeakHold = TraceShown(kPeakHoldRow);
  UpdateOutcome outcome = updater_->Update(*state_, options, progress);
  if (outcome.Error.empty()) dataSetTime_ = DataSetClock::now();
  return outcome;
}

void Processing::SetFftLoader(FftLoader loader) {
  loader_ = std::move(loader);
  updater_.reset();
}

bool Processing::TraceShown(int row) const {
  return row >= 0 && row < static_cast<int>(kTraceRows) && state_->Traces.TraceShown[static_cast<std::size_t>(row)];
}

void Processing::SetTraceShown(int row, bool shown) {
  if (row >= 0 && row < static_cast<int>(kTraceRows)) state_->Traces.TraceShown[static_cast<std::size_t>(row)] = shown;
}

void Processing::SwitchTrace(TraceRow row, bool on) {
  std::int16_t noTrace = -1;
  std::int32_t noPoint = 0;
  state_->Traces.ToolsCommand(row, on, noTrace, noPoint);
}

}  // namespace specterm
