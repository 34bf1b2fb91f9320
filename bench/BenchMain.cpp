// Bench entry: the stand-in backend and a scratch folder as the current directory, the
// benchmarks, then each area's summary of targets and ratios.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "BenchTargets.h"
#include "platform/Backend.h"

namespace {

// The console table as usual, and every run's time kept for the summaries.
class TRecordingReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only for a terminal.
  TRecordingReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

  bench::TResults Results;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      // With repetitions the median stands for the benchmark.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        Results[run.run_name.str()] = seconds * 1e3;
        FMedians.insert(run.run_name.str());
      } else if (run.run_type == Run::RT_Iteration && !FMedians.contains(run.benchmark_name())) {
        Results[run.benchmark_name()] = seconds * 1e3;
      }
    }
  }

 private:
  std::set<std::string> FMedians;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  std::unique_ptr<platform::TPlatform> backend = platform::CreateBackend();
  platform::SetCurrent(backend.get());

  const std::filesystem::path oldDir = std::filesystem::current_path();
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quorvel-bench-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);

  int status = 0;
  try {
    TRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    bench::PrintSummaries(reporter.Results);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench: %s\n", error.what());
    status = 1;
  }
  benchmark::Shutdown();
  std::filesystem::current_path(oldDir);
  std::filesystem::remove_all(dir);
  platform::SetCurrent(nullptr);
  return status;
}
