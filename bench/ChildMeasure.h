#pragma once
// Measurements run in a fresh child process of the benchmark program, so
// that each one's peak resident memory (VmHWM) is its own, and so that one
// can run on the X display while this process draws offscreen.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace benchmark {
class State;
}

namespace zv::bench {

struct ChildResult {
    bool ok = false;
    double value = 0;            // the measured figure (seconds, or a CPU share), taken inside the child
    double peakMiB = 0;          // the child's peak resident memory
    std::vector<double> extra;   // further figures, as the command defines them
    std::string note;            // a line of text, as the command defines it
    std::string error;
};

// Runs `zorvane_bench --child <args...>` with `env` added to the
// environment, and collects its result.
ChildResult MeasureInChild(const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env = {});

// A row's measuring loop: in each iteration of `state`, one `subject` child
// and one `baseline` child, each a fresh process, in alternating order (so
// neither always meets the other's leftovers). The row's value and baseline
// are the medians of the subject's and the baseline's times (ms): now and
// then one child here stalls for seconds on memory the host must back
// again, and a mean would show that stall rather than the program. The
// counters also get both peaks (MiB). Returns the subject runs, for their
// extra figures; on a child that failed or gave fewer than `extras` extra
// figures, marks the row failed and returns nothing.
std::optional<std::vector<ChildResult>> MeasurePairs(benchmark::State& state, const std::vector<std::string>& subject,
                                                     const std::vector<std::string>& baseline,
                                                     std::size_t extras = 0);

// The child's side: runs the command args[0] (see the row files) and prints
// its result as "<value> <peak KiB> [extra...]" and an optional second line
// of text. Returns the exit status.
int RunChild(int argc, char** argv);

// What a child command prints; returns 0.
int ChildReport(double value, const std::vector<double>& extra = {}, const std::string& note = {});

// Child commands (argv without the command's name).
int ChildLoad(int argc, char** argv);       // LoadBench.cpp: load <wav>
int ChildRead(int argc, char** argv);       // LoadBench.cpp: read <file> <offset> <bytes>
int ChildOpen(int argc, char** argv);       // OpenBench.cpp: open <wav>
int ChildPlay(int argc, char** argv);       // PlaybackBench.cpp: play <wav> <seconds>
int ChildDevicePlay(int argc, char** argv); // PlaybackBench.cpp: device-play <wav> <seconds>
int ChildDeviceIdle(int argc, char** argv); // OutputBench.cpp: device-idle <wav|-> <seconds>
int ChildOpenAnswering(int argc, char** argv); // FormatsBench.cpp: open-answering <file>
int ChildSfDecodeKept(int argc, char** argv);   // FormatsBench.cpp: sf-decode-kept <file>

// Bytes this process has read through system calls so far (/proc/self/io rchar).
long long ReadBytesSoFar();

// Touches `bytes` of fresh memory on huge pages and gives it back, then
// restarts the count of peak memory from what is resident now. On these
// virtual machines the first touch of memory the host has not backed yet
// costs 2-3 s a GiB, and whether a child meets such memory is chance (what
// ran before it): so the children that allocate a gigabyte warm that much
// first, and the rows compare the programs' own work. Call it last before
// the clock starts: memory given back is handed on to the host within a
// second or two (free page reporting), and is cold again after that.
void WarmMemory(std::size_t bytes);

}  // namespace zv::bench
