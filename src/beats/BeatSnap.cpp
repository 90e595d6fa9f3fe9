#include "beats/BeatSnap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zv {

namespace {

// The nearer to `sample` of a and b (a when they tie).
int64_t Nearer(int64_t sample, int64_t a, int64_t b) { return std::llabs(b - sample) < std::llabs(a - sample) ? b : a; }

// Beat and half-beat places of the step from `from` carried on towards
// `sample` (outside the beats): the nearest of them.
int64_t CarriedOn(int64_t sample, int64_t from, int64_t step) {
    if (step <= 0) return from;
    const double halves = std::round(static_cast<double>(sample - from) / (static_cast<double>(step) / 2.0));
    return from + static_cast<int64_t>(std::llround(halves * static_cast<double>(step) / 2.0));
}

} // namespace

int64_t SnapToBeats(int64_t sample, const std::vector<int64_t>& beats) {
    if (beats.empty()) return sample;
    if (beats.size() == 1) return beats.front();
    if (sample <= beats.front()) return CarriedOn(sample, beats[0], beats[1] - beats[0]);
    if (sample >= beats.back()) {
        const std::size_t n = beats.size();
        return CarriedOn(sample, beats[n - 1], beats[n - 1] - beats[n - 2]);
    }
    const auto after = std::upper_bound(beats.begin(), beats.end(), sample);
    const int64_t right = *after, left = *(after - 1);
    const int64_t half = left + (right - left) / 2;
    return Nearer(sample, Nearer(sample, left, half), right);
}

} // namespace zv
