#include "beats/BeatTracker.h"

#include <algorithm>
#include <cmath>

#include "beats/BeatPointerHmm.h"

namespace zv {

namespace {

constexpr double kLowWeight = 1.0, kMidWeight = 1.0, kHighWeight = 0.35, kHarmonyWeight = 0.8, kLoudWeight = 1.0;
constexpr double kSlowestBpm = 40, kFastestBpm = 220;
// The running level taken off the activation: the mean over this many
// seconds either side; what stands above it is scaled by kActivationGain.
constexpr double kBackgroundSpan = 0.25, kActivationGain = 1.8;
// The tempo preferred where the periodicity leaves the level open, and how
// fast the preference falls off (octaves, one standard deviation).
constexpr double kPreferredBpm = 120, kPreferenceOctaves = 1.0;
// The tempo range decoded around the chosen level: it holds an accelerando
// or a sudden change to 1.4 times the tempo, but not the next level.
constexpr double kSlowerReach = 0.7, kFasterReach = 1.43;
// The accents between the beats must be this much stronger than on them for
// the beats to move half a beat.
constexpr double kOffBeatLead = 1.3;
// A beat stands on an onset where the activation near it reaches this.
constexpr double kStruck = 0.2;
// A beat's confidence is read over this many beats either side.
constexpr std::size_t kConfidenceReach = 4;
// Half-way points struck this share as hard as the beats count as beats
// (up to kFastestCounted BPM); every other beat struck softer than this
// share of the others is not one (down to kSlowestCounted BPM).
constexpr double kHalfwayShare = 0.7, kSoftShare = 0.45;
constexpr double kFastestCounted = 185, kSlowestCounted = 60;
// Only beats faster than this are taken for eighths.
constexpr double kEighthsFrom = 120;
// Every third half beat struck this much harder than the beats: the beat
// is two thirds as fast.
constexpr double kThirdsLead = 1.3;
// A backbeat read at half its tempo: the snare on every beat alike (the
// odd beats' snare within this share of the even ones'), the snare this
// much louder on one half of the halved lattice (the beats or the points
// half-way) than on the other, and the kick louder on that other half.
constexpr double kSnareAlike = 0.6, kSnareLead = 2.0;
// ... and the kick struck on the other half at least this share as hard as
// beside the snare (the snare's own low band): a waltz's or a shuffle's
// bass falls on the beats alone.
constexpr double kKickShare = 0.4;

// Values scaled by their 95th percentile (of the non-zero ones).
std::vector<float> Scaled(const std::vector<float>& v) {
    std::vector<float> nonZero;
    for (const float x : v)
        if (x > 0) nonZero.push_back(x);
    std::vector<float> out(v.size(), 0.0f);
    if (nonZero.size() < 8) return out;
    const auto k = static_cast<std::ptrdiff_t>(nonZero.size() * 95 / 100);
    std::nth_element(nonZero.begin(), nonZero.begin() + k, nonZero.end());
    const float top = nonZero[static_cast<std::size_t>(k)];
    if (!(top > 0)) return out;
    for (std::size_t i = 0; i < v.size(); ++i) out[i] = v[i] / top;
    return out;
}

// A broad curve cut down to its local maxima (within `reach` frames).
std::vector<float> Peaks(const std::vector<float>& v, int reach) {
    std::vector<float> out(v.size(), 0.0f);
    for (std::size_t t = 0; t < v.size(); ++t) {
        const std::size_t from = t >= static_cast<std::size_t>(reach) ? t - static_cast<std::size_t>(reach) : 0;
        const std::size_t to = std::min(v.size(), t + static_cast<std::size_t>(reach) + 1);
        if (v[t] > 0 && v[t] == *std::max_element(v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(to)))
            out[t] = v[t];
    }
    return out;
}

double MaxNear(const std::vector<float>& v, double at, double reach) {
    const auto from = static_cast<std::ptrdiff_t>(std::floor(at - reach));
    const auto to = static_cast<std::ptrdiff_t>(std::ceil(at + reach));
    double best = 0;
    for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(0, from); i <= to && i < static_cast<std::ptrdiff_t>(v.size()); ++i)
        best = std::max(best, static_cast<double>(v[static_cast<std::size_t>(i)]));
    return best;
}

// The autocorrelation of the activation (its mean taken off), lags 0 .. most.
std::vector<double> Autocorrelation(const std::vector<float>& a, std::size_t most) {
    double mean = 0;
    for (const float x : a) mean += x;
    mean /= static_cast<double>(std::max<std::size_t>(a.size(), 1));
    std::vector<double> r(most + 1, 0.0);
    for (std::size_t lag = 0; lag <= most && lag < a.size(); ++lag) {
        double sum = 0;
        for (std::size_t t = 0; t + lag < a.size(); ++t) sum += (a[t] - mean) * (a[t + lag] - mean);
        r[lag] = sum / static_cast<double>(a.size() - lag);
    }
    return r;
}

struct Level {
    double period = 0;
    double clarity = 0;
};

// The tempo level: the autocorrelation weighed by the preference for
// moderate tempi, read with its multiples (a beat's period is also struck
// at two and four beats, or three and six).
Level ChooseLevel(const std::vector<float>& a, double fps) {
    const auto shortest = static_cast<std::size_t>(std::floor(60 * fps / kFastestBpm));
    const auto longest = static_cast<std::size_t>(std::ceil(60 * fps / kSlowestBpm));
    const std::vector<double> r = Autocorrelation(a, 4 * longest + 2);
    if (r.empty() || !(r[0] > 0)) return {};
    auto at = [&](double lag) {
        const auto i = static_cast<std::size_t>(lag);
        if (i + 1 >= r.size()) return 0.0;
        const double f = lag - static_cast<double>(i);
        return std::max(0.0, r[i] * (1 - f) + r[i + 1] * f) / r[0];
    };
    // The periodicity at a lag: the best of the lag and its neighbours.
    auto peak = [&](double lag) { return std::max({at(lag - 1), at(lag), at(lag + 1)}); };
    Level best;
    double bestScore = 0;
    for (std::size_t lag = shortest; lag <= longest; ++lag) {
        const double l = static_cast<double>(lag);
        const double octaves = std::log2(60 * fps / l / kPreferredBpm) / kPreferenceOctaves;
        const double prior = std::exp(-0.5 * octaves * octaves);
        const double duple = peak(l) + 0.5 * peak(2 * l) + 0.25 * peak(4 * l);
        const double triple = peak(l) + 0.5 * peak(3 * l) + 0.25 * peak(6 * l);
        const double score = prior * std::max(duple, triple);
        if (score > bestScore) {
            bestScore = score;
            best = {l, peak(l)};
        }
    }
    return best;
}

// Moves each beat onto the strongest onset within `reach` frames, placed
// between frames by a parabola; a beat with no onset near stays.
void MoveOntoOnsets(std::vector<double>& beats, const std::vector<float>& onsets, double reach) {
    for (double& b : beats) {
        const auto from = static_cast<std::ptrdiff_t>(std::ceil(b - reach));
        const auto to = static_cast<std::ptrdiff_t>(std::floor(b + reach));
        std::ptrdiff_t top = -1;
        for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(1, from); i <= to && i + 1 < static_cast<std::ptrdiff_t>(onsets.size()); ++i)
            if (top < 0 || onsets[static_cast<std::size_t>(i)] > onsets[static_cast<std::size_t>(top)]) top = i;
        if (top < 0 || onsets[static_cast<std::size_t>(top)] < 0.1f) continue;
        const double l = onsets[static_cast<std::size_t>(top - 1)], c = onsets[static_cast<std::size_t>(top)],
                     r = onsets[static_cast<std::size_t>(top + 1)];
        const double bend = l - 2 * c + r;
        const double shift = bend < 0 ? std::clamp(0.5 * (l - r) / bend, -0.5, 0.5) : 0.0;
        b = static_cast<double>(top) + shift;
    }
    for (std::size_t i = 1; i < beats.size(); ++i) beats[i] = std::max(beats[i], beats[i - 1] + 1);
}

// The tempo level settled by the accents: beats whose half-way points are
// struck nearly as hard as they are count twice as fast (the snare of a
// fast rock beat between its kicks); beats every other one of which is
// struck much softer, at a tempo fast enough to be eighths, count half as
// fast (the eighths of a slow ballad),
// keeping the stronger ones.
bool Struck(const std::vector<float>& activation, double at) { return MaxNear(activation, at, 2) >= kStruck; }

template <typename Accent>
void SettleLevel(std::vector<double>& beats, const Accent& accent, double fps) {
    if (beats.size() < 8) return;
    double on = 0, halfway = 0, even = 0, odd = 0;
    for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
        const double a = accent(beats[i]);
        on += a;
        halfway += accent(0.5 * (beats[i] + beats[i + 1]));
        (i % 2 ? odd : even) += a;
    }
    const double bpm = 60 * fps * static_cast<double>(beats.size() - 1) / (beats.back() - beats.front());
    if (halfway >= kHalfwayShare * on && 2 * bpm <= kFastestCounted) {
        std::vector<double> faster;
        for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
            faster.push_back(beats[i]);
            faster.push_back(0.5 * (beats[i] + beats[i + 1]));
        }
        faster.push_back(beats.back());
        beats = faster;
    } else if (std::min(even, odd) < kSoftShare * std::max(even, odd) && bpm >= kEighthsFrom &&
               bpm / 2 >= kSlowestCounted) {
        std::vector<double> slower;
        for (std::size_t i = odd > even ? 1 : 0; i < beats.size(); i += 2) slower.push_back(beats[i]);
        beats = slower;
    }
}

// Two beats read as one where the kick and the snare alternate (a backbeat
// at 160-180 BPM read at 80-90): at the right tempo the snare falls on
// every other beat (2 and 4), with the kick on the others; read at half
// the tempo, it falls on every beat (or every half-way point) alike, and
// the kick on the other points. True when the beats are twice as fast
// (up to kFastestCounted BPM).
bool HalfABackbeat(const std::vector<double>& beats, const std::vector<float>& snare, const std::vector<float>& low,
                   double fps) {
    if (beats.size() < 8) return false;
    // Summed over the beats (by parity) and over the points half-way.
    double snareOn[2] = {0, 0}, snareHalf[2] = {0, 0}, kickOn = 0, kickHalf = 0;
    for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
        const double half = 0.5 * (beats[i] + beats[i + 1]);
        snareOn[i % 2] += MaxNear(snare, beats[i], 2);
        snareHalf[i % 2] += MaxNear(snare, half, 2);
        kickOn += MaxNear(low, beats[i], 2);
        kickHalf += MaxNear(low, half, 2);
    }
    const double bpm = 60 * fps * static_cast<double>(beats.size() - 1) / (beats.back() - beats.front());
    if (2 * bpm > kFastestCounted) return false;
    auto alike = [](const double (&s)[2]) { return std::min(s[0], s[1]) >= kSnareAlike * std::max(s[0], s[1]); };
    const double on = snareOn[0] + snareOn[1], between = snareHalf[0] + snareHalf[1];
    const bool onBeats = alike(snareOn) && on >= kSnareLead * between && kickHalf >= kKickShare * kickOn;
    const bool halfWay = alike(snareHalf) && between >= kSnareLead * on && kickOn >= kKickShare * kickHalf;
    return onBeats || halfWay;
}

// Beats counted in twos where the music moves in threes (a 6/8 read as
// 3/4): on the lattice of half beats, every third point, at its best phase,
// is struck this much harder than the beats are. Those points become the
// beats (two thirds of the tempo), down to kSlowestCounted BPM.
template <typename Accent>
void SettleThirds(std::vector<double>& beats, const Accent& accent, double fps) {
    if (beats.size() < 8) return;
    std::vector<double> lattice;
    for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
        lattice.push_back(beats[i]);
        lattice.push_back(0.5 * (beats[i] + beats[i + 1]));
    }
    lattice.push_back(beats.back());
    std::vector<double> struck(lattice.size());
    for (std::size_t j = 0; j < lattice.size(); ++j) struck[j] = accent(lattice[j]);
    double on = 0;
    int count = 0;
    for (std::size_t j = 0; j < lattice.size(); j += 2, ++count) on += struck[j];
    on /= std::max(count, 1);
    double best = 0;
    std::size_t phase = 0;
    for (std::size_t r = 0; r < 3; ++r) {
        double sum = 0;
        int n = 0;
        for (std::size_t j = r; j < lattice.size(); j += 3, ++n) sum += struck[j];
        if (n > 0 && sum / n > best) {
            best = sum / n;
            phase = r;
        }
    }
    const double bpm = 60 * fps * static_cast<double>(beats.size() - 1) / (beats.back() - beats.front());
    if (best < kThirdsLead * on || bpm * 2 / 3 < kSlowestCounted) return;
    std::vector<double> slower;
    for (std::size_t j = phase; j < lattice.size(); j += 3) slower.push_back(lattice[j]);
    beats = slower;
}

} // namespace

std::vector<float> BeatActivation(const BeatFeatures& f) {
    const std::vector<float> low = Scaled(f.low), mid = Scaled(f.mid), high = Scaled(f.high);
    const int reach = std::max(1, static_cast<int>(0.1 * f.FramesPerSecond()));
    const std::vector<float> harmony = Scaled(Peaks(f.harmony, reach));
    const std::vector<float> loud = Scaled(f.loud);
    std::vector<float> a(f.Size(), 0.0f);
    const double total = kLowWeight + kMidWeight + kHighWeight + kHarmonyWeight + kLoudWeight;
    for (std::size_t t = 0; t < a.size(); ++t) {
        const double chord = std::max({static_cast<double>(harmony[t]), t > 0 ? 0.7 * harmony[t - 1] : 0.0,
                                       t + 1 < a.size() ? 0.7 * harmony[t + 1] : 0.0});
        const double v = (kLowWeight * low[t] + kMidWeight * mid[t] + kHighWeight * high[t] + kHarmonyWeight * chord +
                         kLoudWeight * loud[t]) / total;
        a[t] = static_cast<float>(v);
    }
    // Onsets stand above the sound's running level: a steady noise or a
    // wash of cymbals is no beat. The mean over a quarter second either side
    // is taken off.
    const auto span = static_cast<std::size_t>(std::max(1.0, kBackgroundSpan * f.FramesPerSecond()));
    std::vector<double> sum(a.size() + 1, 0.0);
    for (std::size_t t = 0; t < a.size(); ++t) sum[t + 1] = sum[t] + a[t];
    std::vector<float> out(a.size());
    for (std::size_t t = 0; t < a.size(); ++t) {
        const std::size_t from = t >= span ? t - span : 0, to = std::min(a.size(), t + span + 1);
        const double background = (sum[to] - sum[from]) / static_cast<double>(to - from);
        out[t] = static_cast<float>(std::clamp(kActivationGain * (a[t] - background), 0.0, 1.0));
    }
    return out;
}

std::vector<float> BeatConfidence(const BeatFeatures& features, const std::vector<double>& beats) {
    const std::vector<float> a = BeatActivation(features);
    std::vector<int> struck(beats.size());
    for (std::size_t i = 0; i < beats.size(); ++i) struck[i] = Struck(a, beats[i]) ? 1 : 0;
    std::vector<float> confidence(beats.size());
    for (std::size_t i = 0; i < beats.size(); ++i) {
        const std::size_t from = i >= kConfidenceReach ? i - kConfidenceReach : 0;
        const std::size_t to = std::min(beats.size(), i + kConfidenceReach + 1);
        int sum = 0;
        for (std::size_t j = from; j < to; ++j) sum += struck[j];
        confidence[i] = static_cast<float>(sum) / static_cast<float>(to - from);
    }
    return confidence;
}

TrackedBeats TrackBeatsOverPiece(const BeatFeatures& features, std::optional<double> period) {
    TrackedBeats tracked;
    const double fps = features.FramesPerSecond();
    if (fps <= 0 || features.Size() < 16) return tracked;
    const std::vector<float> a = BeatActivation(features);
    Level level;
    if (period && *period > 1) {
        level.period = *period;
    } else {
        level = ChooseLevel(a, fps);
        if (level.period <= 0) return tracked;
    }
    tracked.period = level.period;
    const std::vector<double> r = Autocorrelation(a, static_cast<std::size_t>(level.period) + 2);
    if (r[0] > 0) {
        const auto i = static_cast<std::size_t>(level.period);
        tracked.clarity = std::max({r[i - 1], r[i], r[i + 1]}) / r[0];
    }
    const double slower = period ? 1.03 : 1 / kSlowerReach, faster = period ? 0.97 : 1 / kFasterReach;
    auto decode = [&](double around) {
        const int shortest = std::max(2, static_cast<int>(std::floor(around * faster)));
        const int longest = std::max(shortest, static_cast<int>(std::ceil(around * slower)));
        return DecodeBeats(a, shortest, longest).beats;
    };
    std::vector<double> beats = decode(level.period);
    if (beats.size() < 2) return tracked;

    const std::vector<float> low = Scaled(features.low), mid = Scaled(features.mid);
    const int reach = std::max(1, static_cast<int>(0.1 * fps));
    const std::vector<float> harmony = Scaled(Peaks(features.harmony, reach));
    const std::vector<float> loud = Scaled(features.loud);
    // A snare (or a clap) is struck across the mid and high bands at once,
    // where a chord stab strikes the mid band and a hat the high one.
    const std::vector<float> high = Scaled(features.high);
    std::vector<float> snare(mid.size());
    for (std::size_t t = 0; t < snare.size(); ++t) snare[t] = std::min(mid[t], high[t]);
    auto accent = [&](double at) {
        return MaxNear(loud, at, 2) + 0.5 * MaxNear(low, at, 2) + 0.5 * MaxNear(snare, at, 2) + MaxNear(harmony, at, 3);
    };
    // A backbeat read at half its tempo is decoded again at its own.
    const bool backbeat = !period && HalfABackbeat(beats, snare, low, fps);
    if (backbeat) {
        std::vector<double> again = decode(level.period / 2);
        if (again.size() >= 2) {
            beats = std::move(again);
            tracked.period = level.period / 2;
        }
    }
    // The off-beat: the kick, the bass and the chord changes fall on the beat.
    double on = 0, between = 0;
    for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
        on += accent(beats[i]);
        between += accent(0.5 * (beats[i] + beats[i + 1]));
    }
    if (between > kOffBeatLead * on) {
        std::vector<double> moved;
        for (std::size_t i = 0; i + 1 < beats.size(); ++i) moved.push_back(0.5 * (beats[i] + beats[i + 1]));
        beats = moved;
    }
    if (!backbeat) SettleLevel(beats, accent, fps);
    SettleThirds(beats, accent, fps);
    MoveOntoOnsets(beats, a, 0.035 * fps);

    // The beats at the ends that stand on no onset (a lead-in, a ringing
    // tail) are left out.
    auto struckAt = [&](double at) { return Struck(a, at); };
    std::size_t first = 0, end = beats.size();
    while (first < end && !struckAt(beats[first])) ++first;
    while (end > first && !struckAt(beats[end - 1])) --end;
    beats = std::vector<double>(beats.begin() + static_cast<std::ptrdiff_t>(first), beats.begin() + static_cast<std::ptrdiff_t>(end));

    tracked.confidence = BeatConfidence(features, beats);
    tracked.beats = std::move(beats);
    return tracked;
}

} // namespace zv
