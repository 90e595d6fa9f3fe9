// libFuzzer target: the input is a file. Its kind is classified (from the
// bytes and by path), then it goes through LoadWavFile (from a memory file,
// by path, so the open and the close are exercised too), then through the
// readers of every encoding around the buffer's ends and through DrawWaves on
// a recording canvas at two box sizes. Besides crashes and sanitizer
// reports, it aborts when an outcome breaks the loader's promises. A good
// file is loaded first each time, so failures are checked to lose nothing.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/Errors.h"
#include "common/MessageBox.h"
#include "common/Numbers.h"
#include "sound/SampleReaders.h"
#include "sound/SoundKind.h"
#include "sound/WavLoader.h"
#include "waveview/RecordingCanvas.h"
#include "waveview/WaveRenderer.h"

using namespace zv;

namespace {

class CountingBox : public MessageBox {
public:
    void Show(const std::string& text) override {
        ++shown;
        last = text;
    }
    int shown = 0;
    std::string last;
};

void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

void CheckValue(double v) { Require(v >= -1.0 && v < 1.0, "sample value outside [-1, 1)"); }

void ReadAround(const SoundData& s, int32_t frame) {
    double a = 0, b = 0;
    try {
        ReadStereo16(s, frame, a, b);
        CheckValue(a);
        CheckValue(b);
        ReadStereo8(s, frame, a, b);
        CheckValue(a);
        CheckValue(b);
        ReadMono16(s, frame, a);
        CheckValue(a);
        ReadMono8(s, frame, a);
        CheckValue(a);
    } catch (const OverflowError&) {
        // frame x nBlockAlign beyond 32 bits: the readers' own error
    }
    // The wider readers (64-bit offsets: never an overflow) and the reader
    // for everyone else, on whatever encoding the loader chose.
    auto wide = [](double v) { Require(v >= -1.0 && v <= 1.0, "wide sample outside [-1, 1]"); };
    ReadWideStereo<SampleEncoding::Int24>(s, frame, a, b);
    wide(a), wide(b);
    ReadWideStereo<SampleEncoding::Int32>(s, frame, a, b);
    wide(a), wide(b);
    ReadWideStereo<SampleEncoding::Float32>(s, frame, a, b);
    wide(a), wide(b);
    ReadWideMono<SampleEncoding::Float64>(s, frame, a);
    wide(a);
    for (int channel : {0, 1, 5}) {
        try {
            wide(NormalizedSample(s, frame, channel));
        } catch (const OverflowError&) {
            Require(s.Encoding == SampleEncoding::Legacy, "a wide encoding raised an overflow");
        }
    }
}

void Draw(const SoundData& s, float width, float height) {
    test::RecordingCanvas canvas;
    try {
        DrawWaves(s, canvas, width, height);
    } catch (const OverflowError&) {
        // a frame offset beyond 32 bits: passed on, as it must be
    }
    Require(canvas.clears == 1, "box not cleared exactly once");
    // Every point lies inside the box: x in [0, width rounded]; y within
    // the traces' bands, [0, 2 x centre] or [0, 4 x upper centre], which
    // rounding can put up to 2 units below the box's height.
    for (const test::Segment& g : canvas.segments) {
        Require(g.x1 >= 0 && g.x2 <= std::nearbyint(width) && g.x1 <= g.x2, "segment outside the width");
        Require(g.y1 >= 0 && g.y2 >= 0 && g.y1 <= height + 2 && g.y2 <= height + 2, "segment outside the height");
    }
}

}  // namespace

namespace {

// A memory file with the given bytes, reachable by path.
std::string MemoryFile(const char* name, const uint8_t* data, size_t size, int& fd) {
    if (fd < 0) fd = memfd_create(name, MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
    if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    return "/proc/self/fd/" + std::to_string(fd);
}

// A good 16-bit stereo file of 4 frames, loaded before each input so that
// a failing input must leave its buffer and count in place.
const uint8_t kGood[] = {'R', 'I', 'F', 'F', 52, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                         1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a',
                         16, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const uint8_t* const kGoodData = kGood + 44;

bool KnownFailure(const std::string& m) {
    for (const char* known : {kMsgNotWave, kMsgNoFormat, kMsgFormatRead, kMsgNoData, kMsgBlockAlign,
                              kMsgTooManyFrames, kMsgNoMemory})
        if (m == known) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int goodFd = -1, inputFd = -1;
    static const std::string good = MemoryFile("zorvane-good", kGood, sizeof kGood, goodFd);
    const std::string path = MemoryFile("zorvane-fuzz", data, size, inputFd);
    // The kind of file, from its first bytes: the same answer by path.
    Require(ClassifySoundHeader(data, size < 12 ? size : 12) == ClassifySoundFile(path), "kind differs by path");

    SoundData sound;
    CountingBox box;
    ShowReport(box, LoadWavFile(sound, good));
    Require(sound.WavLoaded && box.shown == 0 && sound.NumSamples == 4, "the good file did not load");
    ShowReport(box, LoadWavFile(sound, path));
    Require(box.shown == (sound.WavLoaded ? 0 : 1), "not exactly one message per failed load");
    if (sound.WavLoaded) {
        Require(sound.WavFormat.nBlockAlign >= 1, "loaded with nBlockAlign below 1");
        Require(sound.size() == sound.SubChunk.cksize, "buffer size differs from the data chunk's");
        Require(sound.NumSamples == RoundLong(double(sound.SubChunk.cksize) / sound.WavFormat.nBlockAlign),
                "frame count not rounded from the data size");
        // The buffer holds the file's bytes from the data chunk on, then zeros.
        const std::size_t offset = sound.SubChunk.dwDataOffset;
        const std::size_t inFile = offset < size ? size - offset : 0;
        const std::size_t held = inFile < sound.size() ? inFile : sound.size();
        Require(held == 0 || std::memcmp(sound.data(), data + offset, held) == 0, "buffer differs from the file");
        const std::size_t zeros = sound.size() - held < 65536 ? sound.size() - held : 65536;
        for (std::size_t i = 0; i < zeros; ++i) Require(sound.data()[held + i] == 0, "tail not zero");
        if (sound.size() > 0) Require(sound.data()[sound.size() - 1] == 0 || held == sound.size(), "last byte");
    } else {
        Require(KnownFailure(box.last), "unknown message");
        Require(sound.NumSamples == 4, "a failed load changed the frame count");
        // Only a failed allocation (after the old block was given back)
        // may lose the previous sound's bytes.
        if (box.last != kMsgNoMemory)
            Require(sound.size() == 16 && std::memcmp(sound.data(), kGoodData, 16) == 0,
                    "a failed load lost the previous buffer");
    }

    sound.ViewStart = 0;
    sound.ViewEnd = sound.NumSamples;
    const int64_t n = sound.NumSamples;
    for (int64_t frame : {int64_t{-1}, int64_t{0}, n - 1, n, n + 1})
        if (frame >= INT32_MIN && frame <= INT32_MAX) ReadAround(sound, static_cast<int32_t>(frame));
    // The default box (9016 points a channel) costs ten times the rest, so
    // only one input in sixteen, picked by its length, draws into it.
    if (size % 16 == 0) Draw(sound, 9015, 3675);
    // A small box whose size comes from the input: few columns, odd heights.
    const float width = size > 0 ? float(data[0] % 97) + 0.5f * float(data[size - 1] & 1) : 1.0f;
    const float height = size > 1 ? float(data[1]) : 3.0f;
    Draw(sound, width, height);
    // A view that is not the whole sound.
    sound.ViewStart = sound.NumSamples / 3;
    Draw(sound, 600, 245);

    ShowReport(box, LoadWavFile(sound, ""));
    Require(sound.size() == 0 && !sound.WavLoaded, "empty path kept the buffer");
    Require(box.shown <= 1, "the empty path showed a message");
    return 0;
}
