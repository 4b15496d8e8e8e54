// The block read from "spectrum:": any bytes, of any length, through the
// parser and one update with each option set, and the export text of a few
// rows of the data set it made.
//
// What an input costs is the parse and the update (about a millisecond in
// this unoptimised build). The text of a whole data set (2048 rows, of 100
// times that cost) is not made: formatting runs row by row on ordinary
// numbers, which a few rows try as well as all of them, and the formatting
// of any number has a harness of its own (vbformat).

#include "FuzzInput.h"
#include "processing/DataSetExport.h"
#include "processing/SampleBlock.h"
#include "processing/SpectrumUpdate.h"

#include <cstdlib>
#include <memory>
#include <span>

namespace {

constexpr std::size_t kExportRows = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace specterm;
  static const FftLibrary::Loaded fft = FftLibrary::Shared();
  if (!fft) std::abort();  // the harness is broken, not the parser
  static const SpectrumUpdater updater(fft.Library);
  static auto state = std::make_unique<SpectrumState>();

  ParseBlock(std::span<const std::uint8_t>(data, size), state->Block);
  // The first byte picks the options, so that every combination is tried.
  const std::uint8_t switches = size > 0 ? data[0] : 0;
  const UpdateOptions options{(switches & 1) != 0, (switches & 2) != 0, (switches & 4) != 0};
  if (!updater.Update(*state, options).Error.empty()) std::abort();

  // A few rows of the scaled data set or of the one accumulating, from a
  // point the input's length picks.
  const TraceStore& traces = state->Traces;
  const int row = (switches & 8) != 0 ? kPeakHoldRow : (switches & 16) != 0 ? kVideoAverageRow : kCurrentRow;
  const std::size_t first = size % (kPointCount - kExportRows + 1);
  const auto x = std::span<const float>(traces.TraceX[row]).subspan(first, kExportRows);
  const auto y = std::span<const float>(traces.TraceY[row]).subspan(first, kExportRows);
  if (DataSetText(x, y).empty()) std::abort();

  // Now and then start again, so that averages do not only ever grow (by
  // copying: a new state would cost new pages and its captions every time).
  static const auto fresh = std::make_unique<const SpectrumState>();
  if ((switches & 0xC0) == 0xC0) *state = *fresh;
  return 0;
}
