#include "playback/FrameRing.h"

#include <algorithm>
#include <cstring>

namespace zv {

namespace {
// Calls copy(ringFrame, bufferFrame, frames) for the n frames from ring
// position `start` on, split where the ring wraps.
template <typename Copy>
void ForEachRun(uint64_t start, size_t n, size_t capacity, Copy copy) {
    for (size_t done = 0; done < n;) {
        const size_t at = static_cast<size_t>((start + done) % capacity);
        const size_t run = std::min(n - done, capacity - at);
        copy(at, done, run);
        done += run;
    }
}
} // namespace

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
    ForEachRun(w, n, capacity_, [&](size_t at, size_t done, size_t run) {
        std::memcpy(&data_[at * ch], frames + done * ch, run * ch * sizeof(float));
    });
    written_.store(w + n, std::memory_order_release);
    return n;
}

size_t FrameRing::Read(float* out, size_t count) {
    const uint64_t r = read_.load(std::memory_order_relaxed);
    const size_t n = std::min(count, ReadableFrames());
    const size_t ch = static_cast<size_t>(channels_);
    ForEachRun(r, n, capacity_, [&](size_t at, size_t done, size_t run) {
        std::memcpy(out + done * ch, &data_[at * ch], run * ch * sizeof(float));
    });
    read_.store(r + n, std::memory_order_release);
    return n;
}

void FrameRing::SkipTo(uint64_t writtenFrames) {
    const uint64_t r = read_.load(std::memory_order_relaxed);
    const uint64_t w = written_.load(std::memory_order_acquire);
    read_.store(std::clamp(writtenFrames, r, w), std::memory_order_release);
}

} // namespace zv
