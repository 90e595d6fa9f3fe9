#include "playback/FrameRing.h"

#include <algorithm>
#include <cstring>

namespace zv {

FrameRing::FrameRing(size_t capacityFrames, int channels)
    : data_(capacityFrames * static_cast<size_t>(channels)), capacity_(capacityFrames), channels_(channels) {}

size_t FrameRing::WritableFrames() const {
    return capacity_ - static_cast<size_t>(written_.load(std::memory_order_relaxed) -
                                           read_.load(std::memory_order_acquire));
}

size_t FrameRing::ReadableFrames() const {
    return static_cast<size_t>(written_.load(std::memory_order_acquire) -
                               read_.load(std::memory_order_relaxed));
}

size_t FrameRing::Write(const float* frames, size_t count) {
    const uint64_t w = written_.load(std::memory_order_relaxed);
    const size_t n = std::min(count, WritableFrames());
    const size_t ch = static_cast<size_t>(channels_);
    size_t done = 0;
    while (done < n) {
        const size_t at = static_cast<size_t>((w + done) % capacity_);
        const size_t run = std::min(n - done, capacity_ - at);
        std::memcpy(&data_[at * ch], frames + done * ch, run * ch * sizeof(float));
        done += run;
    }
    written_.store(w + n, std::memory_order_release);
    return n;
}

size_t FrameRing::Read(float* out, size_t count) {
    const uint64_t r = read_.load(std::memory_order_relaxed);
    const size_t n = std::min(count, ReadableFrames());
    const size_t ch = static_cast<size_t>(channels_);
    size_t done = 0;
    while (done < n) {
        const size_t at = static_cast<size_t>((r + done) % capacity_);
        const size_t run = std::min(n - done, capacity_ - at);
        std::memcpy(out + done * ch, &data_[at * ch], run * ch * sizeof(float));
        done += run;
    }
    read_.store(r + n, std::memory_order_release);
    return n;
}

} // namespace zv
