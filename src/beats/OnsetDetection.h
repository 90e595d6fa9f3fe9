#pragma once
// The onset pass over a mono sound, through aubio: an onset detection
// function (one value a hop) and the onsets aubio picks from it. The only
// place that calls aubio. aubio plans its FFTs with FFTW (single precision)
// under its own lock, aubio_fftw_mutex: other code that makes FFTW plans
// while an onset pass may start on another thread must take that lock too
// (FFTW's planner is not thread-safe).
//
// Units: sample frames of the sound at sampleRate; the curve has one value
// every `hop` sample frames, value k describing the window that ends at
// sample (k + 1) x hop.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jobs/JobProgress.h"

namespace zv {

struct OnsetCurve {
    int32_t sampleRate = 0;
    int32_t hop = 0;          // sample frames between values
    int32_t window = 0;       // sample frames in each analysis window
    int32_t lead = 0;         // values before the sound's first hop
    int64_t samples = 0;      // sample frames read
    // The sample a value stands for: value k belongs to the attack that
    // starts near ValueSample(k) (the window's lag taken off).
    double ValueSample(double k) const;
    std::vector<float> values;   // the detection function, >= 0
    // How much the loudness rises at each value: the RMS level (-1..1 full
    // scale) of the same window above the lowest of the values before it
    // (about 46 ms), >= 0.
    // It tells the loud strokes (a kick, a snare) from soft ones (a hat),
    // which the detection function hardly does.
    std::vector<float> rises;
    // The RMS level of each value's window (-1..1 full scale).
    std::vector<float> levels;
    std::vector<int64_t> onsets; // onsets aubio picked, sample frames, rising
};

enum class OnsetPassOutcome { Done, Cancelled, Failed };

// The analysis sizes for a sample rate: a hop of about 5.8 ms (256 at
// 44.1 and 48 kHz); the window is two hops.
int32_t OnsetHop(int32_t sampleRate);

// Runs the detection function `method` (an aubio name: "specflux", "hfc",
// "complex", ...) over mono[0 .. count). `threshold` is aubio's peak-picking
// threshold for the onsets (0 or below: the method's own default).
// Progress counts the samples read; a cancel stops within a hop. Failed
// (and `error` says why) for a sample rate below 1000 Hz or a method aubio
// does not know. Never throws.
OnsetPassOutcome DetectOnsets(const float* mono, std::size_t count, int32_t sampleRate, const std::string& method,
                              double threshold, JobProgress* progress, OnsetCurve& out, std::string& error);

// aubio's own onset pass as its command-line tool runs it (the "default"
// method, a 512-sample window and a 256-sample hop): the onsets alone, in
// sample frames. The benchmark's yardstick; empty when aubio fails.
std::vector<int64_t> PlainAubioOnsets(const float* mono, std::size_t count, int32_t sampleRate);

} // namespace zv
