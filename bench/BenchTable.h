#pragma once
// How a row of the benchmark table reports itself. Every row measures its
// subject and a baseline in the same run, because these machines are noisy:
//   - the row's time is its subject (manual time, in milliseconds);
//   - counter "baseline_ms": the baseline's mean time in the same run;
//   - counter "target": the ratio the subject should stay within (optional);
//   - counters "peak_MiB" and "base_peak_MiB": peak resident memory of the
//     subject and of the baseline, each in a process of its own (optional).
// The table prints time, baseline, ratio (time / baseline), target and
// peaks. New rows only need to register a benchmark that sets these.
#include <benchmark/benchmark.h>

#include <chrono>

namespace zv::bench {

inline constexpr const char* kBaseline = "baseline_ms";
inline constexpr const char* kTarget = "target";
inline constexpr const char* kPeak = "peak_MiB";
inline constexpr const char* kBasePeak = "base_peak_MiB";

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Prints the rows as one table.
class TableReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
};

}  // namespace zv::bench
