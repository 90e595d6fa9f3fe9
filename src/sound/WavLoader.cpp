#include "sound/WavLoader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Errors.h"
#include "common/Numbers.h"
#include "sound/RiffReader.h"

namespace zv {

namespace {

constexpr std::size_t kFormatBytes = 18;

// The format record's 18 bytes in their on-disk layout, and back. A short
// read overwrites only the bytes it got; the others keep their values.
void EncodeFormat(const WaveFormat& f, uint8_t* b) {
    auto put16 = [&](int at, int16_t v) {
        const auto u = static_cast<uint16_t>(v);
        b[at] = static_cast<uint8_t>(u);
        b[at + 1] = static_cast<uint8_t>(u >> 8);
    };
    auto put32 = [&](int at, int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(u >> (8 * i));
    };
    put16(0, f.wFormatTag);
    put16(2, f.nChannels);
    put32(4, f.nSamplesPerSec);
    put32(8, f.nAvgBytesPerSec);
    put16(12, f.nBlockAlign);
    put16(14, f.wBitsPerSample);
    put16(16, f.cbSize);
}

WaveFormat DecodeFormat(const uint8_t* b) {
    auto get16 = [&](int at) { return static_cast<int16_t>(b[at] | b[at + 1] << 8); };
    auto get32 = [&](int at) {
        return static_cast<int32_t>(uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 |
                                    uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24);
    };
    WaveFormat f;
    f.wFormatTag = get16(0);
    f.nChannels = get16(2);
    f.nSamplesPerSec = get32(4);
    f.nAvgBytesPerSec = get32(8);
    f.nBlockAlign = get16(12);
    f.wBitsPerSample = get16(14);
    f.cbSize = get16(16);
    return f;
}

}  // namespace

Report LoadWavDescriptor(SoundData& sound, int fd) {
    sound.WavLoaded = false;
    RiffReader file(fd);

    sound.RiffChunk.fccType = FourCC("WAVE");
    if (!file.FindRiff(FourCC("WAVE"), sound.RiffChunk)) return Report::Failure(kMsgNotWave);

    ChunkInfo chunk = sound.SubChunk;
    chunk.ckid = FourCC("fmt");
    const bool haveFormat = file.FindChunk(chunk.ckid, sound.RiffChunk, chunk);
    sound.SubChunk = chunk;
    if (!haveFormat) return Report::Failure(kMsgNoFormat);

    // Exactly 18 bytes, whatever the fmt chunk's size: from a 16-byte chunk
    // cbSize comes from whatever follows, and nothing uses it.
    uint8_t format[kFormatBytes];
    EncodeFormat(sound.WavFormat, format);
    const long got = file.Read(format, kFormatBytes);
    if (got < 0) return Report::Failure(kMsgFormatRead);
    sound.WavFormat = DecodeFormat(format);
    file.Ascend(sound.SubChunk);

    // The data chunk is searched after the fmt chunk only.
    chunk.ckid = FourCC("data");
    const bool haveData = file.FindChunk(chunk.ckid, sound.RiffChunk, chunk);
    sound.SubChunk = chunk;
    if (!haveData) return Report::Failure(kMsgNoData);

    // Refused before the previous buffer goes: a format without a frame
    // size, and a frame count the 32-bit frame arithmetic cannot hold.
    const int32_t blockAlign = sound.WavFormat.nBlockAlign;
    if (blockAlign < 1) return Report::Failure(kMsgBlockAlign);
    int32_t frames = 0;
    try {
        frames = RoundLong(static_cast<double>(chunk.cksize) / blockAlign);
    } catch (const OverflowError&) {
        return Report::Failure(kMsgTooManyFrames);
    }

    // One zero-filled block of exactly the stated size. Only the bytes the
    // file really holds are written (and so cost memory); the rest stay zero.
    const uint64_t start = file.Position();
    const uint64_t inFile = start < file.FileSize() ? file.FileSize() - start : 0;
    const std::size_t filled = inFile < chunk.cksize ? static_cast<std::size_t>(inFile) : chunk.cksize;
    if (!sound.Samples.Allocate(chunk.cksize, filled)) return Report::Failure(kMsgNoMemory);
    file.ReadLarge(sound.Samples.data(), chunk.cksize);

    sound.NumSamples = frames;
    sound.WavLoaded = true;
    return {};
}

Report LoadWavFile(SoundData& sound, const std::string& path) {
    sound.WavLoaded = false;
    if (path.empty()) {
        sound.Samples.Release();
        return {};
    }
    Report report;
    // A path with a NUL in it names no file (the system would cut it short).
    // O_NONBLOCK: a FIFO without a writer must not hang the open.
    const int fd = path.find('\0') != std::string::npos
                       ? (errno = ENOENT, -1)
                       : open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        report = Report::Failure(kMsgOpenFailed + std::to_string(errno));
    } else {
        try {
            report = LoadWavDescriptor(sound, fd);
        } catch (const std::exception&) {
            sound.WavLoaded = false;
            report = Report::Failure(kMsgNoMemory);
        }
        close(fd);
    }
    return report;
}

} // namespace zv
