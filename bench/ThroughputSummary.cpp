#include "ThroughputSummary.h"

void ThroughputSummary::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
    m_seconds[run.run_name.function_name] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
  }
}

std::optional<double> ThroughputSummary::SecondsPerIteration(const std::string& name) const {
  auto found = m_seconds.find(name);
  if (found == m_seconds.end()) return std::nullopt;
  return found->second;
}
