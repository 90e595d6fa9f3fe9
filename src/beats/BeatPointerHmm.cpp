#include "beats/BeatPointerHmm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zv {

namespace {

// How rarely the tempo changes: a move from period a to b costs
// kTempoChange x |b / a - 1| (natural log).
constexpr double kTempoChange = 100;
// The share of a beat's positions that expect the beat: 1 / kBeatShare.
constexpr int kBeatShare = 16;
constexpr double kFloor = 1e-4;   // activations are kept inside [kFloor, 1 - kFloor]

// The positions of a beat of `period` frames that expect the beat.
std::size_t Region(int period) { return static_cast<std::size_t>(std::max(1, (period + kBeatShare / 2) / kBeatShare)); }

} // namespace

BeatPath DecodeBeats(const std::vector<float>& activation, int shortest, int longest) {
    BeatPath path;
    shortest = std::max(shortest, 2);
    if (longest < shortest || activation.size() < static_cast<std::size_t>(2 * shortest)) return path;
    const std::size_t frames = activation.size();
    const int tempi = longest - shortest + 1;
    constexpr double kNone = -std::numeric_limits<double>::infinity();

    // The log cost of moving from period `from` to `to` (normalised over `to`).
    std::vector<double> move(static_cast<std::size_t>(tempi * tempi));
    for (int a = 0; a < tempi; ++a) {
        double total = 0;
        for (int b = 0; b < tempi; ++b) total += std::exp(-kTempoChange * std::fabs(double(shortest + b) / (shortest + a) - 1));
        for (int b = 0; b < tempi; ++b)
            move[static_cast<std::size_t>(a * tempi + b)] =
                -kTempoChange * std::fabs(double(shortest + b) / (shortest + a) - 1) - std::log(total);
    }
    // Scores per tempo, position 0 .. N-1; the source tempo of each beat state per frame.
    std::vector<std::vector<double>> score(static_cast<std::size_t>(tempi));
    for (int n = 0; n < tempi; ++n) score[static_cast<std::size_t>(n)].assign(static_cast<std::size_t>(shortest + n), 0.0);
    std::vector<uint16_t> from(frames * static_cast<std::size_t>(tempi), 0);
    std::vector<double> ends(static_cast<std::size_t>(tempi));
    for (std::size_t t = 0; t < frames; ++t) {
        const double a = std::clamp(static_cast<double>(activation[t]), kFloor, 1 - kFloor);
        const double onBeat = std::log(a), offBeat = std::log((1 - a) / (kBeatShare - 1));
        if (t > 0) {
            for (int n = 0; n < tempi; ++n) ends[static_cast<std::size_t>(n)] = score[static_cast<std::size_t>(n)].back();
            for (int n = 0; n < tempi; ++n) {
                std::vector<double>& s = score[static_cast<std::size_t>(n)];
                std::copy_backward(s.begin(), s.end() - 1, s.end());
                double best = kNone;
                int source = n;
                for (int m = 0; m < tempi; ++m) {
                    const double v = ends[static_cast<std::size_t>(m)] + move[static_cast<std::size_t>(m * tempi + n)];
                    if (v > best) {
                        best = v;
                        source = m;
                    }
                }
                s[0] = best;
                from[t * static_cast<std::size_t>(tempi) + static_cast<std::size_t>(n)] = static_cast<uint16_t>(source);
            }
        }
        double top = kNone;
        for (int n = 0; n < tempi; ++n) {
            std::vector<double>& s = score[static_cast<std::size_t>(n)];
            const std::size_t region = Region(shortest + n);
            for (std::size_t p = 0; p < s.size(); ++p) {
                s[p] += p < region ? onBeat : offBeat;
                top = std::max(top, s[p]);
            }
        }
        // Kept near 0 so that long stretches lose no precision.
        for (auto& s : score)
            for (double& v : s) v -= top;
        path.logLikelihood += top;
    }
    // The best final state, then back through the beats.
    int n = 0;
    std::size_t p = 0;
    double best = kNone;
    for (int m = 0; m < tempi; ++m)
        for (std::size_t q = 0; q < score[static_cast<std::size_t>(m)].size(); ++q)
            if (score[static_cast<std::size_t>(m)][q] > best) {
                best = score[static_cast<std::size_t>(m)][q];
                n = m;
                p = q;
            }
    std::vector<double> beats;
    auto t = static_cast<std::ptrdiff_t>(frames) - 1;
    while (t >= 0) {
        const std::ptrdiff_t beat = t - static_cast<std::ptrdiff_t>(p);
        if (beat < 0) {
            // The first frame lies in a beat's region: that beat is struck
            // at the very start.
            if (-beat < static_cast<std::ptrdiff_t>(Region(shortest + n))) beats.push_back(0);
            break;
        }
        beats.push_back(static_cast<double>(beat));
        const int source = from[static_cast<std::size_t>(beat) * static_cast<std::size_t>(tempi) + static_cast<std::size_t>(n)];
        n = source;
        p = static_cast<std::size_t>(shortest + n - 1);
        t = beat - 1;
    }
    std::reverse(beats.begin(), beats.end());
    path.beats = std::move(beats);
    path.logLikelihood /= static_cast<double>(frames);
    return path;
}

} // namespace zv
