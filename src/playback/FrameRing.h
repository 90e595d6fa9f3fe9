#pragma once
// A ring of interleaved float sample frames between one producer thread (the
// file reader) and one consumer thread (the sound output's callback). Neither
// side locks or allocates, so the output callback never waits on the disk.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zv {

class FrameRing {
public:
    // capacityFrames > 0 sample frames of `channels` floats each.
    FrameRing(size_t capacityFrames, int channels);

    int Channels() const { return channels_; }
    size_t CapacityFrames() const { return capacity_; }

    // Producer side.
    size_t WritableFrames() const;
    // Appends up to `count` frames from `frames`; returns how many fitted.
    size_t Write(const float* frames, size_t count);
    // Frames ever written: the count at which the next written frame sits.
    uint64_t WrittenFrames() const { return written_.load(std::memory_order_relaxed); }

    // Consumer side.
    size_t ReadableFrames() const;
    // Takes up to `count` frames into `out`; returns how many there were.
    size_t Read(float* out, size_t count);
    // Drops every frame before the `writtenFrames`-th ever written (one the
    // producer has already counted), so that the next Read starts there.
    void SkipTo(uint64_t writtenFrames);

private:
    std::vector<float> data_;
    size_t capacity_;
    int channels_;
    std::atomic<uint64_t> written_{0};   // frames ever written (producer)
    std::atomic<uint64_t> read_{0};      // frames ever read (consumer)
};

} // namespace zv
