#pragma once

// specterm-dataset: runs the update over saved "spectrum:" blocks and writes
// one data set of the last update in the export file format, the shown
// traces as a CSV table (--kind csv), or the measurements of one of its rows
// between two frequencies, for scripts. A recording of data sets is taken
// wherever a block file is: its blocks, in order.
//
//   specterm-dataset --kind raw|transformed|scaled|peakhold|average|csv
//                    [--window on|off] [--peakhold on|off] [--average on|off]
//                    BLOCKFILE...
//   specterm-dataset --measure LOW:HIGH [--peaks N] [--excursion DB]
//                    [--threshold DB] [--kind current|average|peakhold]
//                    [--window on|off] [--peakhold on|off] [--average on|off]
//                    BLOCKFILE...

#include "DataSetExport.h"
#include "FftLibrary.h"
#include "Measurements.h"
#include "SpectrumUpdate.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace specterm {

// Exit codes of the tool.
inline constexpr int kToolOk = 0;
inline constexpr int kToolFailed = 1;  // a block file or the FFT library failed
inline constexpr int kToolUsage = 2;   // the command line is wrong

// What --measure asks for: the band in MHz, the row and the peak table.
struct MeasureRequest {
  double LowMHz = 0.0;
  double HighMHz = 0.0;
  TraceRow Row = kCurrentRow;
  int Peaks = kDefaultPeakCount;
  double Excursion = kDefaultExcursion;
  float Threshold = 0.0f;
};

struct ToolOptions {
  std::optional<ExportKind> Kind;
  std::optional<MeasureRequest> Measure;
  // The traces as a table (TraceCsv.h) instead of an export kind.
  bool Csv = false;
  UpdateOptions Update{true, true, true};
  std::vector<std::string> Files;
};

// Parses the arguments (without the program name): an error text, or
// nothing when they are fine; help is set for --help.
std::optional<std::string> ParseToolArguments(const std::vector<std::string>& args, ToolOptions& options, bool& help);

// Runs the tool on its arguments (without the program name); the data set
// goes to out, messages to err. The FFT library is opened only when needed.
int RunDatasetTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace specterm
