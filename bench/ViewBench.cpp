// The cost of one full redraw of the spectrum plot (UpdateView) on a
// 1100 x 600 picture and on a 3840 x 2160 one (a 4K monitor, maximised):
// all four traces, grids and labels, threshold line, both cursors and the
// selection marker, at the fit view and zoomed in. Runs on Qt's offscreen
// platform. The arguments are the picture's width and height. Beside each
// size the program times the baseline of filling a picture of that size
// with one colour, and prints every redraw as a ratio to it, so that a slow
// machine shows as a slow baseline rather than as a slow redraw.
//
//   build/bin/specterm_view_bench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true

#include "BenchRatios.h"
#include "forms/PictureBox.h"
#include "modems/Settings.h"
#include "window/frmMain.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace {

// The picture sizes measured: the minimum window's class, and 4K.
void PictureSizes(benchmark::internal::Benchmark* b) {
  b->Args({1100, 600});
  b->Args({3840, 2160});
}

// Four traces as a data set leaves them: a noise floor with two carriers,
// in the transform's order (upper half of the band first), the previous,
// averaged and held rows close to the current one.
void FillTraces(specterm::SpectrumState& spectrum) {
  specterm::TraceStore& t = spectrum.Traces;
  const double centre = spectrum.Block.CenterFreq;
  const double half = spectrum.Block.SampleRate / 4.0;
  std::mt19937 random(7);
  std::normal_distribution<float> noise(0.0f, 3.0f);
  for (std::size_t i = 0; i < specterm::kPointCount; ++i) {
    // Points 0..1023 run from the centre up, 1024..2047 from the lower edge
    // up to the centre.
    const double offset = i < 1024 ? static_cast<double>(i) / 1024.0 : static_cast<double>(i) / 1024.0 - 2.0;
    const auto x = static_cast<float>(centre + offset * half);
    const double carrier =
        40.0 * std::exp(-std::pow((offset - 0.3) * 60.0, 2)) + 25.0 * std::exp(-std::pow((offset + 0.55) * 80.0, 2));
    const auto floor = static_cast<float>(-70.0 + carrier);
    for (std::size_t row = 0; row < specterm::kTraceRows; ++row) {
      t.TraceX[row][i] = x;
      t.TraceY[row][i] = floor + noise(random) + (row == specterm::kPeakHoldRow ? 6.0f : 0.0f);
    }
  }
  t.TraceShown = {true, true, true, true};
  t.HaveData = true;
}

class Plot {
 public:
  Plot(int width, int height) {
    form_.picSpectrum->resize(width, height);
    FillTraces(form_.Spectrum().EditState());
    // Every trace shown, the threshold and both cursors on the plot.
    specterm::Settings settings;
    settings.CurrentTrace = settings.LastTrace = settings.VideoAverage = settings.PeakHold = true;
    settings.PeakThreshold = -55;
    settings.CursorDisplay = true;
    settings.CursorPos = {660, 40, 730, 10};
    form_.Traces().ApplySettings(settings);
    form_.Input().ApplySettings(settings);
    form_.View().FitView();
    // Point 300 selected, with its marker.
    form_.Input().MoveSpecificPoint(300);
  }
  specterm::frmMain& Form() { return form_; }

 private:
  specterm::frmMain form_;
};

void BM_UpdateViewFit(benchmark::State& state) {
  Plot plot(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  specterm::frmMain& f = plot.Form();
  for (auto _ : state) {
    f.View().UpdateView();
    benchmark::DoNotOptimize(f.Input().Selection().MarkerErased);
  }
}
BENCHMARK(BM_UpdateViewFit)->Apply(PictureSizes)->Apply(bench::RatioReporter::AddMin)->Unit(benchmark::kMillisecond);

// Zoomed in about the carrier: wider pens, finer grid.
void BM_UpdateViewZoomed(benchmark::State& state) {
  Plot plot(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  specterm::frmMain& f = plot.Form();
  f.picSpectrum_MouseMove(0, 0, 737.5f, -20);
  for (int i = 0; i < 6; ++i) f.View().ZoomInView();
  for (auto _ : state) {
    f.View().UpdateView();
    benchmark::DoNotOptimize(f.Input().Selection().MarkerErased);
  }
}
BENCHMARK(BM_UpdateViewZoomed)->Apply(PictureSizes)->Apply(bench::RatioReporter::AddMin)->Unit(benchmark::kMillisecond);

// The baseline: a picture of the same size filled with one colour.
void BM_FillPicture(benchmark::State& state) {
  QImage picture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
  unsigned colour = 0;
  for (auto _ : state) {
    picture.fill(qRgb(0, 0, static_cast<int>(++colour & 0xFF)));
    benchmark::DoNotOptimize(picture.constBits());
  }
}
BENCHMARK(BM_FillPicture)->Apply(PictureSizes)->Apply(bench::RatioReporter::AddMin)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The window reads no settings here, but keep any registry writes away
  // from the user's own.
  QTemporaryDir registry;
  setenv("HALDEN_REGISTRY_DIR", QDir::toNativeSeparators(registry.path()).toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios to filling a picture of the same size (fastest repetitions):\n");
  for (const char* size : {"/1100/600", "/3840/2160"})
    for (const char* redraw : {"BM_UpdateViewFit", "BM_UpdateViewZoomed"})
      reporter.PrintRatio(std::string(redraw) + size, std::string("BM_FillPicture") + size);
  benchmark::Shutdown();
  return 0;
}
