// Responsiveness of the analyzer's window while it polls a modem: the real
// main window (offscreen) runs capture cycles against the simulator, and a
// probe timer firing every 2 ms records how long the window's event loop
// went without running. Reported per simulator reply delay (0 and 1000 ms),
// over the cycles from the first connection to the last data set: the
// longest gap, the 99th percentile, the gaps over 20 ms, the most processor
// time the window's thread used within one gap and within the longest gap
// (a gap much longer than that is time the thread was not running), and the
// longest gap of a plain sleeping thread over the same time (what the
// machine alone costs any thread), overall and during the window's longest
// gap.
//
//   specterm_link_bench [--benchmark_filter=...]
//   HALDEN_BENCH_CYCLES=N sets the number of cycles (default 20);
//   HALDEN_BENCH_TRACE=1 prints each gap over 10 ms (with the processor time
//   the window's thread used in it: much less than the gap means the thread
//   was not running), each data set, and each event that took over 10 ms
//   (over N ms with HALDEN_BENCH_TRACE=N), all on one clock; an event is
//   timed at its start.

#include "TestSupport.h"
#include "forms/Dialogs.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "modems/Settings.h"
#include "window/frmMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
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

// Seconds on one clock for every trace line, so that gaps, data sets and
// long events can be lined up.
double TraceSeconds() {
  static QElapsedTimer clock = [] {
    QElapsedTimer started;
    started.start();
    return started;
  }();
  return static_cast<double>(clock.nsecsElapsed()) / 1e9;
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

// Now on the monotonic clock that both probes share, in nanoseconds.
qint64 MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The machine's own share of the gaps: a plain thread beside the window
// that sleeps for the probe's interval again and again, with no event loop
// and no work. Its longest time between two wake-ups shows what the machine
// (scheduler, virtual processors) alone costs a thread over the same time,
// and its long gaps, kept with their times, show whether a long gap of the
// window fell at a moment when the machine stalled every thread.
class SleeperProbe {
 public:
  struct Gap {
    qint64 endNs;
    double ms;
  };

  SleeperProbe() {
    thread_ = std::thread([this] {
      qint64 last = MonotonicNs();
      while (!stop_.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kProbeIntervalMs));
        const qint64 now = MonotonicNs();
        const double gap = static_cast<double>(now - last) / 1e6;
        last = now;
        std::lock_guard lock(mutex_);
        maxGapMs_ = std::max(maxGapMs_, gap);
        if (gap > kTraceGapMs) longGaps_.push_back({now, gap});
      }
    });
  }
  ~SleeperProbe() {
    stop_.store(true);
    thread_.join();
  }
  SleeperProbe(const SleeperProbe&) = delete;
  SleeperProbe& operator=(const SleeperProbe&) = delete;
  double Max() const {
    std::lock_guard lock(mutex_);
    return maxGapMs_;
  }
  // The longest of its gaps over the trace limit that overlaps the given
  // stretch of time.
  double LongestOverlapping(qint64 fromNs, qint64 toNs) const {
    std::lock_guard lock(mutex_);
    double longest = 0.0;
    for (const Gap& g : longGaps_) {
      const qint64 startNs = g.endNs - static_cast<qint64>(g.ms * 1e6);
      if (startNs < toNs && g.endNs > fromNs) longest = std::max(longest, g.ms);
    }
    return longest;
  }

 private:
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  double maxGapMs_ = 0.0;
  std::vector<Gap> longGaps_;
  std::thread thread_;
};

// Gaps between probe ticks, from Start to the end, with a sleeper beside
// the window over the same time.
class LoopProbe {
 public:
  LoopProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kProbeIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = MonotonicNs();
      const qint64 cpu = ThreadCpuNs();
      const double gap = static_cast<double>(now - last_) / 1e6;
      const double busy = static_cast<double>(cpu - lastCpu_) / 1e6;
      if (gap > maxGapMs_) {
        maxGapMs_ = gap;
        maxGapEndNs_ = now;
        busyInMaxGapMs_ = busy;
      }
      gaps_.push_back(gap);
      maxBusyMs_ = std::max(maxBusyMs_, busy);
      if (Tracing() && gap > kTraceGapMs)
        std::fprintf(stderr, "%10.3f s  gap %.1f ms, thread busy %.1f ms\n", TraceSeconds(), gap,
                     static_cast<double>(cpu - lastCpu_) / 1e6);
      last_ = now;
      lastCpu_ = cpu;
    });
  }
  void Start() {
    last_ = MonotonicNs();
    lastCpu_ = ThreadCpuNs();
    timer_.start();
    sleeper_ = std::make_unique<SleeperProbe>();
  }
  void Stop() {
    timer_.stop();
    if (sleeper_) {
      sleeperMaxGapMs_ = sleeper_->Max();
      sleeperInMaxGapMs_ =
          sleeper_->LongestOverlapping(maxGapEndNs_ - static_cast<qint64>(maxGapMs_ * 1e6), maxGapEndNs_);
    }
    sleeper_.reset();
  }
  double SleeperMax() const { return sleeperMaxGapMs_; }
  // The sleeper's longest gap (over the trace limit) that overlapped the
  // window's longest gap: close to that gap when the machine, not the
  // window, held every thread up.
  double SleeperInMaxGap() const { return sleeperInMaxGapMs_; }
  long Over(double ms) const {
    return std::count_if(gaps_.begin(), gaps_.end(), [ms](double g) { return g > ms; });
  }
  // The most processor time the window's thread used within one gap: the
  // longest stretch of its own work between two turns of its loop.
  double MaxBusy() const { return maxBusyMs_; }
  // The processor time the window's thread used within the longest gap.
  double BusyInMaxGap() const { return busyInMaxGapMs_; }
  double Max() const { return maxGapMs_; }
  double Percentile(double p) const {
    if (gaps_.empty()) return 0.0;
    std::vector<double> sorted = gaps_;
    std::sort(sorted.begin(), sorted.end());
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1))];
  }

 private:
  QTimer timer_;
  qint64 last_ = 0;
  qint64 lastCpu_ = 0;
  double maxBusyMs_ = 0.0;
  double maxGapMs_ = 0.0;
  qint64 maxGapEndNs_ = 0;
  double busyInMaxGapMs_ = 0.0;
  std::vector<double> gaps_;
  std::unique_ptr<SleeperProbe> sleeper_;
  double sleeperMaxGapMs_ = 0.0;
  double sleeperInMaxGapMs_ = 0.0;
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
      if (Tracing()) std::fprintf(stderr, "%10.3f s  data set %d\n", TraceSeconds(), count);
      if (count >= cycles) loop.quit();
    });
    QTimer::singleShot(kDeadlineMs, &loop, [&] {
      timedOut = true;
      loop.quit();
    });
    loop.exec();
    probe.Stop();

    if (timedOut || form->Cycle().DataSets() < cycles) {
      state.SkipWithError("the cycles did not complete");
    } else {
      state.counters["cycles"] = cycles;
      state.counters["seconds"] = static_cast<double>(elapsed.elapsed()) / 1000.0;
      state.counters["max_gap_ms"] = probe.Max();
      state.counters["p99_gap_ms"] = probe.Percentile(0.99);
      state.counters["max_busy_ms"] = probe.MaxBusy();
      state.counters["gaps_over_20ms"] = static_cast<double>(probe.Over(kTargetGapMs));
      state.counters["busy_in_max_gap_ms"] = probe.BusyInMaxGap();
      state.counters["sleeper_max_gap_ms"] = probe.SleeperMax();
      state.counters["sleeper_in_max_gap_ms"] = probe.SleeperInMaxGap();
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
    state.counters["busy_in_max_gap_ms"] = probe.BusyInMaxGap();
    state.counters["sleeper_max_gap_ms"] = probe.SleeperMax();
    state.counters["sleeper_in_max_gap_ms"] = probe.SleeperInMaxGap();
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
    const double started = TraceSeconds();
    QElapsedTimer timer;
    timer.start();
    const int type = event->type();
    QByteArray name = receiver->metaObject()->className() + QByteArray(" ") + receiver->objectName().toUtf8();
    if (const QObject* parent = receiver->parent())
      name += QByteArray(" in ") + parent->metaObject()->className() + " " + parent->objectName().toUtf8();
    const bool result = QApplication::notify(receiver, event);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (ms > TraceEventMs())
      std::fprintf(stderr, "%10.3f s  event %d to %s took %.1f ms\n", started, type, name.constData(), ms);
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
