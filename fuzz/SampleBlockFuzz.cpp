// The block read from "spectrum:": any bytes, of any length, through the
// parser, one update with each option set, and every data set's text.

#include "FuzzInput.h"
#include "processing/DataSetExport.h"
#include "processing/SampleBlock.h"
#include "processing/SpectrumUpdate.h"

#include <cstdlib>
#include <memory>

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
  // The export text is slow to make; one input in eight makes one.
  if ((switches & 0x38) == 0x38) {
    const auto kind = static_cast<ExportKind>(size % 5);
    if (DataSetText(kind, *state).empty()) std::abort();
  }
  // Now and then start again, so that averages do not only ever grow.
  if ((switches & 0xC0) == 0xC0) state = std::make_unique<SpectrumState>();
  return 0;
}
