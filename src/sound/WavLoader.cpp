#include "sound/WavLoader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/Errors.h"
#include "common/Numbers.h"
#include "sound/RiffReader.h"

namespace zv {

namespace {

constexpr std::size_t kFormatBytes = 18;
// The piece read at a time while someone watches the bytes arrive: small
// enough to be still in the cache when the watcher goes through it, large
// enough to cost nothing in system calls.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

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

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The fmt chunk of WAVE_FORMAT_EXTENSIBLE: 18 bytes as above, then valid
// bits (2), channel mask (4) and the sub-format GUID (16), whose first two
// bytes are the format tag it stands for and the rest this fixed tail.
constexpr std::size_t kExtensibleBytes = 40;
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Which readers draw the samples. 8- and 16-bit PCM (and every format the
// readers do not know) stay Legacy, drawn exactly as they always were;
// 24/32-bit PCM and 32/64-bit float get their own readers when a frame holds
// the samples they read.
SampleEncoding ChooseEncoding(const WaveFormat& f, const uint8_t* extension, std::size_t extensionBytes) {
    uint16_t tag = static_cast<uint16_t>(f.wFormatTag);
    if (tag == kTagExtensible) {
        if (extensionBytes < kExtensibleBytes - kFormatBytes) return SampleEncoding::Legacy;
        const uint8_t* guid = extension + 6;
        if (std::memcmp(guid + 2, kGuidTail, sizeof kGuidTail) != 0) return SampleEncoding::Legacy;
        tag = static_cast<uint16_t>(guid[0] | guid[1] << 8);
    }
    SampleEncoding e = SampleEncoding::Legacy;
    if (tag == kTagPcm && f.wBitsPerSample == 24) e = SampleEncoding::Int24;
    else if (tag == kTagPcm && f.wBitsPerSample == 32) e = SampleEncoding::Int32;
    else if (tag == kTagFloat && f.wBitsPerSample == 32) e = SampleEncoding::Float32;
    else if (tag == kTagFloat && f.wBitsPerSample == 64) e = SampleEncoding::Float64;
    // 16-bit sound of more than two channels draws its first two, like the
    // wider encodings (mono and stereo keep the 16-bit readers).
    else if (tag == kTagPcm && f.wBitsPerSample == 16 && f.nChannels > 2) e = SampleEncoding::Int16;
    if (e == SampleEncoding::Legacy || f.nChannels < 1) return SampleEncoding::Legacy;
    // A frame too small for the samples drawn is a lie: read it as before.
    const int drawn = f.nChannels >= 2 ? 2 : 1;
    if (f.nBlockAlign < drawn * f.wBitsPerSample / 8) return SampleEncoding::Legacy;
    return e;
}

}  // namespace

Report LoadWavDescriptor(SoundData& sound, int fd, WavReadObserver* observer) {
    sound.WavLoaded = false;
    RiffReader file(fd);

    sound.RiffChunk.fccType = FourCC("WAVE");
    // RIFF WAVE as always; failing that, its 64-bit form RF64 / BW64.
    RiffReader::Rf64 rf64;
    bool is64 = false;
    if (!file.FindRiff(FourCC("WAVE"), sound.RiffChunk)) {
        if (!file.FindRf64(FourCC("WAVE"), sound.RiffChunk, rf64)) return Report::Failure(kMsgNotWave);
        is64 = true;
    }
    uint64_t chunkSize = 0;   // the found chunk's true size (RF64: from ds64)
    auto find = [&](uint32_t id, ChunkInfo& found) {
        if (is64) return file.FindChunk64(id, rf64, found, chunkSize);
        const bool ok = file.FindChunk(id, sound.RiffChunk, found);
        chunkSize = found.cksize;
        return ok;
    };

    ChunkInfo chunk = sound.SubChunk;
    chunk.ckid = FourCC("fmt");
    const bool haveFormat = find(chunk.ckid, chunk);
    sound.SubChunk = chunk;
    if (!haveFormat) return Report::Failure(kMsgNoFormat);

    // Exactly 18 bytes, whatever the fmt chunk's size: from a 16-byte chunk
    // cbSize comes from whatever follows, and nothing uses it.
    uint8_t format[kFormatBytes];
    EncodeFormat(sound.WavFormat, format);
    const long got = file.Read(format, kFormatBytes);
    if (got < 0) return Report::Failure(kMsgFormatRead);
    sound.WavFormat = DecodeFormat(format);
    uint8_t extension[kExtensibleBytes - kFormatBytes] = {};
    long extensionBytes = 0;
    if (got == static_cast<long>(kFormatBytes) && sound.SubChunk.cksize >= kExtensibleBytes)
        extensionBytes = file.Read(extension, sizeof extension);
    const SampleEncoding encoding = ChooseEncoding(
        sound.WavFormat, extension, extensionBytes > 0 ? static_cast<std::size_t>(extensionBytes) : 0);
    file.Ascend(sound.SubChunk);

    // The data chunk is searched after the fmt chunk only.
    chunk.ckid = FourCC("data");
    const bool haveData = find(chunk.ckid, chunk);
    sound.SubChunk = chunk;
    if (!haveData) return Report::Failure(kMsgNoData);

    // Refused before the previous buffer goes: a format without a frame
    // size, and a frame count the 32-bit frame arithmetic cannot hold.
    const int32_t blockAlign = sound.WavFormat.nBlockAlign;
    if (blockAlign < 1) return Report::Failure(kMsgBlockAlign);
    // An RF64 data chunk holds what ds64 says, but no more than the file
    // does: a stated size past the file's end costs nothing.
    const uint64_t start = file.Position();
    const uint64_t inFile = start < file.FileSize() ? file.FileSize() - start : 0;
    const uint64_t dataBytes = is64 ? std::min(chunkSize, inFile) : chunk.cksize;
    int32_t frames = 0;
    try {
        frames = RoundLong(static_cast<double>(dataBytes) / blockAlign);
    } catch (const OverflowError&) {
        return Report::Failure(kMsgTooManyFrames);
    }

    // One zero-filled block of exactly the stated size. Only the bytes the
    // file really holds are written (and so cost memory); the rest stay zero.
    if (dataBytes > SIZE_MAX) return Report::Failure(kMsgNoMemory);
    const auto size = static_cast<std::size_t>(dataBytes);
    const std::size_t filled = inFile < size ? static_cast<std::size_t>(inFile) : size;
    if (!sound.Samples.Allocate(size, filled)) return Report::Failure(kMsgNoMemory);
    sound.Encoding = encoding;
    sound.NumSamples = frames;
    if (observer == nullptr) {
        file.ReadLarge(sound.Samples.data(), size);
    } else {
        observer->ReadStarts(sound, filled);
        for (std::size_t done = 0; done < filled;) {
            const std::size_t piece = std::min(kReadPiece, filled - done);
            const std::size_t got = file.ReadLarge(sound.Samples.data() + done, piece);
            done += got;
            if (!observer->BytesLanded(done)) return Report::Failure(kMsgStopped);
            if (got < piece) break;   // the file ended early: the rest stays zero
        }
    }

    // The record's data chunk says how many bytes the buffer holds; for an
    // RF64 sound past 4 GiB the 32-bit field can only say "more than this".
    if (is64) sound.SubChunk.cksize = static_cast<uint32_t>(std::min<uint64_t>(size, UINT32_MAX));
    sound.WavLoaded = true;
    return {};
}

Report LoadWavFile(SoundData& sound, const std::string& path, WavReadObserver* observer) {
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
            report = LoadWavDescriptor(sound, fd, observer);
        } catch (const std::exception&) {
            sound.WavLoaded = false;
            report = Report::Failure(kMsgNoMemory);
        }
        close(fd);
    }
    return report;
}

} // namespace zv
