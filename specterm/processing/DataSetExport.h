#pragma once

// The five data-set exports: comma-separated text, every field quoted, CR LF
// line ends, a header line and one line per row. A file is written to a
// temporary file beside the target and renamed over it only when complete,
// so a failed export never destroys the file it was to replace. Where that
// cannot work, an existing file is rewritten in place: when its folder may
// not be written but the file may, and when the file has other hard links,
// which a rename would leave holding the old contents.

#include "SpectrumUpdate.h"

#include <span>
#include <string>

namespace specterm {

// The kinds in the order of the File menu; the numbers are those stored as
// LastExport.
enum class ExportKind : int { Raw = 0, Transformed = 1, Scaled = 2, PeakHold = 3, VideoAverage = 4 };

// The outcome of an export: Ok, or the reason it failed and the file.
struct ExportResult {
  bool Ok = true;
  std::string FileName;
  std::string Reason;
  // A message for the user, naming the file and the reason.
  std::string Message() const;
};

// The export text of two columns of equal length (rows 1..n):
// "Point","I_Data","Q_Data" then "1","12","-.5" and so on. Reports progress
// per row as the writers do.
std::string DataSetText(std::span<const float> first, std::span<const float> second, const ProgressFn& progress = {});

// The export text of one kind of data set of the state.
std::string DataSetText(ExportKind kind, const SpectrumState& state, const ProgressFn& progress = {});

// Writes text to fileName through a temporary file in the same folder, or
// in place where that cannot work (see above).
ExportResult WriteFileReplacing(const std::string& fileName, const std::string& text);

// The writers of the five kinds. Progress goes from 1 to 100 while the rows
// are written and back to 0 at the end.
ExportResult WriteDataSet(ExportKind kind, const std::string& fileName, const SpectrumState& state,
                          const ProgressFn& progress = {});
ExportResult WriteRaw(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress = {});
ExportResult WriteTransformed(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress = {});
ExportResult WriteScaled(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress = {});
ExportResult WritePeakHold(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress = {});
ExportResult WriteVideoAverage(const std::string& fileName, const SpectrumState& state,
                               const ProgressFn& progress = {});

}  // namespace specterm
