#include "playback/system/DecodedSound.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace zv {

namespace {
// Frames decoded at a time: each block becomes readable when it is done.
constexpr int64_t kBlockFrames = 16384;
} // namespace

DecodedSound::DecodedSound(const std::string& path, int channels, int64_t frames) : channels_(std::max(channels, 1)) {
    if (frames <= 0 || frames > kMaxBytes / static_cast<int64_t>(sizeof(float)) / channels_) return;
    // Pages are only touched as the decoder fills them: opening stays quick.
    samples_.reset(new float[static_cast<size_t>(frames * channels_)]);
    frames_ = frames;
    decoder_ = std::thread(&DecodedSound::Decode, this, path);
}

DecodedSound::~DecodedSound() {
    stop_.store(true);
    if (decoder_.joinable()) decoder_.join();
}

void DecodedSound::Decode(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return;   // the output reads the file as before
    if (info.channels == channels_) {
        int64_t done = 0;
        while (done < frames_ && !stop_.load(std::memory_order_relaxed)) {
            const sf_count_t got =
                sf_readf_float(file, samples_.get() + done * channels_, std::min(kBlockFrames, frames_ - done));
            if (got <= 0) break;   // a damaged stretch: what follows comes from the file
            done += got;
            available_.store(done, std::memory_order_release);
        }
    }
    sf_close(file);
}

int64_t DecodedSound::Read(int64_t from, float* out, int64_t frames) const {
    const int64_t n = std::clamp<int64_t>(Available() - from, 0, frames);
    if (n > 0) std::memcpy(out, samples_.get() + from * channels_, static_cast<size_t>(n * channels_) * sizeof(float));
    return n;
}

} // namespace zv
