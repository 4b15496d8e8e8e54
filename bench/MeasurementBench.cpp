// The cost of the measurements per data set: the engine alone on a row of
// 2048 noisy points, and the "Measurements" dock's whole update (measure,
// then fill its two tables) with both cursors placed, on a new data set
// each time, shown and hidden. Runs on Qt's offscreen platform; the target
// is at most 1 ms per data set for the dock's update.
//
//   build/bin/specterm_measurement_bench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true

#include "OffscreenMain.h"
#include "TestBlocks.h"
#include "window/frmMain.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDockWidget>

#include <string>
#include <vector>

namespace {

// Data sets as the modem sends them: a noise floor with two carriers, so
// that the row has hundreds of local maxima to weigh.
std::vector<std::string> Blocks() {
  std::vector<std::string> blocks;
  for (unsigned seed = 1; seed <= 8; ++seed) blocks.push_back(blocks::CarrierBlock({{300, 40}, {1700, 12}}, 3.0, seed));
  return blocks;
}

class Window {
 public:
  explicit Window(bool docked) : blocks_(Blocks()) {
    for (int n = 0; n < 3; ++n) NextDataSet();
    form_.CursorPair().ApplySettings(true, {720, -60, 760, -60});
    form_.resize(1100, 700);
    form_.show();
    if (docked) form_.mnuViewMeasurements->trigger();
    QApplication::processEvents();
  }
  specterm::frmMain& Form() { return form_; }
  // The next data set in the trace store, without the window's follow-up.
  void NextDataSet() {
    form_.Spectrum().ParseBlock(blocks_[next_++ % blocks_.size()]);
    form_.Spectrum().Update({});
  }

 private:
  std::vector<std::string> blocks_;
  std::size_t next_ = 0;
  specterm::frmMain form_;
};

void BM_MeasureRow(benchmark::State& state) {
  Window window(false);
  const specterm::TraceStore& traces = window.Form().Spectrum().Traces();
  specterm::MeasureSettings settings;
  settings.BandFrom = 72.0;
  settings.BandTo = 76.0;
  settings.Enbw = specterm::WindowEnbw(true);
  for (auto _ : state) {
    const specterm::Measurements m =
        specterm::Measure({traces.TraceX[0], traces.TraceY[0], window.Form().Spectrum().Block().SpanScale}, settings);
    benchmark::DoNotOptimize(m.Peaks.data());
  }
}
BENCHMARK(BM_MeasureRow)->Unit(benchmark::kMicrosecond);

void DockUpdate(benchmark::State& state, bool docked, bool paint) {
  Window window(docked);
  for (auto _ : state) {
    state.PauseTiming();
    window.NextDataSet();
    state.ResumeTiming();
    window.Form().Measurer().Refresh();
    // The cells that changed are painted when the event loop next runs.
    if (paint) QApplication::processEvents();
  }
}

void BM_DockUpdatePerDataSet(benchmark::State& state) { DockUpdate(state, true, false); }
BENCHMARK(BM_DockUpdatePerDataSet)->Unit(benchmark::kMicrosecond);

// The same with the changed cells painted, as the screen will show them.
void BM_DockUpdateAndPaintPerDataSet(benchmark::State& state) { DockUpdate(state, true, true); }
BENCHMARK(BM_DockUpdateAndPaintPerDataSet)->Unit(benchmark::kMicrosecond);

void BM_HiddenDockPerDataSet(benchmark::State& state) { DockUpdate(state, false, false); }
BENCHMARK(BM_HiddenDockPerDataSet)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunOffscreenBenchmarks(argc, argv); }
