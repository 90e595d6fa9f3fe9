// Row: LoadWavFile of a 1 GiB 16-bit stereo WAV from the page cache against
// one plain read of the same bytes into a buffer that is already touched.
// Both run in children of their own (peak memory per measurement), in
// alternating order.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchTable.h"
#include "ChildMeasure.h"

namespace zv::bench {

namespace {

constexpr uint32_t kDataBytes = uint32_t{1} << 30;
constexpr long kDataOffset = 44;

void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The test file: a 44-byte header and 1 GiB of a 16-bit stereo signal,
// written once and kept beside the program.
std::string BigWav() {
    const std::string path = std::string(ZORVANE_BENCH_DIR) + "/bench-1gib-stereo16.wav";
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && st.st_size == kDataOffset + static_cast<off_t>(kDataBytes)) return path;
    std::fprintf(stderr, "writing %s ...\n", path.c_str());
    std::vector<uint8_t> block;
    block.insert(block.end(), {'R', 'I', 'F', 'F'});
    PutLe(block, 36 + kDataBytes, 4);
    block.insert(block.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(block, 16, 4);
    PutLe(block, 1, 2);
    PutLe(block, 2, 2);
    PutLe(block, 44100, 4);
    PutLe(block, 44100 * 4, 4);
    PutLe(block, 4, 2);
    PutLe(block, 16, 2);
    block.insert(block.end(), {'d', 'a', 't', 'a'});
    PutLe(block, kDataBytes, 4);
    const std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return {};
    std::fwrite(block.data(), 1, block.size(), f);
    std::vector<int16_t> frames(1 << 20);
    uint32_t written = 0;
    for (uint64_t frame = 0; written < kDataBytes;) {
        for (std::size_t i = 0; i < frames.size(); i += 2, ++frame) {
            const double t = static_cast<double>(frame) / 44100.0;
            const double env = 0.5 + 0.5 * std::sin(t * 0.7);
            frames[i] = static_cast<int16_t>(20000 * env * std::sin(t * 2 * M_PI * 220));
            frames[i + 1] = static_cast<int16_t>(15000 * env * std::sin(t * 2 * M_PI * 331));
        }
        std::fwrite(frames.data(), 2, frames.size(), f);
        written += static_cast<uint32_t>(frames.size() * 2);
    }
    std::fclose(f);
    std::rename(temp.c_str(), path.c_str());
    return path;
}

// Reads the file once so both measurements start from the page cache.
void WarmCache(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    std::vector<char> buf(std::size_t{16} << 20);
    while (read(fd, buf.data(), buf.size()) > 0) {
    }
    close(fd);
}

void LoadWavFile1GiB(benchmark::State& state) {
    const std::string path = BigWav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    WarmCache(path);
    double base = 0, peak = 0, basePeak = 0;
    int n = 0;
    for (auto _ : state) {
        ChildResult load, read;
        const std::vector<std::string> loadArgs{"load", path};
        const std::vector<std::string> readArgs{"read", path, std::to_string(kDataOffset), std::to_string(kDataBytes)};
        if (n % 2 == 0) {
            load = MeasureInChild(loadArgs);
            read = MeasureInChild(readArgs);
        } else {
            read = MeasureInChild(readArgs);
            load = MeasureInChild(loadArgs);
        }
        if (!load.ok || !read.ok) {
            state.SkipWithError((load.error + " " + read.error).c_str());
            return;
        }
        state.SetIterationTime(load.seconds);
        base += read.seconds;
        peak = std::max(peak, load.peakMiB);
        basePeak = std::max(basePeak, read.peakMiB);
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    state.counters[kTarget] = 1.5;
    state.counters[kPeak] = peak;
    state.counters[kBasePeak] = basePeak;
}

}  // namespace

BENCHMARK(LoadWavFile1GiB)->Name("LoadWavFile 1 GiB vs one read")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace zv::bench
