#include "playback/AnimationFrames.h"

#include <algorithm>
#include <limits>

namespace zv {

int64_t RoundDivide(int64_t numerator, int64_t denominator) {
    // Floor division first, then decide the remainder against half the divisor.
    int64_t q = numerator / denominator;
    int64_t r = numerator % denominator;
    if (r < 0) {
        q -= 1;
        r += denominator;
    }
    const int64_t twice = 2 * r;
    if (twice > denominator || (twice == denominator && (q & 1) != 0)) q += 1;
    return q;
}

int64_t FrameStartMs(int64_t frame, int32_t fps) { return RoundDivide(frame * 1000, fps); }

int64_t FrameAtMs(int64_t ms, int32_t fps) {
    // A first guess from the exact quotient, then a step either way to make
    // up for the rounding of the frame starts.
    int64_t n = ms * fps / 1000;
    if (ms * fps < 0 && (ms * fps) % 1000 != 0) n -= 1;
    while (FrameStartMs(n, fps) > ms) --n;
    while (FrameStartMs(n + 1, fps) <= ms) ++n;
    return n;
}

int64_t FrameStartSample(int64_t frame, int32_t fps, int32_t sampleRate) {
    return RoundDivide(frame * sampleRate, fps);
}

int64_t MsToSamples(int64_t ms, int32_t sampleRate) { return RoundDivide(ms * sampleRate, 1000); }

int64_t SamplesToMs(int64_t samples, int32_t sampleRate) {
    // A device may report any 64-bit count. Counts whose product with 1000
    // leaves 64 bits are taken at the largest that fits: that many ms are
    // beyond the 32-bit ms every caller clamps to, whatever the sample rate.
    constexpr int64_t reach = std::numeric_limits<int64_t>::max() / 1000;
    return sampleRate > 0 ? RoundDivide(std::clamp(samples, -reach, reach) * 1000, sampleRate) : 0;
}

} // namespace zv
