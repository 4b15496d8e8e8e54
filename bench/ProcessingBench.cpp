// The cost of processing one downloaded block (parse, window, transform, dB
// scaling, amplitude fit, trace store with peak hold and video average on)
// next to the bare 4096-point fft_float it contains, measured in one run.
//
//   build/bin/specterm_processing_bench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true

#include "processing/SpectrumUpdate.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

namespace {

// A block as the modem sends it: a carrier with noise.
std::string MakeBlock() {
  std::string block(specterm::kBlockLength, '\0');
  const std::uint32_t centre = 700000;
  for (int i = 0; i < 4; ++i) block[2 + i] = static_cast<char>((centre >> (24 - 8 * i)) & 0xFF);
  block[7] = 1;
  std::mt19937 random(1);
  std::normal_distribution<double> noise(0.0, 10.0);
  for (std::size_t n = 0; n < specterm::kSampleCount; ++n) {
    const double phase = 0.37 * static_cast<double>(n);
    for (int section = 0; section < 2; ++section) {
      const double v = std::clamp(60.0 * (section ? std::sin(phase) : std::cos(phase)) + noise(random), -127.5, 127.0);
      const long b = v >= 0 ? std::lround(v) : std::lround(v + 255.5);
      block[specterm::kHeaderLength + section * specterm::kSampleCount + n] = static_cast<char>(b);
    }
  }
  return block;
}

std::shared_ptr<const specterm::FftLibrary> Library(benchmark::State& state) {
  const specterm::FftLibrary::Loaded loaded = specterm::FftLibrary::Shared();
  if (!loaded) state.SkipWithError(loaded.Error.c_str());
  return loaded.Library;
}

void BM_ProcessBlock(benchmark::State& state) {
  const auto library = Library(state);
  if (!library) return;
  const std::string block = MakeBlock();
  const specterm::SpectrumUpdater updater(library);
  auto spectrum = std::make_unique<specterm::SpectrumState>();
  const specterm::UpdateOptions options{true, true, true};
  int lastPercent = 0;
  const specterm::ProgressFn progress = [&](int percent) { lastPercent = percent; };
  for (auto _ : state) {
    specterm::ParseBlock(std::string_view(block), spectrum->Block);
    specterm::UpdateOutcome outcome = updater.Update(*spectrum, options, progress);
    benchmark::DoNotOptimize(outcome);
    benchmark::DoNotOptimize(spectrum->Traces.TraceY[3][100]);
  }
  benchmark::DoNotOptimize(lastPercent);
}
BENCHMARK(BM_ProcessBlock);

void BM_FftFloat4096(benchmark::State& state) {
  const auto library = Library(state);
  if (!library) return;
  const std::string block = MakeBlock();
  auto spectrum = std::make_unique<specterm::SpectrumState>();
  specterm::ParseBlock(std::string_view(block), spectrum->Block);
  for (auto _ : state) {
    library->FftFloat(4096, 0, spectrum->Block.IData.data(), spectrum->Block.QData.data(), spectrum->FftReal.data(),
                      spectrum->FftImag.data());
    benchmark::DoNotOptimize(spectrum->FftReal[0]);
  }
}
BENCHMARK(BM_FftFloat4096);

}  // namespace

BENCHMARK_MAIN();
