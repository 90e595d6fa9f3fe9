#pragma once
// How far a beat analysis has got, shared with the thread that shows it,
// and the way that thread stops it. The analysis reads the sound once
// (the onset pass, nearly all of its time) and counts the samples read.
#include <atomic>
#include <cstdint>

namespace zv {

struct BeatProgress {
    std::atomic<int64_t> doneSamples{0};    // sample frames read so far
    std::atomic<int64_t> totalSamples{0};   // sample frames to read
    std::atomic<bool> cancel{false};        // set by the other thread to stop
};

} // namespace zv
