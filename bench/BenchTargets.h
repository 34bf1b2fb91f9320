#pragma once
// What the bench program prints after the benchmarks: each file registers its summary,
// which gets the measured times by benchmark name.
#include <functional>
#include <map>
#include <string>

namespace bench {

// Real time per iteration in milliseconds, by the benchmark's full name.
using TResults = std::map<std::string, double>;

using TSummary = std::function<void(const TResults&)>;

// Register at static initialisation: `const bool cRegistered = bench::AddSummary(...);`.
bool AddSummary(TSummary summary);
void PrintSummaries(const TResults& results);

// "  what: 12.34 ms (target < 20 ms) ok" or "... MISSED"; nothing when the name did not run.
void PrintTarget(const TResults& results, const std::string& name, const std::string& what, double limitMs);
// "  what: 3.10 x" for peer's time over name's, with "(target >= atLeast x) ok" or "MISSED"
// when atLeast is given; nothing when either did not run.
void PrintRatio(const TResults& results, const std::string& peer, const std::string& name, const std::string& what,
                double atLeast = 0);

}  // namespace bench
