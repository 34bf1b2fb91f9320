#include "BenchTargets.h"

#include <cstdio>
#include <vector>

namespace bench {

namespace {
std::vector<TSummary>& Summaries() {
  static std::vector<TSummary> summaries;
  return summaries;
}
}  // namespace

bool AddSummary(TSummary summary) {
  Summaries().push_back(std::move(summary));
  return true;
}

void PrintSummaries(const TResults& results) {
  for (const TSummary& summary : Summaries()) summary(results);
}

void PrintTarget(const TResults& results, const std::string& name, const std::string& what, double limitMs) {
  const auto found = results.find(name);
  if (found == results.end()) return;
  std::printf("  %-44s %9.3f ms  (target < %g ms) %s\n", what.c_str(), found->second, limitMs,
              found->second < limitMs ? "ok" : "MISSED");
}

void PrintRatio(const TResults& results, const std::string& peer, const std::string& name, const std::string& what,
                double atLeast) {
  const auto ours = results.find(name);
  const auto theirs = results.find(peer);
  if (ours == results.end() || theirs == results.end()) return;
  const double ratio = theirs->second / ours->second;
  std::printf("  %-44s %9.2f x  (%.3f ms vs %.3f ms)", what.c_str(), ratio, theirs->second, ours->second);
  if (atLeast > 0) std::printf("  (target >= %g x) %s", atLeast, ratio >= atLeast ? "ok" : "MISSED");
  std::printf("\n");
}

}  // namespace bench
