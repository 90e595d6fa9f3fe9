#include "beats/BeatGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zv {

namespace {

// Onsets this far from a beat (shares of the period) are the beat's: wide
// while the grid is rough, narrower once it is fitted.
constexpr double kFirstReach = 0.15;
constexpr double kFineReach = 0.08;
// How much the dynamic programme pays for a gap that leaves the period:
// tightness x log(gap / period)^2, in standard deviations of the novelty.
constexpr double kTightness = 100;

double ReachFrames(double share, double period) { return std::max(1.5, share * period); }

// Beats at the grid's ends whose onsets are this much weaker than the
// struck beats' median are the sound's lead-in or ringing tail, not beats.
constexpr double kWeakEnd = 0.3;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Moves the first and last struck beats of `fit` inwards past weak onsets.
void TrimWeakEnds(const Novelty& timing, GridFit& fit) {
    if (fit.struck < 3) return;
    const double reach = ReachFrames(kFineReach, fit.period);
    std::vector<double> heights;
    auto height = [&](long k) {
        const NoveltyPeak* peak = timing.PeakNear(fit.Beat(k), reach, timing.OnsetFloor());
        return peak ? peak->height : 0.0;
    };
    for (long k = fit.firstStruck; k <= fit.lastStruck; ++k)
        if (const double h = height(k); h > 0) heights.push_back(h);
    const double least = kWeakEnd * Median(heights);
    while (fit.firstStruck < fit.lastStruck && height(fit.firstStruck) < least) ++fit.firstStruck;
    while (fit.lastStruck > fit.firstStruck && height(fit.lastStruck) < least) --fit.lastStruck;
}

} // namespace

std::size_t StrongFirst(const Novelty& timing, const std::vector<double>& beats) {
    std::vector<double> heights;
    for (const double b : beats)
        if (const NoveltyPeak* p = timing.PeakNear(b, 1.0, timing.OnsetFloor())) heights.push_back(p->height);
    const double least = kWeakEnd * Median(heights);
    std::size_t i = 0;
    while (i < beats.size()) {
        const NoveltyPeak* p = timing.PeakNear(beats[i], 1.0, timing.OnsetFloor());
        if (p && p->height >= least) break;
        ++i;
    }
    return i;
}

std::size_t StrongEnd(const Novelty& timing, const std::vector<double>& beats) {
    std::vector<double> heights;
    for (const double b : beats)
        if (const NoveltyPeak* p = timing.PeakNear(b, 1.0, timing.OnsetFloor())) heights.push_back(p->height);
    const double least = kWeakEnd * Median(heights);
    std::size_t end = beats.size();
    while (end > 0) {
        const NoveltyPeak* p = timing.PeakNear(beats[end - 1], 1.0, timing.OnsetFloor());
        if (p && p->height >= least) break;
        --end;
    }
    return end;
}

GridFit FitGrid(const Novelty& timing, double phase, double period, bool keepPeriod) {
    GridFit fit;
    if (period <= 0) return fit;
    const double floor = timing.OnsetFloor();
    const auto size = static_cast<double>(timing.Size());
    for (int pass = 0; pass < 4; ++pass) {
        // The grid's first beat at or after frame 0.
        const double first = phase - std::floor(phase / period) * period;
        const double reach = ReachFrames(pass == 0 ? kFirstReach : kFineReach, period);
        double sk = 0, st = 0, skk = 0, skt = 0, stt = 0, n = 0;
        long firstStruck = -1, lastStruck = -1, struck = 0;
        long k = 0;
        for (double at = first; at < size; at = first + period * static_cast<double>(++k)) {
            const NoveltyPeak* peak = timing.PeakNear(at, reach, floor);
            if (!peak) continue;
            const auto kd = static_cast<double>(k);
            stt += peak->at * peak->at;
            sk += kd;
            st += peak->at;
            skk += kd * kd;
            skt += kd * peak->at;
            n += 1;
            if (firstStruck < 0) firstStruck = k;
            lastStruck = k;
            ++struck;
        }
        fit = {first, period, firstStruck, lastStruck, struck, fit.periodError};
        if (n < 2) return fit;
        if (keepPeriod) {
            phase = (st - period * sk) / n;
        } else {
            const double spread = n * skk - sk * sk;
            if (spread <= 0) {
                phase = (st - period * sk) / n;
            } else {
                const double slope = (n * skt - sk * st) / spread;
                // A fit far from the period it started from followed stray
                // onsets: keep the period.
                if (std::fabs(slope / period - 1) > 0.05) return fit;
                period = slope;
                phase = (st - slope * sk) / n;
                // The residuals' sum of squares, from the sums.
                const double residual = stt - phase * st - slope * skt;
                fit.periodError = n > 2 ? std::sqrt(std::max(0.0, residual) / (n - 2) / (spread / n)) : 0;
            }
        }
    }
    TrimWeakEnds(timing, fit);
    const double first = phase - std::floor(phase / period) * period;
    // The struck beats' numbers move with the grid's first beat.
    const auto shift = static_cast<long>(std::lround((fit.phase - first) / period));
    fit.phase = first;
    fit.period = period;
    if (fit.firstStruck >= 0) {
        fit.firstStruck += shift;
        fit.lastStruck += shift;
    }
    return fit;
}

std::vector<double> TrackBeats(const Novelty& timing, double period) {
    std::vector<double> beats;
    const std::vector<float>& o = timing.Values();
    const std::size_t n = o.size();
    const auto shortest = static_cast<std::size_t>(std::max(1.0, std::round(period / 2)));
    const auto longest = static_cast<std::size_t>(std::round(period * 2));
    if (n == 0 || longest <= shortest) return beats;
    std::vector<double> cost(longest + 1, 0.0);
    for (std::size_t d = shortest; d <= longest; ++d) {
        const double l = std::log(static_cast<double>(d) / period);
        cost[d] = kTightness * l * l;
    }
    std::vector<double> score(n, 0.0);
    std::vector<long> back(n, -1);
    for (std::size_t k = 0; k < n; ++k) {
        double best = 0;
        long from = -1;
        for (std::size_t d = shortest; d <= longest && d <= k; ++d) {
            const double s = score[k - d] - cost[d];
            if (s > best) {
                best = s;
                from = static_cast<long>(k - d);
            }
        }
        score[k] = o[k] + best;
        back[k] = from;
    }
    // The path ends at the best score of the last period.
    std::size_t end = n - 1;
    const std::size_t tail = n > longest / 2 ? n - longest / 2 : 0;
    for (std::size_t k = tail; k < n; ++k)
        if (score[k] > score[end]) end = k;
    for (long k = static_cast<long>(end); k >= 0; k = back[static_cast<std::size_t>(k)])
        beats.push_back(static_cast<double>(k));
    std::reverse(beats.begin(), beats.end());
    for (double& b : beats)
        if (const NoveltyPeak* peak = timing.PeakNear(b, 2, timing.OnsetFloor())) b = peak->at;
    return beats;
}

BeatLine FitLine(const std::vector<double>& beats, std::size_t from, std::size_t to) {
    BeatLine line;
    to = std::min(to, beats.size());
    if (to < from + 2) return line;
    std::vector<bool> keep(to - from, true);
    for (int pass = 0; pass < 2; ++pass) {
        double sk = 0, st = 0, skk = 0, skt = 0, n = 0;
        for (std::size_t i = from; i < to; ++i) {
            if (!keep[i - from]) continue;
            const auto k = static_cast<double>(i - from);
            sk += k;
            st += beats[i];
            skk += k * k;
            skt += k * beats[i];
            n += 1;
        }
        const double spread = n * skk - sk * sk;
        if (n < 2 || spread <= 0) return line;
        line.period = (n * skt - sk * st) / spread;
        line.phase = (st - line.period * sk) / n;
        for (std::size_t i = from; i < to; ++i) {
            const double expected = line.phase + line.period * static_cast<double>(i - from);
            keep[i - from] = std::fabs(beats[i] - expected) <= 0.2 * line.period;
        }
    }
    return line;
}

double TempoDrift(const std::vector<double>& beats, double& longest, double& shortest) {
    constexpr std::size_t kWindow = 16, kStep = 8;
    longest = 0;
    shortest = std::numeric_limits<double>::max();
    if (beats.size() < kWindow + kStep) {
        shortest = longest = 0;
        return 0;
    }
    std::vector<double> periods;
    for (std::size_t from = 0; from + kWindow <= beats.size(); from += kStep) {
        const BeatLine line = FitLine(beats, from, from + kWindow);
        if (line.period > 0) periods.push_back(line.period);
    }
    // The last window ends at the last beat.
    const BeatLine last = FitLine(beats, beats.size() - kWindow, beats.size());
    if (last.period > 0) periods.push_back(last.period);
    if (periods.empty()) {
        shortest = longest = 0;
        return 0;
    }
    for (const double p : periods) {
        longest = std::max(longest, p);
        shortest = std::min(shortest, p);
    }
    std::nth_element(periods.begin(), periods.begin() + static_cast<std::ptrdiff_t>(periods.size() / 2), periods.end());
    const double median = periods[periods.size() / 2];
    return (longest - shortest) / median;
}

} // namespace zv
