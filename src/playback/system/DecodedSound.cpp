#include "playback/system/DecodedSound.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace zv {

DecodedSound::DecodedSound(std::shared_ptr<const uint8_t> bytes, int channels, int64_t frames)
    : bytes_(std::move(bytes)) {
    if (!bytes_ || channels <= 0 || frames <= 0) return;
    channels_ = channels;
    frames_ = frames;
}

int64_t DecodedSound::Read(int64_t from, float* out, int64_t frames) const {
    if (from < 0 || frames <= 0) return 0;
    const int64_t n = std::clamp<int64_t>(frames_ - from, 0, frames);
    if (n <= 0) return 0;
    const auto values = static_cast<std::size_t>(n * channels_);
    const uint8_t* in = bytes_.get() + static_cast<std::size_t>(from * channels_) * 2;
    for (std::size_t i = 0; i < values; ++i, in += 2) {
        // Little-endian whatever the machine: the bytes are a WAV data chunk's.
        const auto v = static_cast<int16_t>(static_cast<uint16_t>(in[0] | in[1] << 8));
        out[i] = static_cast<float>(v) * (1.0f / 32768.0f);
    }
    return n;
}

} // namespace zv
