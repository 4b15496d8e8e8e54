// Responsiveness of the analyzer's window while it polls a modem: the real
// main window (offscreen) runs capture cycles against the simulator, and a
// probe timer firing every 2 ms records how long the window's event loop
// went without running. Reported per simulator reply delay (0 and 1000 ms),
// over the cycles from the first connection to the last data set: the
// longest gap, the 99th percentile, the gaps over 20 ms, and the most
// processor time the window's thread used within one gap (a gap much longer
// than that is time the thread was not scheduled, on a busy machine).
//
//   specterm_link_bench [--benchmark_filter=...]
//   HALDEN_BENCH_CYCLES=N sets the number of cycles (default 20);
//   HALDEN_BENCH_TRACE=1 prints each gap over 10 ms (with the processor time
//   the window's thread used in it: much less than the gap means the thread
//   was not running), each data set, timed from the first cycle, and each
//   event that took over 10 ms (over N ms with HALDEN_BENCH_TRACE=N).

#include "TestSupport.h"
#include "forms/Dialogs.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "modems/Settings.h"
#include "modems/frmMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultCycles = 20;
constexpr int kProbeIntervalMs = 2;
// Cycles follow each other quickly; the reply delay sets their pace.
constexpr int kPollIntervalMs = 100;
constexpr int kDeadlineMs = 30 * 60 * 1000;
constexpr double kTargetGapMs = 20.0;
constexpr double kTraceGapMs = 10.0;

bool Tracing() { return std::getenv("HALDEN_BENCH_TRACE") != nullptr; }
// Events that take longer than this many milliseconds are named while
// tracing: the value of HALDEN_BENCH_TRACE when it is a number above 1.
double TraceEventMs() {
  const char* text = std::getenv("HALDEN_BENCH_TRACE");
  const double ms = text != nullptr ? std::atof(text) : 0.0;
  return ms > 1.0 ? ms : kTraceGapMs;
}

// Processor time used by the calling thread, in nanoseconds.
qint64 ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int Cycles() {
  const char* text = std::getenv("HALDEN_BENCH_CYCLES");
  const int n = text != nullptr ? std::atoi(text) : 0;
  return n > 0 ? n : kDefaultCycles;
}

// A private registry naming the simulator as the last modem, updates on.
class Registry {
 public:
  explicit Registry(const std::string& address) {
    setenv("HALDEN_REGISTRY_DIR", dir_.Path().c_str(), 1);
    const std::string record = std::string(specterm::kModemsKey) + "\\Modem1";
    specterm::SaveRegSetting(record, "ModemName", "Simulator");
    specterm::SaveRegSetting(record, "IP_Address", address);
    specterm::SaveRegSetting(specterm::kModemsKey, "ModemCount", "1");
    specterm::SaveRegSetting(specterm::kModemsKey, "LastModem", "Simulator");
    specterm::SaveRegSetting(specterm::kConfigurationKey, "StopUpdates", "False");
  }

 private:
  testsupport::TempDir dir_;
};

// Gaps between probe ticks, from Start to the end.
class LoopProbe {
 public:
  LoopProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kProbeIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      const qint64 cpu = ThreadCpuNs();
      const double gap = static_cast<double>(now - last_) / 1e6;
      gaps_.push_back(gap);
      maxBusyMs_ = std::max(maxBusyMs_, static_cast<double>(cpu - lastCpu_) / 1e6);
      if (Tracing() && gap > kTraceGapMs)
        std::fprintf(stderr, "%10.3f s  gap %.1f ms, thread busy %.1f ms\n", static_cast<double>(now) / 1e9, gap,
                     static_cast<double>(cpu - lastCpu_) / 1e6);
      last_ = now;
      lastCpu_ = cpu;
    });
  }
  void Start() {
    clock_.start();
    last_ = 0;
    lastCpu_ = ThreadCpuNs();
    timer_.start();
  }
  void Stop() { timer_.stop(); }
  qint64 ElapsedNs() const { return clock_.nsecsElapsed(); }
  long Over(double ms) const {
    return std::count_if(gaps_.begin(), gaps_.end(), [ms](double g) { return g > ms; });
  }
  // The most processor time the window's thread used within one gap: the
  // longest stretch of its own work between two turns of its loop.
  double MaxBusy() const { return maxBusyMs_; }
  double Max() const { return gaps_.empty() ? 0.0 : *std::max_element(gaps_.begin(), gaps_.end()); }
  double Percentile(double p) const {
    if (gaps_.empty()) return 0.0;
    std::vector<double> sorted = gaps_;
    std::sort(sorted.begin(), sorted.end());
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1))];
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 lastCpu_ = 0;
  double maxBusyMs_ = 0.0;
  std::vector<double> gaps_;
};

void BM_WindowDuringCaptureCycles(benchmark::State& state) {
  const int slowMs = static_cast<int>(state.range(0));
  const int cycles = Cycles();
  for (auto _ : state) {
    std::vector<std::string> args;
    if (slowMs > 0) args = {"--fault", "slow=" + std::to_string(slowMs)};
    testsupport::ModemSim sim(args);
    Registry registry(sim.Address());

    auto form = std::make_unique<specterm::frmMain>();
    form->Form_Load();
    form->timerPoll->setInterval(kPollIntervalMs);

    LoopProbe probe;
    QEventLoop loop;
    QElapsedTimer elapsed;
    bool timedOut = false;
    QObject::connect(form->timerPoll, &QTimer::timeout, &loop, [&] {
      // The first cycle starts: the link is up.
      if (!elapsed.isValid()) {
        elapsed.start();
        probe.Start();
      }
    });
    QObject::connect(form.get(), &specterm::frmMain::DataSetShown, &loop, [&](int count) {
      if (Tracing())
        std::fprintf(stderr, "%10.3f s  data set %d\n", static_cast<double>(probe.ElapsedNs()) / 1e9, count);
      if (count >= cycles) loop.quit();
    });
    QTimer::singleShot(kDeadlineMs, &loop, [&] {
      timedOut = true;
      loop.quit();
    });
    loop.exec();
    probe.Stop();

    if (timedOut || form->Capture.DataSets < cycles) {
      state.SkipWithError("the cycles did not complete");
    } else {
      state.counters["cycles"] = cycles;
      state.counters["seconds"] = static_cast<double>(elapsed.elapsed()) / 1000.0;
      state.counters["max_gap_ms"] = probe.Max();
      state.counters["p99_gap_ms"] = probe.Percentile(0.99);
      state.counters["max_busy_ms"] = probe.MaxBusy();
      state.counters["gaps_over_20ms"] = static_cast<double>(probe.Over(kTargetGapMs));
    }
    form->close();
    form.reset();
  }
}
BENCHMARK(BM_WindowDuringCaptureCycles)
    ->ArgName("slow_ms")
    ->Arg(0)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The baseline: the same window with its updates stopped, doing nothing for
// as long as the slow run polls, shows what the machine and the toolkit
// alone cost the event loop.
void BM_IdleWindow(benchmark::State& state) {
  const int seconds = static_cast<int>(state.range(0));
  for (auto _ : state) {
    testsupport::TempDir registry;
    setenv("HALDEN_REGISTRY_DIR", registry.Path().c_str(), 1);
    auto form = std::make_unique<specterm::frmMain>();
    form->Form_Load();
    LoopProbe probe;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] { probe.Start(); });
    QTimer::singleShot(seconds * 1000, &loop, [&] { loop.quit(); });
    loop.exec();
    probe.Stop();
    state.counters["max_busy_ms"] = probe.MaxBusy();
    state.counters["max_gap_ms"] = probe.Max();
    state.counters["p99_gap_ms"] = probe.Percentile(0.99);
    state.counters["gaps_over_20ms"] = static_cast<double>(probe.Over(kTargetGapMs));
    form->close();
    form.reset();
  }
}
BENCHMARK(BM_IdleWindow)->ArgName("seconds")->Arg(120)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// While tracing, names each event that took longer than a trace gap.
class TracingApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    if (!Tracing()) return QApplication::notify(receiver, event);
    QElapsedTimer timer;
    timer.start();
    const int type = event->type();
    QByteArray name = receiver->metaObject()->className() + QByteArray(" ") + receiver->objectName().toUtf8();
    if (const QObject* parent = receiver->parent())
      name += QByteArray(" in ") + parent->metaObject()->className() + " " + parent->objectName().toUtf8();
    const bool result = QApplication::notify(receiver, event);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (ms > TraceEventMs()) std::fprintf(stderr, "  event %d to %s took %.1f ms\n", type, name.constData(), ms);
    return result;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TracingApplication app(argc, argv);
  // No modal box may hold the loop: the seam answers them.
  forms::DialogSeam::Install();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
