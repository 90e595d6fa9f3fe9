#pragma once
// Measurements run in a fresh child process of the benchmark program, so
// that each one's peak resident memory (VmHWM) is its own.
#include <string>
#include <vector>

namespace zv::bench {

struct ChildResult {
    bool ok = false;
    double seconds = 0;   // the measured span, timed inside the child
    double peakMiB = 0;   // the child's peak resident memory
    std::string error;
};

// Runs `zorvane_bench --child <args...>` and collects its result.
ChildResult MeasureInChild(const std::vector<std::string>& args);

// The child's side: `load <wav>` times LoadWavFile; `read <file> <offset>
// <bytes>` times one plain read of those bytes into a buffer it has touched
// first. Prints "<seconds> <peak KiB>" and returns the exit status.
int RunChild(int argc, char** argv);

}  // namespace zv::bench
