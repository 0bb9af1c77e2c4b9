// Google Benchmark's console output, also keeping each benchmark's processor time per iteration for the closing
// table of throughputs, ratios and targets. Processor time, not wall-clock time: the routines run on one thread,
// and on a shared machine the wall clock also counts the time others hold the processor. With repetitions, the
// median of each benchmark's runs: a run that met a busy moment of the shared machine then moves nothing.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

class ThroughputSummary : public benchmark::ConsoleReporter {
 public:
  explicit ThroughputSummary(bool color) : ConsoleReporter(color ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override;

  // Seconds of processor time of one iteration (the median over the repetitions), or nothing when the benchmark
  // did not run or failed.
  std::optional<double> SecondsPerIteration(const std::string& name) const;

 private:
  std::map<std::string, std::vector<double>> m_seconds;
};
