// The cost of processing one downloaded block (parse, window, transform, dB
// scaling, amplitude fit, trace store with peak hold and video average on)
// and of libFFT's fft_float, next to the bare FFTW transform they contain:
// a 4096-point single-precision complex plan made once by estimate and run
// with fftwf_execute, on interleaved arrays (the reference) and on split
// ones. After the table the program prints each as a ratio to the bare
// interleaved transform of the same run, from the fastest repetitions.
//
//   build/bin/specterm_processing_bench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true

#include "BenchRatios.h"
#include "processing/SpectrumUpdate.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

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
BENCHMARK(BM_ProcessBlock)->Apply(bench::RatioReporter::AddMin);

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
BENCHMARK(BM_FftFloat4096)->Apply(bench::RatioReporter::AddMin);

constexpr int kPoints = 4096;

// The block's samples as the transform sees them.
void FillInput(float* re, float* im) {
  const std::string block = MakeBlock();
  auto spectrum = std::make_unique<specterm::SpectrumState>();
  specterm::ParseBlock(std::string_view(block), spectrum->Block);
  std::copy(spectrum->Block.IData.begin(), spectrum->Block.IData.end(), re);
  std::copy(spectrum->Block.QData.begin(), spectrum->Block.QData.end(), im);
}

template <class T>
struct FftwArray {
  explicit FftwArray(std::size_t n) : Data(static_cast<T*>(fftwf_malloc(n * sizeof(T)))) {}
  ~FftwArray() { fftwf_free(Data); }
  FftwArray(const FftwArray&) = delete;
  FftwArray& operator=(const FftwArray&) = delete;
  T* Data;
};

struct FftwPlan {
  explicit FftwPlan(fftwf_plan p) : Plan(p) {}
  ~FftwPlan() {
    if (Plan) fftwf_destroy_plan(Plan);
  }
  FftwPlan(const FftwPlan&) = delete;
  FftwPlan& operator=(const FftwPlan&) = delete;
  fftwf_plan Plan;
};

// The reference: interleaved complex arrays, out of place.
void BM_FftwInterleaved4096(benchmark::State& state) {
  FftwArray<fftwf_complex> in(kPoints);
  FftwArray<fftwf_complex> out(kPoints);
  const FftwPlan plan(fftwf_plan_dft_1d(kPoints, in.Data, out.Data, FFTW_FORWARD, FFTW_ESTIMATE));
  std::vector<float> re(kPoints), im(kPoints);
  FillInput(re.data(), im.data());
  for (int i = 0; i < kPoints; ++i) {
    in.Data[i][0] = re[static_cast<std::size_t>(i)];
    in.Data[i][1] = im[static_cast<std::size_t>(i)];
  }
  for (auto _ : state) {
    fftwf_execute(plan.Plan);
    benchmark::DoNotOptimize(out.Data[0][0]);
  }
}
BENCHMARK(BM_FftwInterleaved4096)->Apply(bench::RatioReporter::AddMin);

// Split real and imaginary arrays through the guru interface, out of place.
void BM_FftwSplit4096(benchmark::State& state) {
  FftwArray<float> re(kPoints), im(kPoints), outRe(kPoints), outIm(kPoints);
  fftwf_iodim dim{kPoints, 1, 1};
  const FftwPlan plan(
      fftwf_plan_guru_split_dft(1, &dim, 0, nullptr, re.Data, im.Data, outRe.Data, outIm.Data, FFTW_ESTIMATE));
  FillInput(re.Data, im.Data);
  for (auto _ : state) {
    fftwf_execute(plan.Plan);
    benchmark::DoNotOptimize(outRe.Data[0]);
  }
}
BENCHMARK(BM_FftwSplit4096)->Apply(bench::RatioReporter::AddMin);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios to the bare interleaved transform (fastest repetitions):\n");
  for (const char* name : {"BM_FftFloat4096", "BM_ProcessBlock", "BM_FftwSplit4096"})
    reporter.PrintRatio(name, "BM_FftwInterleaved4096");
  benchmark::Shutdown();
  return 0;
}
