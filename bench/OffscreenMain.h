#pragma once

// The main() of the benchmarks that drive specterm's window: Qt's offscreen
// platform, and a registry folder of their own so that nothing they write
// reaches the user's settings.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

namespace bench {

inline int RunOffscreenBenchmarks(int argc, char** argv) {
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

}  // namespace bench
