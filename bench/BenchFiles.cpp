#include "BenchFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace zv::bench {

namespace {

void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::string Stereo16Wav(const std::string& path, uint32_t dataBytes) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && st.st_size == kBigDataOffset + static_cast<off_t>(dataBytes)) return path;
    std::fprintf(stderr, "writing %s ...\n", path.c_str());
    std::vector<uint8_t> block;
    block.insert(block.end(), {'R', 'I', 'F', 'F'});
    PutLe(block, 36 + dataBytes, 4);
    block.insert(block.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(block, 16, 4);
    PutLe(block, 1, 2);
    PutLe(block, 2, 2);
    PutLe(block, 44100, 4);
    PutLe(block, 44100 * 4, 4);
    PutLe(block, 4, 2);
    PutLe(block, 16, 2);
    block.insert(block.end(), {'d', 'a', 't', 'a'});
    PutLe(block, dataBytes, 4);
    const std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return {};
    bool ok = std::fwrite(block.data(), 1, block.size(), f) == block.size();
    std::vector<int16_t> frames(1 << 20);
    uint64_t frame = 0;
    for (uint32_t written = 0; ok && written < dataBytes;) {
        for (std::size_t i = 0; i < frames.size(); i += 2, ++frame) {
            const double t = static_cast<double>(frame) / 44100.0;
            const double env = 0.5 + 0.5 * std::sin(t * 0.7);
            frames[i] = static_cast<int16_t>(20000 * env * std::sin(t * 2 * M_PI * 220));
            frames[i + 1] = static_cast<int16_t>(15000 * env * std::sin(t * 2 * M_PI * 331));
        }
        const uint32_t bytes = std::min<uint32_t>(dataBytes - written, static_cast<uint32_t>(frames.size() * 2));
        ok = std::fwrite(frames.data(), 1, bytes, f) == bytes;
        written += bytes;
    }
    // On disk before any row runs: writeback while measuring would skew them.
    ok = std::fflush(f) == 0 && fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return {};
    }
    return path;
}

std::string BigWav() { return Stereo16Wav(std::string(ZORVANE_BENCH_DIR) + "/bench-1gib-stereo16.wav", kBigDataBytes); }

std::string PlayWav() {
    return Stereo16Wav(std::string(ZORVANE_BENCH_DIR) + "/bench-12s-stereo16.wav", 12 * 44100 * 4);
}

void WarmCache(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    std::vector<char> buf(std::size_t{16} << 20);
    while (read(fd, buf.data(), buf.size()) > 0) {
    }
    close(fd);
}

SoundData Stereo16Sound(int32_t frames, int32_t rate, const std::function<std::pair<double, double>(int32_t)>& sample) {
    SoundData s;
    s.Samples.Allocate(std::size_t(frames) * 4, std::size_t(frames) * 4);
    for (int32_t i = 0; i < frames; ++i) {
        const auto [l, r] = sample(i);
        const auto L = static_cast<int16_t>(std::lround(std::clamp(l, -1.0, 0.999) * 32767));
        const auto R = static_cast<int16_t>(std::lround(std::clamp(r, -1.0, 0.999) * 32767));
        std::memcpy(s.Samples.data() + std::size_t(i) * 4, &L, 2);
        std::memcpy(s.Samples.data() + std::size_t(i) * 4 + 2, &R, 2);
    }
    s.WavFormat.wFormatTag = 1;
    s.WavFormat.nChannels = 2;
    s.WavFormat.nSamplesPerSec = rate;
    s.WavFormat.nBlockAlign = 4;
    s.WavFormat.wBitsPerSample = 16;
    s.SubChunk.cksize = uint32_t(frames) * 4;
    s.NumSamples = frames;
    s.ViewStart = 0;
    s.ViewEnd = frames;
    s.WavLoaded = true;
    return s;
}

}  // namespace zv::bench
