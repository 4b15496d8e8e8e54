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
#include "TestBlocks.h"
#include "forms/PictureBox.h"
#include "window/frmMain.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The picture sizes measured: the minimum window's class, and 4K.
void PictureSizes(benchmark::internal::Benchmark* b) {
  b->Args({1100, 600});
  b->Args({3840, 2160});
}

// Data sets as the modem sends them, through the parser and the update: a
// noise floor with two carriers, each with noise of its own, so that the
// previous, averaged and held rows lie close to the current one.
void ShowDataSets(specterm::frmMain& form) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    form.Spectrum().ParseBlock(blocks::CarrierBlock({{300, 40}, {1700, 12}}, 3.0, seed));
    form.cmdUpdate_Click();
  }
}

class Plot {
 public:
  Plot(int width, int height) {
    form_.picSpectrum->resize(width, height);
    // Every trace shown, the threshold and both cursors on the plot.
    for (int row = 0; row < static_cast<int>(specterm::kTraceRows); ++row) form_.Traces().ApplyShown(row, true);
    form_.Navigator().ApplySettings(true, true, 1, 40);
    form_.CursorPair().ApplySettings(true, {660, -60, 730, -30});
    ShowDataSets(form_);
    form_.View().FitView();
    // Point 300 selected, with its marker.
    form_.Navigator().MoveSpecificPoint(300);
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
    benchmark::DoNotOptimize(f.View().Overlay().Marker.Shown);
  }
}
BENCHMARK(BM_UpdateViewFit)->Apply(PictureSizes)->Apply(bench::RatioReporter::AddMin)->Unit(benchmark::kMillisecond);

// Zoomed in about the carrier: wider pens, finer grid.
void BM_UpdateViewZoomed(benchmark::State& state) {
  Plot plot(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  specterm::frmMain& f = plot.Form();
  for (int i = 0; i < 6; ++i) f.View().ZoomInView(736.5f, -100);
  for (auto _ : state) {
    f.View().UpdateView();
    benchmark::DoNotOptimize(f.View().Overlay().Marker.Shown);
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
