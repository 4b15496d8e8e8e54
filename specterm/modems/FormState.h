#pragma once

// State of the main window that the capture cycle, the trace store and the
// export share with it.

#include <array>
#include <cstdint>
#include <string>

namespace specterm {

// FirstTrace of the link's bookkeeping is kept with the traces
// (Spectrum->Traces.FirstTrace).
struct LinkState {
  bool Connected = false;
  bool StopUpdates = true;
  bool SingleStepping = false;
  bool CaptureBusy = false;
  bool ReadBusy = false;
  bool LossReported = false;
};

// Trace rows: current, previous, video average, peak hold.
inline constexpr int kTraceCurrent = 0;
inline constexpr int kTracePrevious = 1;
inline constexpr int kTraceVideoAverage = 2;
inline constexpr int kTracePeakHold = 3;

struct ExportState {
  std::string LastPath;
  std::int32_t LastExport = 0;  // 0 raw .. 4 video average
};

}  // namespace specterm
