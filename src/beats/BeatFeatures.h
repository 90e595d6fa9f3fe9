#pragma once
// The onset features the beat tracker reads, one value every hop of about
// 10 ms (FramesPerSecond() of them a second): log-magnitude spectral flux in
// three bands (low: kick and bass below 250 Hz; mid: snare, chords and
// voices, 250 Hz to 2.5 kHz; high: hats and cymbals above) and a harmonic
// change: how far the pitch-class profile (chroma) of the next 150 ms is
// from that of the last 150 ms, which marks where chords move in music
// without drums. Core code; never throws.
//
// Units: frame t describes the sound around sample t x hop (its window
// centred there); values are >= 0, in no fixed unit. `loud` is how much
// the level below 5 kHz rises above its lowest of the last 50 ms: it tells
// the loud strokes (a kick, a snare) from soft ones (a hat, a ghost note),
// which the log-magnitude flux hardly does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jobs/JobProgress.h"

namespace zv {

struct BeatFeatures {
    int32_t sampleRate = 0;
    int32_t hop = 0;     // sample frames between values
    std::vector<float> low, mid, high, harmony, loud;
    // The pitch-class profile of each frame (C, C#, ... B), for the chord
    // changes between beats.
    std::vector<std::array<float, 12>> chroma;
    double FramesPerSecond() const { return hop > 0 ? static_cast<double>(sampleRate) / hop : 0; }
    std::size_t Size() const { return low.size(); }
};

// Cosine distance of two (summed) chroma profiles: 0 the same, 1
// unrelated; 0 when either is silent.
float ChromaDistance(const std::array<float, 12>& a, const std::array<float, 12>& b);

// The features of mono[0 .. count). Empty for a rate below 1000 Hz or no
// samples; false when cancelled through `progress` (which may be null; its
// counts are left alone, the caller reports its own).
bool ReadBeatFeatures(const float* mono, std::size_t count, int32_t sampleRate, BeatFeatures& out,
                      const JobProgress* progress = nullptr);

} // namespace zv
