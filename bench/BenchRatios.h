#pragma once

// A console reporter that also keeps the fastest repetition of each
// benchmark, so that a program can print its figures as ratios to a
// baseline measured in the same run: a slow or loaded machine then shows as
// a slow baseline, not as a regression.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // The statistic that AddMin gives a benchmark.
  static constexpr const char* kMin = "min";
  static void AddMin(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics(kMin, [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
  }

  // The fastest repetition's real and CPU time per iteration, in ns.
  struct Best {
    double Real = 0;
    double Cpu = 0;
  };

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // Single runs, or the "min" statistic of repetitions reported as
      // aggregates only.
      const bool single = run.run_type == Run::RT_Iteration;
      const bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == kMin;
      if (!(single || fastest) || run.error_occurred || run.iterations == 0) continue;
      const double scale = 1e9 / static_cast<double>(run.iterations);
      const double real = run.real_accumulated_time * scale;
      const double cpu = run.cpu_accumulated_time * scale;
      auto [it, added] = best_.try_emplace(run.run_name.str(), Best{real, cpu});
      if (!added) it->second = {std::min(it->second.Real, real), std::min(it->second.Cpu, cpu)};
    }
  }

  // Prints "name  x.xx x baseline" from the fastest repetitions of both;
  // nothing when either did not run.
  void PrintRatio(const std::string& name, const std::string& baseline) const {
    const auto a = best_.find(name);
    const auto b = best_.find(baseline);
    if (a == best_.end() || b == best_.end() || b->second.Real <= 0 || b->second.Cpu <= 0) return;
    std::printf("%-34s %6.2f x %s (real time; %.2f x by CPU time)\n", name.c_str(), a->second.Real / b->second.Real,
                baseline.c_str(), a->second.Cpu / b->second.Cpu);
  }

 private:
  std::map<std::string, Best> best_;
};

}  // namespace bench
