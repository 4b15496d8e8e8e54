#pragma once

// The main() of the benchmarks that drive specterm's window: Qt's offscreen
// platform, and a registry folder of their own so that nothing they write
// reaches the user's settings.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>

namespace bench {

// Runs the benchmarks through `reporter` (the console one when null), then
// `after` (for summaries that need every run), with the QApplication alive.
inline int RunOffscreenBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter = nullptr,
                                  const std::function<void()>& after = {}) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir registry;
  setenv("HALDEN_REGISTRY_DIR", QDir::toNativeSeparators(registry.path()).toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (reporter != nullptr)
    benchmark::RunSpecifiedBenchmarks(reporter);
  else
    benchmark::RunSpecifiedBenchmarks();
  if (after) after();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
