#include "ChildMeasure.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "BenchTable.h"

namespace zv::bench {

namespace {

// Peak resident memory since the start or the last WarmMemory (VmHWM).
long PeakKiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

struct Command {
    const char* name;
    int (*run)(int, char**);
};

constexpr Command kCommands[] = {
    {"load", ChildLoad}, {"read", ChildRead}, {"open", ChildOpen},
    {"play", ChildPlay}, {"device-play", ChildDevicePlay}, {"device-idle", ChildDeviceIdle},
    {"open-answering", ChildOpenAnswering}, {"sf-decode-kept", ChildSfDecodeKept},
};

}  // namespace

long long ReadBytesSoFar() {
    std::ifstream in("/proc/self/io");
    std::string key;
    long long value = 0;
    while (in >> key >> value)
        if (key == "rchar:") return value;
    return -1;
}

void WarmMemory(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p != MAP_FAILED) {
        madvise(p, bytes, MADV_HUGEPAGE);
        auto* bytesAt = static_cast<volatile char*>(p);
        for (std::size_t i = 0; i < bytes; i += 4096) bytesAt[i] = 1;
        munmap(p, bytes);
    }
    std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM starts again from the resident size
}

int ChildReport(double value, const std::vector<double>& extra, const std::string& note) {
    std::printf("%.9g %ld", value, PeakKiB());
    for (const double e : extra) std::printf(" %.9g", e);
    std::printf("\n%s\n", note.c_str());
    std::fflush(stdout);
    return 0;
}

int RunChild(int argc, char** argv) {
    if (argc >= 1)
        for (const Command& c : kCommands)
            if (std::strcmp(argv[0], c.name) == 0) return c.run(argc - 1, argv + 1);
    std::fprintf(stderr, "unknown child command\n");
    return 2;
}

ChildResult MeasureInChild(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
    ChildResult result;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return result;
    // The program by its own path, so that the child's threads carry its name.
    char selfPath[4096];
    const ssize_t length = readlink("/proc/self/exe", selfPath, sizeof selfPath - 1);
    std::string self = length > 0 ? std::string(selfPath, static_cast<std::size_t>(length)) : "/proc/self/exe";
    std::string child = "--child";
    std::vector<char*> argv{self.data(), child.data()};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The environment with `env` in it, made before the fork (the child may
    // only make async-signal-safe calls until it runs the program).
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (env.count(entry.substr(0, entry.find('='))) == 0) environment.push_back(entry);
    }
    for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        execve(self.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[256];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::istringstream lines(text);
    std::string first;
    std::getline(lines, first);
    std::getline(lines, result.note);
    std::istringstream numbers(first);
    long peakKiB = 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && (numbers >> result.value >> peakKiB)) {
        result.ok = true;
        result.peakMiB = static_cast<double>(peakKiB) / 1024.0;
        double e;
        while (numbers >> e) result.extra.push_back(e);
    } else {
        result.error = "child failed: " + (args.empty() ? std::string() : args[0]);
        if (WIFEXITED(status)) result.error += " (exit " + std::to_string(WEXITSTATUS(status)) + ")";
        else if (WIFSIGNALED(status)) result.error += " (signal " + std::to_string(WTERMSIG(status)) + ")";
    }
    return result;
}

std::optional<std::vector<ChildResult>> MeasurePairs(benchmark::State& state, const std::vector<std::string>& subject,
                                                     const std::vector<std::string>& baseline, std::size_t extras) {
    std::vector<ChildResult> runs;
    std::vector<double> times, baseTimes;
    double peak = 0, basePeak = 0;
    for (auto _ : state) {
        ChildResult measured, reference;
        if (runs.size() % 2 == 0) {
            measured = MeasureInChild(subject);
            reference = MeasureInChild(baseline);
        } else {
            reference = MeasureInChild(baseline);
            measured = MeasureInChild(subject);
        }
        if (!measured.ok || !reference.ok || measured.extra.size() < extras) {
            const std::string error = measured.error + " " + reference.error;
            state.SkipWithError(error.c_str());
            return std::nullopt;
        }
        state.SetIterationTime(measured.value);
        times.push_back(measured.value);
        baseTimes.push_back(reference.value);
        peak = std::max(peak, measured.peakMiB);
        basePeak = std::max(basePeak, reference.peakMiB);
        runs.push_back(std::move(measured));
    }
    if (runs.empty()) return std::nullopt;
    state.counters[kValue] = Median(times) * 1e3;
    state.counters[kBaseline] = Median(baseTimes) * 1e3;
    state.counters[kPeak] = peak;
    state.counters[kBasePeak] = basePeak;
    return runs;
}

}  // namespace zv::bench
