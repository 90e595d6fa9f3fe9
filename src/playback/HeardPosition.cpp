#include "playback/HeardPosition.h"

#include <algorithm>

namespace zv {

void HeardPosition::Record(int64_t hearNs, int64_t firstFrame, int64_t frames, uint64_t play) {
    const uint64_t index = recorded_.load(std::memory_order_relaxed);
    Slot& slot = slots_[index % kSlots];
    // Sequence lock: a reader that sees an odd or changed sequence retries
    // or gives up on this slot.
    slot.sequence.store(2 * index + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    slot.hearNs.store(hearNs, std::memory_order_relaxed);
    slot.firstFrame.store(firstFrame, std::memory_order_relaxed);
    slot.frames.store(frames, std::memory_order_relaxed);
    slot.play.store(play, std::memory_order_relaxed);
    slot.sequence.store(2 * index + 2, std::memory_order_release);
    recorded_.store(index + 1, std::memory_order_release);
}

int64_t HeardPosition::At(int64_t nowNs, int32_t sampleRate, uint64_t play) const {
    const uint64_t count = recorded_.load(std::memory_order_acquire);
    int64_t oldestFirst = start_;
    // Newest first: the first buffer already sounding decides.
    for (uint64_t k = 0; k < std::min(count, kSlots); ++k) {
        const uint64_t index = count - 1 - k;
        const Slot& slot = slots_[index % kSlots];
        const uint64_t before = slot.sequence.load(std::memory_order_acquire);
        const int64_t hear = slot.hearNs.load(std::memory_order_relaxed);
        const int64_t first = slot.firstFrame.load(std::memory_order_relaxed);
        const int64_t frames = slot.frames.load(std::memory_order_relaxed);
        const uint64_t ofPlay = slot.play.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (slot.sequence.load(std::memory_order_relaxed) != before || before != 2 * index + 2)
            break;   // overwritten by the writer: older records are gone too
        if (ofPlay != play) break;   // an earlier play still sounds: this one is not heard yet
        oldestFirst = first;
        if (hear <= nowNs) {
            const int64_t elapsed = (nowNs - hear) * static_cast<int64_t>(sampleRate) / 1000000000;
            return first + std::min(frames, elapsed);
        }
    }
    return oldestFirst;
}

} // namespace zv

