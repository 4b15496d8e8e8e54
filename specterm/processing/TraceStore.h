#pragma once

// The four traces the analyzer shows (current, previous, video average, peak
// hold) and the bookkeeping the update and the Tools menu do on them.

#include "SpectrumConstants.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace specterm {

// Trace rows by name, for code that indexes rows with plain integers.
inline constexpr int kTraceCurrent = kCurrentRow;
inline constexpr int kTracePrevious = kPreviousRow;
inline constexpr int kTraceVideoAverage = kVideoAverageRow;
inline constexpr int kTracePeakHold = kPeakHoldRow;

// Texts written by the accumulation steps of an update.
struct AccumulationTexts {
  std::string VideoAverageToolTip;    // tool-tip of the "VideoAverage" button
  std::string PeakHoldToolTip;        // tool-tip of the "PeakHold" button
  std::optional<std::string> Status;  // "Status" panel text, set while the video average runs
};

struct TraceStore {
  using Row = std::array<float, kPointCount>;

  // Row (0 current, 1 previous, 2 video average, 3 peak hold) by point, in
  // transform order: positive-frequency bins first.
  std::array<Row, kTraceRows> TraceX{};  // plot x: 0.1 MHz units x SpanScale
  std::array<Row, kTraceRows> TraceY{};  // amplitude in dB
  std::array<bool, kTraceRows> TraceShown{};
  std::int32_t VideoAverageCount = 0;  // data sets in the video average since its (re)start
  std::int32_t PeakHoldCount = 0;      // data sets in the peak hold since its (re)start
  bool FirstTrace = false;             // no complete pair of current and previous traces yet
  bool HaveData = false;               // at least one data set has been transformed
  std::int32_t DataSets = 0;           // data sets transformed so far (held at the largest Long)

  // Update steps 1-2, before the new data set is written to row 0: decides
  // FirstTrace (the first two data sets have no complete pair before them)
  // and copies the current row into the previous one.
  void BeginUpdate();

  // Update steps 3-6, after row 0 holds the new data set: the counters, the
  // video average (mean of the dB values) and the peak hold.
  AccumulationTexts Accumulate(bool videoAverage, bool peakHold);

  // Update step 7: the "Status" text that follows the redraw of a data set
  // (not after a fit); nothing when neither accumulation runs.
  std::optional<std::string> SampleCountsStatus(bool videoAverage, bool peakHold) const;

  // The Tools menu command of a row after its check mark was toggled to
  // `checked`: shows or hides the row, restarts the accumulation of rows 2
  // and 3 when switched on, and forgets the last selected point when it lay
  // on the row being hidden. (Switching the previous row on also re-runs the
  // update; that is the caller's part.)
  void ToolsCommand(TraceRow row, bool checked, std::int16_t& lastSelectedTrace, std::int32_t& lastSelectedPoint);
};

// "Current", "Previous", "Video Average" or "Peak Hold"; "Current" for any
// other value.
std::string TraceName(int row);

}  // namespace specterm
