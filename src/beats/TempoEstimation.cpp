#include "beats/TempoEstimation.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zv {

namespace {

// The search covers 40-320 BPM before the octave is settled.
constexpr double kSearchSlowest = 40;
constexpr double kSearchFastest = 320;
constexpr int kCombTeeth = 4;
// Every other pulse below this share of the loud ones: a subdivision.
constexpr double kSoftShare = 0.5;
// A tempo just outside the counting range (by this share) is kept when its
// pulses say it is the beat: a tempo that wanders across the range's edge
// is not halved.
constexpr double kRangeMargin = 0.1;
// The loudness tells the pulses apart when they rise this many times more
// than its mean.
constexpr double kPlainRise = 3;

double PeriodOfBpm(double bpm, double fps) { return 60.0 * fps / bpm; }

// Autocorrelation of the novelty with its mean taken off, each lag divided
// by the number of products in it.
std::vector<double> Autocorrelation(const std::vector<float>& values, std::size_t maxLag) {
    const std::size_t n = values.size();
    double mean = 0;
    for (const float v : values) mean += v;
    mean /= static_cast<double>(n);
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<float>(values[i] - mean);
    std::vector<double> r(maxLag + 1, 0.0);
    for (std::size_t lag = 0; lag <= maxLag && lag < n; ++lag) {
        double sum = 0;
        const float* a = x.data();
        const float* b = x.data() + lag;
        const std::size_t count = n - lag;
        for (std::size_t i = 0; i < count; ++i) sum += static_cast<double>(a[i] * b[i]);
        r[lag] = sum / static_cast<double>(count);
    }
    return r;
}

double Interpolated(const std::vector<double>& r, double lag) {
    if (lag < 0 || lag > static_cast<double>(r.size() - 1)) return 0;
    const auto i = static_cast<std::size_t>(lag);
    if (i + 1 >= r.size()) return r[i];
    const double t = lag - static_cast<double>(i);
    return r[i] * (1 - t) + r[i + 1] * t;
}

// The autocorrelation of `values` (mean taken off) at the lags within 3 %
// of `period`, the highest of them, over its value at lag 0.
double FirstToothClarity(const std::vector<float>& values, double period) {
    const std::size_t n = values.size();
    const auto lo = static_cast<std::size_t>(std::floor(period * 0.97));
    const auto hi = static_cast<std::size_t>(std::ceil(period * 1.03));
    if (n < hi * 2 || lo == 0) return 0;
    double mean = 0;
    for (const float v : values) mean += v;
    mean /= static_cast<double>(n);
    double zero = 0;
    for (const float v : values) zero += (v - mean) * (v - mean);
    zero /= static_cast<double>(n);
    if (!(zero > 0)) return 0;
    double best = 0;
    for (std::size_t lag = lo; lag <= hi; ++lag) {
        double sum = 0;
        for (std::size_t i = 0; i + lag < n; ++i) sum += (values[i] - mean) * (values[i + lag] - mean);
        best = std::max(best, sum / static_cast<double>(n - lag) / zero);
    }
    return best;
}

// The comb's score of a period: the mean autocorrelation at its multiples
// that the lags reach.
double Comb(const std::vector<double>& r, double period) {
    double sum = 0;
    int teeth = 0;
    for (int m = 1; m <= kCombTeeth; ++m) {
        const double lag = period * m;
        if (lag > static_cast<double>(r.size() - 1)) break;
        sum += Interpolated(r, lag);
        ++teeth;
    }
    return teeth == 0 ? 0 : sum / teeth;
}

// A mild preference for tempi near 120 BPM, for periods whose combs score
// alike (a log-normal of one and a half octaves).
double Preference(double bpm) {
    const double octaves = std::log2(bpm / 120.0) / 1.5;
    return std::exp(-0.5 * octaves * octaves);
}

double Reach(const Novelty& n) { return std::max(1.0, n.FramesPerSecond() * 0.02); }

// The curve that tells loud pulses from soft ones: the loudness rises,
// unless the pulses hardly rise above the rest of them (notes that change
// pitch at one loudness), when the detection function's heights tell.
const Novelty& Telling(const Novelty& timing, const Novelty& accents, double period) {
    const PulseStrength pulse = MeasurePulse(timing, accents, period);
    double mean = 0;
    for (const float v : accents.Values()) mean += v;
    mean /= std::max<double>(1, static_cast<double>(accents.Size()));
    return pulse.onBeat >= kPlainRise * mean ? accents : timing;
}

} // namespace

double PulseClarity(const Novelty& timing, const Novelty& accents, double period) {
    return std::clamp(std::max(FirstToothClarity(timing.Values(), period), FirstToothClarity(accents.Values(), period)),
                      0.0, 1.0);
}

double BestPhase(const Novelty& timing, double period) {
    const double reach = Reach(timing);
    const auto size = static_cast<double>(timing.Size());
    double best = 0, bestScore = -1;
    for (double phase = 0; phase < period; phase += 0.5) {
        double score = 0;
        for (double at = phase; at < size; at += period) score += timing.MaxNear(at, reach);
        if (score > bestScore) {
            bestScore = score;
            best = phase;
        }
    }
    return best;
}

PulseStrength MeasurePulse(const Novelty& timing, const Novelty& heights, double period) {
    PulseStrength pulse;
    if (period <= 0 || timing.Size() == 0) return pulse;
    pulse.phase = BestPhase(timing, period);
    const auto size = static_cast<double>(heights.Size());
    double on = 0, half = 0;
    int count = 0;
    for (double at = pulse.phase; at < size; at += period, ++count) {
        on += heights.AttackAt(at);
        half += heights.AttackAt(at + period / 2);
    }
    if (count == 0) return pulse;
    pulse.onBeat = on / count;
    pulse.halfway = half / count;
    return pulse;
}

TempoEstimate EstimateTempo(const Novelty& timing, const Novelty& accents, TempoRange range) {
    TempoEstimate estimate;
    const double fps = timing.FramesPerSecond();
    if (!timing.HasSignal() || fps <= 0) return estimate;
    const double shortest = PeriodOfBpm(kSearchFastest, fps);
    const double longest = PeriodOfBpm(kSearchSlowest, fps);
    // The comb's teeth reach four periods; a short sound reaches less.
    const auto maxLag = static_cast<std::size_t>(
        std::min(std::ceil(longest * kCombTeeth) + 2, static_cast<double>(timing.Size()) / 2));
    if (static_cast<double>(maxLag) < shortest * 2) return estimate;
    const std::vector<double> r = Autocorrelation(timing.Values(), maxLag);
    if (!(r[0] > 0)) return estimate;

    double best = 0, bestScore = 0;
    for (double period = shortest; period <= std::min(longest, static_cast<double>(maxLag)); period += 0.25) {
        const double score = Comb(r, period) * Preference(60.0 * fps / period);
        if (score > bestScore) {
            bestScore = score;
            best = period;
        }
    }
    if (best <= 0) return estimate;

    // Into the counting range, by octaves.
    auto bpmOf = [fps](double period) { return 60.0 * fps / period; };
    while (bpmOf(best) > range.fastestBpm && best * 2 <= static_cast<double>(maxLag)) best *= 2;
    while (bpmOf(best) < range.slowestBpm) best /= 2;
    // The other octave, when it is in the range too.
    const Novelty& loudness = Telling(timing, accents, best);
    if (bpmOf(best) * 2 <= range.fastestBpm * (1 + kRangeMargin)) {
        const PulseStrength pulse = MeasurePulse(timing, loudness, best);
        if (pulse.onBeat > 0 && pulse.halfway >= kSoftShare * pulse.onBeat) best /= 2;
    } else if (bpmOf(best) / 2 >= range.slowestBpm / (1 + kRangeMargin) && best * 2 <= static_cast<double>(maxLag)) {
        const PulseStrength pulse = MeasurePulse(timing, loudness, best * 2);
        if (pulse.onBeat > 0 && pulse.halfway < kSoftShare * pulse.onBeat) best *= 2;
    }
    // The comb's own peak near the settled period, to a twentieth of a frame.
    double refined = best, refinedScore = Comb(r, best);
    for (double period = best * 0.97; period <= best * 1.03; period += 0.05) {
        const double score = Comb(r, period);
        if (score > refinedScore) {
            refinedScore = score;
            refined = period;
        }
    }
    estimate.period = refined;
    // The clarity from the first tooth alone, the highest within 3 % of the
    // period (a drifting tempo blurs the further teeth).
    double first = 0;
    for (double lag = refined * 0.97; lag <= refined * 1.03; lag += 0.25) first = std::max(first, Interpolated(r, lag));
    // The loudness rises may show the pulse more plainly (soft attacks over
    // a held sound, whose spectrum ripples).
    estimate.clarity = std::max(first / r[0], FirstToothClarity(accents.Values(), refined));
    estimate.clarity = std::clamp(estimate.clarity, 0.0, 1.0);
    return estimate;
}

} // namespace zv
