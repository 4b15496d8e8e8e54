#include "TraceStore.h"

#include "SpectrumKernels.h"

namespace specterm {

namespace {

// Counters wrap to 0 at the largest Long and count on when their trace runs.
void Advance(std::int32_t& count, bool running) {
  if (count == kCounterWrap) count = 0;
  if (running) ++count;
}

}  // namespace

void TraceStore::BeginUpdate() {
  // Counted, not read from point 1: a capture centred on 0 or a point at
  // the 0 dB floor would otherwise look like an empty row for ever and fit
  // the view at every data set.
  FirstTrace = DataSets < kFirstTraceDataSets;
  if (DataSets < kCounterWrap) ++DataSets;
  TraceX[kPreviousRow] = TraceX[kCurrentRow];
  TraceY[kPreviousRow] = TraceY[kCurrentRow];
}

AccumulationTexts TraceStore::Accumulate(bool videoAverage, bool peakHold) {
  AccumulationTexts texts;
  Advance(VideoAverageCount, videoAverage);
  if (videoAverage) {
    texts.VideoAverageToolTip = "Video Average Trace [" + std::to_string(VideoAverageCount) + "]";
    texts.Status = texts.VideoAverageToolTip;
  } else {
    texts.VideoAverageToolTip = "Video Average Trace";
  }
  Advance(PeakHoldCount, peakHold);
  texts.PeakHoldToolTip =
      peakHold ? "Peak Hold Trace [" + std::to_string(PeakHoldCount) + "]" : std::string("Peak Hold Trace");

  const Row& x = TraceX[kCurrentRow];
  const Row& y = TraceY[kCurrentRow];
  if (videoAverage) {
    TraceX[kVideoAverageRow] = x;
    Row& average = TraceY[kVideoAverageRow];
    const std::int32_t n = VideoAverageCount;
    if (n == 1) {
      average = y;
    } else {
      // The mean of the dB values, weighted in double precision.
      const double keep = static_cast<double>(n - 1) / static_cast<double>(n);
      const double add = 1.0 / static_cast<double>(n);
      BlendInto(average.data(), y.data(), keep, add, kPointCount);
    }
  }
  if (peakHold) {
    Row& peak = TraceY[kPeakHoldRow];
    if (PeakHoldCount == 1) {
      // The x of the peak row is taken from the first data set only.
      TraceX[kPeakHoldRow] = x;
      peak = y;
    } else {
      MaxInto(peak.data(), y.data(), kPointCount);
    }
  }
  return texts;
}

std::optional<std::string> TraceStore::SampleCountsStatus(bool videoAverage, bool peakHold) const {
  if (videoAverage && peakHold)
    return "Peak Hold Samples = " + std::to_string(PeakHoldCount) +
           " | Video Average Samples = " + std::to_string(VideoAverageCount);
  if (videoAverage) return "Video Average Samples = " + std::to_string(VideoAverageCount);
  if (peakHold) return "Peak Hold Samples = " + std::to_string(PeakHoldCount);
  return std::nullopt;
}

void TraceStore::ToolsCommand(TraceRow row, bool checked, std::int16_t& lastSelectedTrace,
                              std::int32_t& lastSelectedPoint) {
  if (row < kCurrentRow || row > kPeakHoldRow) return;
  TraceShown[static_cast<std::size_t>(row)] = checked;
  if (checked) {
    if (row == kVideoAverageRow) VideoAverageCount = 0;
    if (row == kPeakHoldRow) PeakHoldCount = 0;
  } else if (lastSelectedTrace == row) {
    lastSelectedTrace = -1;
    lastSelectedPoint = 0;
  }
}

std::string TraceName(int row) {
  switch (row) {
    case kPreviousRow:
      return "Previous";
    case kVideoAverageRow:
      return "Video Average";
    case kPeakHoldRow:
      return "Peak Hold";
    default:
      return "Current";
  }
}

}  // namespace specterm
