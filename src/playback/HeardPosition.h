#pragma once
// Which sample frame of the file is being heard at a given moment, worked
// out from the buffers handed to the sound output.
//
// The output callback records each buffer it fills: the monotonic time in ns
// at which the buffer's first frame will reach the listener (the callback's
// time plus the output latency the sound system reports for it), the file
// frame it starts with, and how many file frames it holds (fewer than the
// buffer when the reader fell behind or the stretch ended: the rest is
// silence). The frame heard at time T is then the newest buffer already
// sounding at T, advanced by the time since it began and capped at its end.
// Recording never blocks; reading may run on any other thread.
//
// One output may carry many plays in turn: each buffer is recorded with the
// number of its play, and a play whose first buffer is not yet sounding is
// heard at its start (frame `startFrame` of its own count).
#include <array>
#include <atomic>
#include <cstdint>

namespace zv {

class HeardPosition {
public:
    // Before any buffer sounds, `startFrame` is heard.
    explicit HeardPosition(int64_t startFrame) : start_(startFrame) {}

    // Output thread only.
    void Record(int64_t hearNs, int64_t firstFrame, int64_t frames, uint64_t play = 0);

    // The frame of play `play` heard at `nowNs` at `sampleRate` frames per second.
    int64_t At(int64_t nowNs, int32_t sampleRate, uint64_t play = 0) const;

private:
    // Enough buffers to span several seconds of output latency.
    static constexpr uint64_t kSlots = 1024;
    struct Slot {
        // 2 * (index + 1) once record `index` is complete; odd while written.
        std::atomic<uint64_t> sequence{0};
        std::atomic<int64_t> hearNs{0};
        std::atomic<int64_t> firstFrame{0};
        std::atomic<int64_t> frames{0};
        std::atomic<uint64_t> play{0};
    };
    std::array<Slot, kSlots> slots_;
    std::atomic<uint64_t> recorded_{0};
    int64_t start_;
};

} // namespace zv
