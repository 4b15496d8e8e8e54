// Start-up against a large settings file: a 10 MB hive (20000 modem records
// of four values each, as a directory grown over years or a hostile file),
// parsed alone, and read the way a program reads its settings at start-up:
// one key opened and fifty values queried.
//
//   build/bin/registry_bench --benchmark_repetitions=3
//       --benchmark_report_aggregates_only=true

#include "registry/Hive.h"
#include "registry/Registry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kModems = 20000;

std::string LargeHiveText() {
  std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Configuration]\n";
  for (int i = 0; i < 50; ++i) text += "\"Setting" + std::to_string(i) + "\"=\"" + std::to_string(i) + "\"\n";
  const std::string padding(400, 'x');
  for (int m = 1; m <= kModems; ++m) {
    const std::string n = std::to_string(m);
    text += "\n[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems\\Modem" + n + "]\n";
    text += "\"ModemName\"=\"Modem " + n + "\"\n\"IP_Address\"=\"127.0." + n + "\"\n";
    text += "\"LastContact\"=\"20240101120000\"\n\"Notes\"=\"" + padding + "\"\n";
  }
  return text;
}

void BM_ParseLargeHive(benchmark::State& state) {
  const std::string text = LargeHiveText();
  for (auto _ : state) {
    const auto parsed = registry::detail::ParseHive(text, "HKEY_CURRENT_USER");
    benchmark::DoNotOptimize(parsed.hive.Keys().size());
  }
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ParseLargeHive)->Unit(benchmark::kMillisecond);

void BM_ReadFiftySettingsFromLargeHive(benchmark::State& state) {
  char folder[] = "/tmp/halden-registry-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::ofstream(std::string(folder) + "/HKEY_CURRENT_USER.reg") << LargeHiveText();
  setenv("HALDEN_REGISTRY_DIR", folder, 1);
  for (auto _ : state) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Halden Spectrum Analyzer\\Configuration", &key) != ERROR_SUCCESS) {
      state.SkipWithError("the key cannot be opened");
      break;
    }
    for (int i = 0; i < 50; ++i) {
      char value[64];
      DWORD size = sizeof value;
      RegQueryValueExA(key, ("Setting" + std::to_string(i)).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                       &size);
    }
    RegCloseKey(key);
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadFiftySettingsFromLargeHive)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
