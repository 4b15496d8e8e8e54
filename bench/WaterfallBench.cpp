// The waterfall and the replay of recordings, on Qt's offscreen platform:
//   BM_WaterfallNewRow  a data set's row added and the picture painted
//                       (1100 x 600, history full): the rows scroll by one
//                       line and one row is drawn
//   BM_WaterfallRedraw  the whole picture after a zoom, 1,200 rows shown
//                       (1100 x 1200 lines)
//   BM_ReplayDay        a day's recording (28,800 data sets, 237 MB) opened
//                       (at its last data set, the waterfall filled), then
//                       moved to its first and back to its last; rss_mb is
//                       what the process grew by over the first run
//   BM_ReplayStep       a step back and a step on at its end
//
//   build/bin/specterm_waterfall_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true

#include "TestBlocks.h"
#include "processing/Recording.h"
#include "window/frmMain.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr std::int64_t kStart = 1714521600000;  // 2024-05-01 00:00 UTC
constexpr int kDayDataSets = 28800;             // one every 3 s

// Resident memory of the process in MB.
double ResidentMB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

// A window with the waterfall's history full of data sets with a carrier
// and noise, its picture of the given size.
class Rows {
 public:
  Rows(int width, int height) {
    form_.picWaterfall->resize(width, height);
    form_.WaterfallView().ApplySettings(true, 0.5f);
    for (unsigned seed = 1; seed <= 3; ++seed) {
      form_.Spectrum().ParseBlock(blocks::CarrierBlock({{300, 40}, {1700, 12}}, 3.0, seed));
      form_.cmdUpdate_Click();
    }
    form_.View().FitView();
    for (std::size_t i = 0; i < form_.WaterfallView().History().Capacity(); ++i)
      form_.WaterfallView().TakeDataSet(kStart + 3000 * static_cast<std::int64_t>(i));
    picture_ = QImage(width, height, QImage::Format_RGB32);
    Paint();
  }
  void Paint() {
    QPainter painter(&picture_);
    form_.WaterfallView().Render(painter, QPoint(0, 0));
  }
  specterm::frmMain& Form() { return form_; }

 private:
  specterm::frmMain form_;
  QImage picture_;
};

void BM_WaterfallNewRow(benchmark::State& state) {
  Rows rows(1100, 600);
  std::int64_t time = kStart + 3600000;
  for (auto _ : state) {
    rows.Form().WaterfallView().TakeDataSet(time += 3000);
    rows.Paint();
  }
}
BENCHMARK(BM_WaterfallNewRow)->Unit(benchmark::kMillisecond);

void BM_WaterfallRedraw(benchmark::State& state) {
  // The colour bar's strip below the rows.
  Rows rows(1100, 1200 + 30);
  specterm::frmMain& f = rows.Form();
  bool in = true;
  for (auto _ : state) {
    state.PauseTiming();
    // Zoom in and out about the first carrier; the plot's redraw is not
    // the waterfall's.
    if (in)
      f.View().ZoomInView(f.Spectrum().Traces().TraceX[0][299], -80);
    else
      f.View().PreviousView();
    in = !in;
    state.ResumeTiming();
    rows.Paint();
  }
}
BENCHMARK(BM_WaterfallRedraw)->Unit(benchmark::kMillisecond);

// A day's recording, written once per run.
const std::string& DayRecording() {
  static QTemporaryDir folder;
  static const std::string path = [] {
    const std::string file = QDir(folder.path()).filePath(QStringLiteral("day.rec")).toStdString();
    specterm::RecordingWriter writer;
    if (writer.Create(file)) return std::string();
    std::vector<std::string> blocks;
    for (unsigned seed = 1; seed <= 16; ++seed)
      blocks.push_back(blocks::CarrierBlock({{300, 40}, {static_cast<int>(600 + 50 * seed), 12}}, 3.0, seed));
    for (int i = 0; i < kDayDataSets; ++i)
      if (writer.Append(kStart + 3000LL * i, blocks[static_cast<std::size_t>(i) % blocks.size()])) return std::string();
    return file;
  }();
  return path;
}

// False, with the benchmark skipped, when the day's recording is missing.
bool RecordingWritten(benchmark::State& state, const std::string& file) {
  if (file.empty()) state.SkipWithError("the day's recording could not be written");
  return !file.empty();
}

// The window with its waterfall shown at 1100 x 600.
void ShowWaterfall(specterm::frmMain& f) {
  f.picWaterfall->resize(1100, 600);
  f.WaterfallView().ApplySettings(true, 0.5f);
}

void BM_ReplayDay(benchmark::State& state) {
  const std::string& file = DayRecording();
  if (!RecordingWritten(state, file)) return;
  specterm::frmMain f;
  ShowWaterfall(f);
  const double before = ResidentMB();
  double grown = -1;
  for (auto _ : state) {
    f.RecordingReplay().Open(QString::fromStdString(file));
    f.RecordingReplay().First();
    f.RecordingReplay().Last();
    if (grown < 0) grown = ResidentMB() - before;
    state.PauseTiming();
    f.RecordingReplay().Close();
    state.ResumeTiming();
  }
  state.counters["rss_mb"] = grown;
  state.counters["data_sets"] = static_cast<double>(kDayDataSets);
}
BENCHMARK(BM_ReplayDay)->Unit(benchmark::kMillisecond);

// A step back and a step on at the end of the day's recording, the
// waterfall full: each shows a data set through the update, and the step
// back takes the waterfall's rows over but one.
void BM_ReplayStep(benchmark::State& state) {
  const std::string& file = DayRecording();
  if (!RecordingWritten(state, file)) return;
  specterm::frmMain f;
  ShowWaterfall(f);
  f.RecordingReplay().Open(QString::fromStdString(file));
  for (auto _ : state) {
    f.RecordingReplay().Previous();
    f.RecordingReplay().Next();
  }
}
BENCHMARK(BM_ReplayStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir registry;
  setenv("HALDEN_REGISTRY_DIR", QDir::toNativeSeparators(registry.path()).toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
