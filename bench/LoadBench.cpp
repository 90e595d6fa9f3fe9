// Row: LoadWavFile of a 1 GiB 16-bit stereo WAV from the page cache against
// one plain read of the same bytes into a buffer that is already touched.
// Both run in children of their own (peak memory per measurement), in
// alternating order, and each child reads the file once just before its
// clock starts, so that both find it in the page cache (on a busy machine
// other programs may push it out between two children).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "BenchPlatform.h"
#include "BenchTable.h"
#include "ChildMeasure.h"
#include "sound/WavLoader.h"

namespace zv::bench {

int ChildLoad(int argc, char** argv) {
    if (argc != 1) return 2;
    SoundData sound;
    PrintingMessageBox box;
    WarmCache(argv[0]);   // as every child that reads a file: its pages cached, then the memory warmed
    WarmMemory(kWarmBytes);
    const auto start = std::chrono::steady_clock::now();
    ShowReport(box, LoadWavFile(sound, argv[0]));
    const double seconds = SecondsSince(start);
    if (!sound.WavLoaded || box.shown != 0) return 3;
    return ChildReport(seconds);
}

int ChildRead(int argc, char** argv) {
    if (argc != 3) return 2;
    const long offset = std::atol(argv[1]);
    const std::size_t bytes = std::strtoull(argv[2], nullptr, 10);
    WarmMemory(kWarmBytes);
    auto* buffer = static_cast<uint8_t*>(std::malloc(bytes));
    if (buffer == nullptr) return 3;
    std::memset(buffer, 1, bytes);  // touched: its pages exist before the clock starts
    WarmCache(argv[0]);
    const int fd = open(argv[0], O_RDONLY | O_CLOEXEC);
    if (fd < 0 || lseek(fd, offset, SEEK_SET) != offset) return 3;
    const auto start = std::chrono::steady_clock::now();
    std::size_t done = 0;
    while (done < bytes) {  // one read; more only if the system returns short
        const ssize_t n = read(fd, buffer + done, bytes - done);
        if (n <= 0) return 3;
        done += static_cast<std::size_t>(n);
    }
    const double seconds = SecondsSince(start);
    close(fd);
    const int rc = ChildReport(seconds);
    std::free(buffer);
    return rc;
}

namespace {

void LoadWavFile1GiB(benchmark::State& state) {
    const std::string path = BigWav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    WarmCache(path);
    const std::vector<std::string> readArgs{"read", path, std::to_string(kBigDataOffset),
                                            std::to_string(kBigDataBytes)};
    if (!MeasurePairs(state, {"load", path}, readArgs)) return;
    state.counters[kTarget] = 1.5;
    SetRowText(state, "ms", "", "base: one read() into a touched buffer; peak target <= 1088 MiB");
}

}  // namespace

void RegisterLoadRows() {
    benchmark::RegisterBenchmark("LoadWavFile 1 GiB", LoadWavFile1GiB)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
}

}  // namespace zv::bench
