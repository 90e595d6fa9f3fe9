#pragma once
// How a row of the benchmark table reports itself. Every row measures its
// subject and a baseline in the same run, because these machines are noisy:
//   - the row's value is its subject: by default the manual time in
//     milliseconds; counter "value" replaces it (a CPU share, say), with the
//     unit named by SetRowText;
//   - counter "baseline": the baseline's mean (or median) in the same run,
//     same unit;
//   - counter "target": the ratio the subject should stay within, or an
//     absolute bound in the row's unit set with SetRowText (optional);
//   - counters "peak_MiB" and "base_peak_MiB": peak resident memory of the
//     subject and of the baseline, each in a process of its own (optional);
//   - a short note (what the baseline is, what else was seen).
// The table prints value, unit, baseline, ratio (value / baseline), target,
// peaks and note. A new row registers a benchmark that sets these.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace zv::bench {

inline constexpr const char* kValue = "value";
inline constexpr const char* kBaseline = "baseline";
inline constexpr const char* kTarget = "target";
inline constexpr const char* kPeak = "peak_MiB";
inline constexpr const char* kBasePeak = "base_peak_MiB";

// The middle value (the upper of the two middle ones); `values` not empty.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The row's unit (default "ms"), its target written out when it is not a
// ratio (as "< 3 %"), and a note. Carried to the table in the run's label.
void SetRowText(benchmark::State& state, const std::string& unit, const std::string& target,
                const std::string& note);

// The rows, registered in the table's order by main (each file registers its own).
void RegisterLoadRows();      // LoadBench.cpp
void RegisterOpenRows();      // OpenBench.cpp
void RegisterFormatsRows();   // FormatsBench.cpp
void RegisterDrawRows();      // DrawBench.cpp
void RegisterViewRows();      // ViewBench.cpp
void RegisterTimelineRows();  // TimelineBench.cpp
void RegisterPlaybackRows();  // PlaybackBench.cpp
void RegisterOutputRows();    // OutputBench.cpp
void RegisterStartupRows();   // StartupBench.cpp
void RegisterMarksRows();     // MarksBench.cpp
void RegisterBeatsRows();     // BeatsBench.cpp
void RegisterDialogueRows();  // DialogueBench.cpp

// Prints the rows as one table.
class TableReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
};

}  // namespace zv::bench
