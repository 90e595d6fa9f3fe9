#pragma once
// A compressed sound (FLAC, Ogg, MP3) decoded into memory on a thread of its
// own, from its start on, so that the output reads its frames from memory
// instead of seeking the compressed file for every play, step and scrub.
// The frames decoded so far can be read while the rest decodes.
//
// Sounds longer than the memory allowed (kMaxBytes of float samples: about
// eleven minutes of 48 kHz stereo) are not decoded: their frames keep
// coming from the file.
//
// Units: sample frames of the file (all its channels), floats in -1..1.
#include <atomic>
#include <cstdint>
#include <string>
#include <memory>
#include <thread>

namespace zv {

class DecodedSound {
public:
    static constexpr int64_t kMaxBytes = int64_t{256} << 20;

    // Starts decoding `path`, of `frames` frames of `channels` channels,
    // when it fits in memory; otherwise holds nothing.
    DecodedSound(const std::string& path, int channels, int64_t frames);
    ~DecodedSound();
    DecodedSound(const DecodedSound&) = delete;
    DecodedSound& operator=(const DecodedSound&) = delete;

    // Frames decoded so far, from frame 0 on; they never change.
    int64_t Available() const { return available_.load(std::memory_order_acquire); }
    // Copies frames [from, from + frames) into `out` (interleaved) as far as
    // they are decoded; returns how many.
    int64_t Read(int64_t from, float* out, int64_t frames) const;

private:
    void Decode(const std::string& path);

    const int channels_;
    // Sized once, left uninitialised (a large block is mapped, not touched,
    // until the decoder fills it): the decoder writes past Available(),
    // readers below it.
    std::unique_ptr<float[]> samples_;
    int64_t frames_ = 0;
    std::atomic<int64_t> available_{0};
    std::atomic<bool> stop_{false};
    std::thread decoder_;
};

} // namespace zv
