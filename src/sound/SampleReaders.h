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
#include <cmath>
#include <cstdint>
#include <cstring>

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

// The readers of the wider encodings (SoundData::Encoding other than
// Legacy): 16-bit / 32768, 24-bit / 8388608, 32-bit / 2147483648, all signed
// little-endian; 32- and 64-bit IEEE floats as they are, clamped to -1..1
// (NaN reads 0). The byte offset is 64-bit (an RF64 sound's frames may lie
// beyond 2 GiB); bytes outside the buffer read 0.0, as above.
namespace detail {

inline int BytesPerSample(SampleEncoding e) {
    switch (e) {
    case SampleEncoding::Int16: return 2;
    case SampleEncoding::Int24: return 3;
    case SampleEncoding::Int32:
    case SampleEncoding::Float32: return 4;
    case SampleEncoding::Float64: return 8;
    case SampleEncoding::Legacy: break;
    }
    return 1;
}

template <SampleEncoding E>
inline double WideSample(const SoundData& sound, int64_t offset) {
    constexpr int width = E == SampleEncoding::Int16   ? 2
                          : E == SampleEncoding::Int24 ? 3
                          : E == SampleEncoding::Float64 ? 8
                                                         : 4;
    if (offset < 0 || offset + width > static_cast<int64_t>(sound.size())) return 0.0;
    const uint8_t* p = sound.data() + offset;
    if constexpr (E == SampleEncoding::Int16) {
        return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8)) / 32768.0;
    } else if constexpr (E == SampleEncoding::Int24) {
        // The three bytes into the top of a 32-bit word keep the sign.
        const uint32_t u = uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 24;
        return static_cast<int32_t>(u) / 2147483648.0;
    } else if constexpr (E == SampleEncoding::Int32) {
        const uint32_t u = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        return static_cast<int32_t>(u) / 2147483648.0;
    } else {
        double v;
        if constexpr (E == SampleEncoding::Float32) {
            float f;
            std::memcpy(&f, p, 4);
            v = f;
        } else {
            std::memcpy(&v, p, 8);
        }
        if (std::isnan(v)) return 0.0;
        return v < -1.0 ? -1.0 : v > 1.0 ? 1.0 : v;
    }
}

inline int64_t WideFrameOffset(const SoundData& sound, int32_t frame) {
    return int64_t{frame} * sound.WavFormat.nBlockAlign;
}

}  // namespace detail

template <SampleEncoding E>
inline void ReadWideStereo(const SoundData& sound, int32_t frame, double& first, double& second) {
    const int64_t offset = detail::WideFrameOffset(sound, frame);
    first = detail::WideSample<E>(sound, offset);
    second = detail::WideSample<E>(sound, offset + detail::BytesPerSample(E));
}

template <SampleEncoding E>
inline void ReadWideMono(const SoundData& sound, int32_t frame, double& value) {
    value = detail::WideSample<E>(sound, detail::WideFrameOffset(sound, frame));
}

// One sample of the loaded sound, normalised to -1..1, whatever its
// encoding: channel `channel` (from 0) of sample frame `frame`. This is how
// any reader other than the renderer (a peak summary, say) gets samples out
// of the one decoded picture: Legacy sounds read as the renderer reads them
// (16-bit when wBitsPerSample is 16, unsigned 8-bit otherwise), the others
// as above. Frames or channels outside the buffer read 0.0; a Legacy
// frame whose byte offset passes 32 bits raises OverflowError, as above.
inline double NormalizedSample(const SoundData& sound, int32_t frame, int channel) {
    if (channel < 0) return 0.0;
    if (sound.Encoding == SampleEncoding::Legacy) {
        const bool wide = sound.WavFormat.wBitsPerSample == 16;
        const int64_t offset = detail::FrameOffset(sound, frame) + int64_t{channel} * (wide ? 2 : 1);
        return wide ? detail::Sample16(sound, offset) : detail::Sample8(sound, offset);
    }
    const int64_t offset =
        detail::WideFrameOffset(sound, frame) + int64_t{channel} * detail::BytesPerSample(sound.Encoding);
    switch (sound.Encoding) {
    case SampleEncoding::Int16: return detail::WideSample<SampleEncoding::Int16>(sound, offset);
    case SampleEncoding::Int24: return detail::WideSample<SampleEncoding::Int24>(sound, offset);
    case SampleEncoding::Int32: return detail::WideSample<SampleEncoding::Int32>(sound, offset);
    case SampleEncoding::Float32: return detail::WideSample<SampleEncoding::Float32>(sound, offset);
    case SampleEncoding::Float64: return detail::WideSample<SampleEncoding::Float64>(sound, offset);
    case SampleEncoding::Legacy: break;
    }
    return 0.0;
}

} // namespace zv
