#pragma once
// The loaded-sound record: one instance for the whole program. It holds the
// format of the open sound and its whole data chunk, for drawing only
// (playback, length and position come from the media device).
#include <cstddef>
#include <cstdint>

#include "sound/SampleBuffer.h"

namespace zv {

// The first 18 bytes of the fmt chunk, as read (little-endian on disk).
struct WaveFormat {
    int16_t wFormatTag = 0;
    int16_t nChannels = 0;
    int32_t nSamplesPerSec = 0;
    int32_t nAvgBytesPerSec = 0;
    int16_t nBlockAlign = 0;      // bytes per sample frame
    int16_t wBitsPerSample = 0;
    int16_t cbSize = 0;
};

// One RIFF chunk header: id and form type as four-character codes packed
// little-endian; size in bytes without the header and without the pad byte;
// dwDataOffset is the file offset of the chunk's data (for a RIFF chunk, of
// its form type).
struct ChunkInfo {
    uint32_t ckid = 0;
    uint32_t cksize = 0;
    uint32_t fccType = 0;
    uint32_t dwDataOffset = 0;
    uint32_t dwFlags = 0;
};

// How the renderer reads the buffer's samples. Legacy is the 8/16-bit rule
// (wBitsPerSample 16: signed 16-bit, anything else: unsigned 8-bit; three or
// more channels draw the first alone). The others are chosen by the loader
// from the fmt chunk (or by the decoder) and draw the first two channels of
// any channel count: Int16 / 32768, Int24 / 8388608, Int32 / 2147483648,
// Float32 and Float64 as they are, clamped to -1..1.
enum class SampleEncoding : uint8_t { Legacy, Int16, Int24, Int32, Float32, Float64 };

struct SoundData {
    WaveFormat WavFormat;
    SampleEncoding Encoding = SampleEncoding::Legacy;
    int32_t NumSamples = 0;   // sample frames in the data chunk
    int32_t ViewStart = 0;    // first frame shown across the waveform box
    int32_t ViewEnd = 0;      // end frame mapped to the box's right edge
    bool WavLoaded = false;   // true only while the buffer matches WavFormat
    ChunkInfo RiffChunk;
    ChunkInfo SubChunk;       // after a load: the data chunk; cksize = buffer size
    // The data chunk's bytes in file order. Kept from one load that finds a
    // data chunk to the next (or to a load with an empty path); a failed
    // load leaves it in place with WavLoaded false.
    SampleBuffer Samples;

    const uint8_t* data() const { return Samples.data(); }
    std::size_t size() const { return Samples.size(); }
};

} // namespace zv
