// zorvane_bench: prints one table of Zorvane's speed figures, each beside a
// baseline measured in the same run (see BenchTable.h). Some rows measure
// in child processes of this program (started as `zorvane_bench --child
// ...`) so that each measurement's peak memory is its own.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BenchTable.h"
#include "ChildMeasure.h"

namespace zv::bench {

int RenderWav(int argc, char** argv);  // RenderWav.cpp

bool TableReporter::ReportContext(const Context& context) {
    std::printf("Zorvane benchmarks: %d CPU(s) at %.0f MHz; times in ms, mean of the iterations\n\n",
                context.cpu_info.num_cpus, context.cpu_info.cycles_per_second / 1e6);
    std::printf("%-34s %6s %10s %10s %7s %7s %10s %10s\n", "row", "iters", "time", "baseline", "ratio",
                "target", "peak MiB", "base MiB");
    std::printf("%s\n", std::string(100, '-').c_str());
    return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) {
            std::printf("%-34s failed: %s\n", run.run_name.function_name.c_str(), run.error_message.c_str());
            continue;
        }
        const double ms = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        auto counter = [&](const char* name) -> const benchmark::Counter* {
            const auto it = run.counters.find(name);
            return it == run.counters.end() ? nullptr : &it->second;
        };
        auto field = [&](const char* name, const char* format) {
            const benchmark::Counter* c = counter(name);
            char text[32];
            if (c == nullptr) return std::string("-");
            std::snprintf(text, sizeof text, format, c->value);
            return std::string(text);
        };
        const benchmark::Counter* base = counter(kBaseline);
        char ratio[32] = "-";
        if (base != nullptr && base->value > 0) std::snprintf(ratio, sizeof ratio, "%.2f", ms / base->value);
        std::printf("%-34s %6lld %10.3f %10s %7s %7s %10s %10s\n", run.run_name.function_name.c_str(),
                    static_cast<long long>(run.iterations), ms, field(kBaseline, "%.3f").c_str(), ratio,
                    field(kTarget, "%.2f").c_str(), field(kPeak, "%.0f").c_str(), field(kBasePeak, "%.0f").c_str());
        std::fflush(stdout);
    }
}

}  // namespace zv::bench

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0) return zv::bench::RunChild(argc - 2, argv + 2);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--render") == 0) return zv::bench::RenderWav(argc - 2, argv + 2);
    benchmark::Initialize(&argc, argv);
    zv::bench::TableReporter table;
    benchmark::RunSpecifiedBenchmarks(&table);
    benchmark::Shutdown();
    return 0;
}
