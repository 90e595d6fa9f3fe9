#pragma once
// The sample readers: one sample frame of the loaded buffer as normalised
// values. 16-bit samples are signed little-endian, value / 32768; 8-bit
// samples are unsigned, (byte - 128) / 128. Frames are nBlockAlign bytes
// apart and the first channel comes first in a frame; the one-channel
// readers read the first channel of a frame of any width.
//
// The byte offset is frame x nBlockAlign in 32-bit arithmetic: a product
// that does not fit raises OverflowError. A sample whose bytes do not all lie
// inside the buffer (frame NumSamples and beyond, a partial last frame, a
// negative frame) reads 0.0, the zero line; no read leaves the buffer.
// The readers look neither at nChannels nor at wBitsPerSample nor at
// WavLoaded: the caller chooses. Inline: the renderer calls one per point.
#include <cstdint>

#include "common/Numbers.h"
#include "sound/SoundData.h"

namespace zv {

namespace detail {

// Where a frame starts, as a byte offset that may lie outside the buffer.
inline int64_t FrameOffset(const SoundData& sound, int32_t frame) {
    return CheckedMul(frame, static_cast<int32_t>(sound.WavFormat.nBlockAlign));
}

inline double Sample16(const SoundData& sound, int64_t offset) {
    if (offset < 0 || offset + 2 > static_cast<int64_t>(sound.size())) return 0.0;
    const uint8_t* p = sound.data() + offset;
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8)) / 32768.0;
}

inline double Sample8(const SoundData& sound, int64_t offset) {
    if (offset < 0 || offset + 1 > static_cast<int64_t>(sound.size())) return 0.0;
    return (sound.data()[offset] - 128) / 128.0;
}

}  // namespace detail

inline void ReadStereo16(const SoundData& sound, int32_t frame, double& first, double& second) {
    const int64_t offset = detail::FrameOffset(sound, frame);
    first = detail::Sample16(sound, offset);
    second = detail::Sample16(sound, offset + 2);
}

inline void ReadStereo8(const SoundData& sound, int32_t frame, double& first, double& second) {
    const int64_t offset = detail::FrameOffset(sound, frame);
    first = detail::Sample8(sound, offset);
    second = detail::Sample8(sound, offset + 1);
}

inline void ReadMono16(const SoundData& sound, int32_t frame, double& value) {
    value = detail::Sample16(sound, detail::FrameOffset(sound, frame));
}

inline void ReadMono8(const SoundData& sound, int32_t frame, double& value) {
    value = detail::Sample8(sound, detail::FrameOffset(sound, frame));
}

} // namespace zv
