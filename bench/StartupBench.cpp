// Row: start-up, from process start to the first painted window on the X
// display, for zorvane against an empty Qt Widgets window (the toolkit's
// floor, bench/floor). Each program is started with
// ZORVANE_REPORT_FIRST_PAINT set and prints "first-paint <seconds>"
// (CLOCK_MONOTONIC) on stderr once its window has been painted; the time
// from just before the fork to that stamp is its start-up. The two are
// started in turn, several times each, after one unmeasured start of each
// (so that both find their libraries in the page cache); the row gives the
// medians.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchTable.h"

namespace zv::bench {

namespace {

constexpr int kRuns = 11;
constexpr int kTimeoutMs = 15000;

double Monotonic() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds from start to first paint, or a negative value when the program
// printed no stamp in time. The program is ended afterwards.
double StartupSeconds(const char* program) {
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0) return -1;
    // Made before the fork: the child only redirects and runs the program.
    std::vector<std::string> environment{"QT_QPA_PLATFORM=xcb", "ZORVANE_REPORT_FIRST_PAINT=1"};
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) environment.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* const argv[] = {const_cast<char*>(program), nullptr};
    const int nul = open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::fflush(nullptr);
    const double start = Monotonic();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(err[1], STDERR_FILENO);
        if (nul >= 0) dup2(nul, STDOUT_FILENO);
        execve(program, argv, envp.data());
        _exit(127);
    }
    if (nul >= 0) close(nul);
    close(err[1]);
    double stamp = -1;
    std::string text;
    const double deadline = start + kTimeoutMs / 1000.0;
    while (stamp < 0 && Monotonic() < deadline) {
        pollfd p{err[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[512];
        const ssize_t n = read(err[0], buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = text.find('\n')) != std::string::npos; text.erase(0, eol + 1)) {
            const std::string line = text.substr(0, eol);
            if (line.rfind("first-paint ", 0) == 0) stamp = std::atof(line.c_str() + 12);
            else std::fprintf(stderr, "%s: %s\n", program, line.c_str());
        }
    }
    close(err[0]);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return stamp < 0 ? -1 : stamp - start;
}

void StartupToFirstPaint(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("needs an X display: run under scripts/with-sound-stack.sh");
        return;
    }
    std::vector<double> program, floor;
    for (auto _ : state) {
        StartupSeconds(ZORVANE_PROGRAM);
        StartupSeconds(ZORVANE_EMPTY_WINDOW);
        for (int i = 0; i < kRuns; ++i) {
            program.push_back(StartupSeconds(ZORVANE_PROGRAM));
            floor.push_back(StartupSeconds(ZORVANE_EMPTY_WINDOW));
            if (program.back() < 0 || floor.back() < 0) {
                const std::string which = program.back() < 0 ? ZORVANE_PROGRAM : ZORVANE_EMPTY_WINDOW;
                const std::string error = which + " showed no painted window within " +
                                          std::to_string(kTimeoutMs / 1000) + " s";
                state.SkipWithError(error.c_str());
                return;
            }
        }
        state.SetIterationTime(Median(program));
    }
    state.counters[kValue] = Median(program) * 1e3;
    state.counters[kBaseline] = Median(floor) * 1e3;
    state.counters[kTarget] = 1.5;
    char note[200];
    const auto [programMin, programMax] = std::minmax_element(program.begin(), program.end());
    const auto [floorMin, floorMax] = std::minmax_element(floor.begin(), floor.end());
    std::snprintf(note, sizeof note,
                  "base: empty Qt Widgets window; medians of %d; zorvane %.0f-%.0f ms, base %.0f-%.0f ms", kRuns,
                  *programMin * 1e3, *programMax * 1e3, *floorMin * 1e3, *floorMax * 1e3);
    SetRowText(state, "ms", "", note);
}

}  // namespace

void RegisterStartupRows() {
    benchmark::RegisterBenchmark("Start-up to first paint (xcb)", StartupToFirstPaint)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

}  // namespace zv::bench
