// zorvane_bench: prints one table of Zorvane's speed figures, each beside a
// baseline measured in the same run (see BenchTable.h). Some rows measure
// in child processes of this program (started as `zorvane_bench --child
// ...`) so that each measurement's peak memory is its own, or so that it
// runs on a real display. `make bench` runs it under
// scripts/with-sound-stack.sh (Xvfb and a PulseAudio null sink); the rows
// that need a display or a sound output report themselves failed without.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "BenchTable.h"
#include "ChildMeasure.h"

namespace zv::bench {

int RenderWav(int argc, char** argv);  // RenderWav.cpp

namespace {

constexpr char kSeparator = '\x1f';

std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

std::string Field(const std::string& label, int index) {
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = label.find(kSeparator, begin);
        if (begin == std::string::npos) return {};
        ++begin;
    }
    const std::size_t end = label.find(kSeparator, begin);
    return label.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

}  // namespace

void SetRowText(benchmark::State& state, const std::string& unit, const std::string& target,
                const std::string& note) {
    state.SetLabel(unit + kSeparator + target + kSeparator + note);
}

bool TableReporter::ReportContext(const Context& context) {
    std::printf("Zorvane benchmarks: %d CPU(s), %s; values are means of the iterations; rows timed in child processes (1 GiB, FLAC), medians\n",
                context.cpu_info.num_cpus, CpuModel().c_str());
    std::printf("(ratio = value / baseline; target: a ratio, or a bound in the row's unit)\n\n");
    std::printf("%-33s %5s %9s %-4s %9s %6s %7s %8s %8s  %s\n", "row", "iters", "value", "unit", "baseline",
                "ratio", "target", "peak MiB", "base MiB", "note");
    std::printf("%s\n", std::string(118, '-').c_str());
    return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const std::string name = run.run_name.function_name;
        if (run.error_occurred) {
            std::printf("%-33s failed: %s\n", name.c_str(), run.error_message.c_str());
            std::fflush(stdout);
            continue;
        }
        auto counter = [&](const char* key) -> const benchmark::Counter* {
            const auto it = run.counters.find(key);
            return it == run.counters.end() ? nullptr : &it->second;
        };
        auto field = [&](const char* key, const char* format) {
            const benchmark::Counter* c = counter(key);
            if (c == nullptr) return std::string("-");
            char text[32];
            std::snprintf(text, sizeof text, format, c->value);
            return std::string(text);
        };
        const benchmark::Counter* given = counter(kValue);
        const double value = given != nullptr ? given->value
                                              : run.GetAdjustedRealTime() * 1e3 /
                                                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        std::string unit = Field(run.report_label, 0);
        if (unit.empty()) unit = "ms";
        std::string target = Field(run.report_label, 1);
        if (target.empty()) target = counter(kTarget) != nullptr ? field(kTarget, "%.2f") + "x" : "-";
        const benchmark::Counter* base = counter(kBaseline);
        char ratio[32] = "-";
        if (base != nullptr && base->value > 0) std::snprintf(ratio, sizeof ratio, "%.2f", value / base->value);
        std::printf("%-33s %5lld %9.3f %-4s %9s %6s %7s %8s %8s  %s\n", name.c_str(),
                    static_cast<long long>(run.iterations), value, unit.c_str(), field(kBaseline, "%.3f").c_str(),
                    ratio, target.c_str(), field(kPeak, "%.0f").c_str(), field(kBasePeak, "%.0f").c_str(),
                    Field(run.report_label, 2).c_str());
        std::fflush(stdout);
    }
}

}  // namespace zv::bench

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0) return zv::bench::RunChild(argc - 2, argv + 2);
    // This process draws offscreen; children that need the display ask for it.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--render") == 0) return zv::bench::RenderWav(argc - 2, argv + 2);
    zv::bench::RegisterLoadRows();
    zv::bench::RegisterOpenRows();
    zv::bench::RegisterFormatsRows();
    zv::bench::RegisterDrawRows();
    zv::bench::RegisterViewRows();
    zv::bench::RegisterTimelineRows();
    zv::bench::RegisterPlaybackRows();
    zv::bench::RegisterOutputRows();
    zv::bench::RegisterStartupRows();
    zv::bench::RegisterMarksRows();
    zv::bench::RegisterBeatsRows();
    zv::bench::RegisterDialogueRows();
    benchmark::Initialize(&argc, argv);
    zv::bench::TableReporter table;
    benchmark::RunSpecifiedBenchmarks(&table);
    benchmark::Shutdown();
    return 0;
}
