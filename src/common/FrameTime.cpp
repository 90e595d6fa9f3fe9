#include "common/FrameTime.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Errors.h"
#include "common/Numbers.h"

namespace zv {
namespace {

// Products of a 64-bit frame or time with a sample rate and a rate's
// denominator can leave 64 bits; they are formed in 128.
using Wide = __int128;

constexpr int64_t kMsPerSecond = 1000;

Wide RoundDivideWide(Wide numerator, Wide denominator) {
    // Floor division first, then the remainder against half the divisor.
    Wide q = numerator / denominator;
    Wide r = numerator % denominator;
    if (r < 0) {
        q -= 1;
        r += denominator;
    }
    const Wide twice = 2 * r;
    if (twice > denominator || (twice == denominator && (q & 1) != 0)) q += 1;
    return q;
}

Wide FloorDivideWide(Wide numerator, Wide denominator) {
    Wide q = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) q -= 1;
    return q;
}

int64_t Saturate(Wide v) {
    return static_cast<int64_t>(std::clamp<Wide>(v, std::numeric_limits<int64_t>::min(),
                                                 std::numeric_limits<int64_t>::max()));
}

// rate x ms as the fraction (ms x numerator) / denominator, checked to lie
// within 32 bits; returns the fraction's numerator.
int64_t ThousandthsOfFrames(int32_t ms, FrameRate rate) {
    const int64_t product = static_cast<int64_t>(ms) * rate.Numerator();
    const int64_t d = rate.Denominator();
    if (product < std::numeric_limits<int32_t>::min() * d || product > std::numeric_limits<int32_t>::max() * d)
        throw OverflowError();
    return product;
}

void RequirePositive(FrameRate rate) {
    if (!rate.IsPositive()) throw DivisionByZeroError();
}

} // namespace

int64_t RoundDivide(int64_t numerator, int64_t denominator) {
    return static_cast<int64_t>(RoundDivideWide(numerator, denominator));
}

int64_t FloorDivide(int64_t numerator, int64_t denominator) {
    return static_cast<int64_t>(FloorDivideWide(numerator, denominator));
}

int32_t FrameFloor(int32_t ms, FrameRate rate) {
    const int64_t thousandths = ThousandthsOfFrames(ms, rate);
    return static_cast<int32_t>(FloorDivide(thousandths, kMsPerSecond * rate.Denominator()));
}

int32_t FrameNearest(int32_t ms, FrameRate rate) {
    const int64_t thousandths = ThousandthsOfFrames(ms, rate);
    return static_cast<int32_t>(RoundDivide(thousandths, kMsPerSecond * rate.Denominator()));
}

int64_t ReadoutFrames(int32_t ms, FrameRate rate) {
    if (rate.IsWhole()) {
        const double frames = (static_cast<double>(ms) / 1000.0) * static_cast<double>(rate.Numerator());
        // |frames| <= 2^31 / 1000 * 2^31 < 2^53: exact in an int64.
        return static_cast<int64_t>(std::nearbyint(frames));
    }
    return RoundDivide(static_cast<int64_t>(ms) * rate.Numerator(), kMsPerSecond * rate.Denominator());
}

int32_t MsOfFrame(int32_t frame, FrameRate rate) {
    if (rate.Numerator() == 0) throw DivisionByZeroError();
    const Wide scaled = static_cast<Wide>(CheckedMul(frame, static_cast<int32_t>(kMsPerSecond))) *
                        rate.Denominator();
    const Wide n = rate.Numerator();
    const Wide ms = n > 0 ? RoundDivideWide(scaled, n) : RoundDivideWide(-scaled, -n);
    if (ms < std::numeric_limits<int32_t>::min() || ms > std::numeric_limits<int32_t>::max())
        throw OverflowError();
    return static_cast<int32_t>(ms);
}

int64_t FrameStartMs(int64_t frame, FrameRate rate) {
    RequirePositive(rate);
    return Saturate(RoundDivideWide(static_cast<Wide>(frame) * kMsPerSecond * rate.Denominator(),
                                    rate.Numerator()));
}

int64_t FrameAtMs(int64_t ms, FrameRate rate) {
    RequirePositive(rate);
    // A first guess from the exact quotient, then a step either way to make
    // up for the rounding of the frame starts. In 128 bits throughout: a
    // start that saturated would never stop the steps.
    const auto start = [&](Wide n) {
        return RoundDivideWide(n * kMsPerSecond * rate.Denominator(), rate.Numerator());
    };
    Wide n = FloorDivideWide(static_cast<Wide>(ms) * rate.Numerator(),
                             static_cast<Wide>(kMsPerSecond) * rate.Denominator());
    while (start(n) > ms) --n;
    while (start(n + 1) <= ms) ++n;
    return Saturate(n);
}

int64_t FrameStartSample(int64_t frame, FrameRate rate, int32_t sampleRate) {
    RequirePositive(rate);
    return Saturate(RoundDivideWide(static_cast<Wide>(frame) * sampleRate * rate.Denominator(),
                                    rate.Numerator()));
}

int64_t FrameOfSample(int64_t sample, FrameRate rate, int32_t sampleRate) {
    RequirePositive(rate);
    if (sampleRate <= 0) throw DivisionByZeroError();
    // As FrameAtMs: a guess, then steps, in 128 bits.
    const auto start = [&](Wide n) {
        return RoundDivideWide(n * sampleRate * rate.Denominator(), rate.Numerator());
    };
    Wide n = FloorDivideWide(static_cast<Wide>(sample) * rate.Numerator(),
                             static_cast<Wide>(sampleRate) * rate.Denominator());
    while (start(n) > sample) --n;
    while (start(n + 1) <= sample) ++n;
    return Saturate(n);
}

int64_t MsToSamples(int64_t ms, int32_t sampleRate) {
    return Saturate(RoundDivideWide(static_cast<Wide>(ms) * sampleRate, kMsPerSecond));
}

int64_t SamplesToMs(int64_t samples, int32_t sampleRate) {
    // A device may report any 64-bit count. Counts whose product with 1000
    // leaves 64 bits are taken at the largest that fits: that many ms are
    // beyond the 32-bit ms every caller clamps to, whatever the sample rate.
    constexpr int64_t reach = std::numeric_limits<int64_t>::max() / kMsPerSecond;
    return sampleRate > 0 ? RoundDivide(std::clamp(samples, -reach, reach) * kMsPerSecond, sampleRate) : 0;
}

int64_t SecondsRoundedDown(int64_t ms) { return FloorDivide(ms, kMsPerSecond); }
int64_t SecondsNearest(int64_t ms) { return RoundDivide(ms, kMsPerSecond); }
int64_t TenthsNearest(int64_t ms) { return RoundDivide(ms, kMsPerSecond / 10); }

std::optional<std::pair<int64_t, int64_t>> SelectedSamples(int64_t startMs, int64_t endMs, int32_t sampleRate,
                                                            int64_t total) {
    if (sampleRate <= 0 || endMs <= startMs) return std::nullopt;
    const int64_t from = std::clamp<int64_t>(startMs * sampleRate / 1000, 0, total);
    const int64_t to = std::clamp<int64_t>(endMs * sampleRate / 1000, 0, total);
    if (to <= from) return std::nullopt;
    return std::pair{from, to};
}

} // namespace zv
