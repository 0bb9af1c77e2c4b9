#include "ThroughputSummary.h"

#include <algorithm>

void ThroughputSummary::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
    m_seconds[run.run_name.function_name].push_back(run.cpu_accumulated_time / static_cast<double>(run.iterations));
  }
}

std::optional<double> ThroughputSummary::SecondsPerIteration(const std::string& name) const {
  auto found = m_seconds.find(name);
  if (found == m_seconds.end()) return std::nullopt;
  std::vector<double> seconds = found->second;
  std::sort(seconds.begin(), seconds.end());
  const std::size_t n = seconds.size();
  return n % 2 == 1 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
}
