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
    // Scores per tempo, position 0 .. N-1, each in a ring: position p of
    // tempo n is at (head[n] + p) mod N, so that moving every position on
    // by one is moving the head back by one. Every state is scored
    // offBeat a frame and those of a beat's first positions onBeat
    // instead: only the difference is added to them, and the shared part
    // is kept aside (`shared`), as is what is taken off to keep the scores
    // near 0.
    std::vector<std::vector<double>> score(static_cast<std::size_t>(tempi));
    for (int n = 0; n < tempi; ++n) score[static_cast<std::size_t>(n)].assign(static_cast<std::size_t>(shortest + n), 0.0);
    std::vector<std::size_t> head(static_cast<std::size_t>(tempi), 0);
    // The source tempo of each beat state per frame.
    std::vector<uint16_t> from(frames * static_cast<std::size_t>(tempi), 0);
    std::vector<double> ends(static_cast<std::size_t>(tempi));
    double shared = 0;
    for (std::size_t t = 0; t < frames; ++t) {
        const double a = std::clamp(static_cast<double>(activation[t]), kFloor, 1 - kFloor);
        const double onBeat = std::log(a), offBeat = std::log((1 - a) / (kBeatShare - 1));
        if (t > 0) {
            for (int n = 0; n < tempi; ++n) {
                const auto u = static_cast<std::size_t>(n);
                const std::size_t size = score[u].size();
                ends[u] = score[u][(head[u] + size - 1) % size];
            }
            for (int n = 0; n < tempi; ++n) {
                const auto u = static_cast<std::size_t>(n);
                std::vector<double>& s = score[u];
                head[u] = (head[u] + s.size() - 1) % s.size();
                double best = kNone;
                int source = n;
                const double* toN = move.data() + n;
                for (int m = 0; m < tempi; ++m) {
                    const double v = ends[static_cast<std::size_t>(m)] + toN[static_cast<std::size_t>(m * tempi)];
                    if (v > best) {
                        best = v;
                        source = m;
                    }
                }
                s[head[u]] = best;
                from[t * static_cast<std::size_t>(tempi) + u] = static_cast<uint16_t>(source);
            }
        }
        shared += offBeat;
        const double lift = onBeat - offBeat;
        for (int n = 0; n < tempi; ++n) {
            const auto u = static_cast<std::size_t>(n);
            std::vector<double>& s = score[u];
            const std::size_t region = Region(shortest + n);
            for (std::size_t p = 0, i = head[u]; p < region; ++p, i = i + 1 == s.size() ? 0 : i + 1) s[i] += lift;
        }
        // Kept near 0 now and then, so that long stretches lose no precision.
        if ((t & 255) == 255 || t + 1 == frames) {
            double top = kNone;
            for (const auto& s : score)
                for (const double v : s) top = std::max(top, v);
            for (auto& s : score)
                for (double& v : s) v -= top;
            shared += top;
        }
    }
    path.logLikelihood = shared;
    // The best final state, then back through the beats.
    int n = 0;
    std::size_t p = 0;
    double best = kNone;
    for (int m = 0; m < tempi; ++m) {
        const std::vector<double>& s = score[static_cast<std::size_t>(m)];
        for (std::size_t q = 0; q < s.size(); ++q)
            if (s[(head[static_cast<std::size_t>(m)] + q) % s.size()] > best) {
                best = s[(head[static_cast<std::size_t>(m)] + q) % s.size()];
                n = m;
                p = q;
            }
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
