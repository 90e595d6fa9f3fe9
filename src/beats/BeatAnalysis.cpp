#include "beats/BeatAnalysis.h"

#include <algorithm>
#include <cmath>

#include "beats/BeatGrid.h"
#include "beats/Novelty.h"
#include "beats/OnsetDetection.h"
#include "beats/TempoEstimation.h"

namespace zv {

namespace {

// The detection function the tempo is read from.
constexpr const char* kMethod = "specflux";
// Below this periodicity (see TempoEstimate::clarity) there is no steady beat.
constexpr double kLeastClarity = 0.2;
// ... nor when fewer of the grid's beats (between the first and last struck
// one) stand on an onset than this share, or fewer than this many in all.
constexpr double kLeastStruckShare = 0.6;
constexpr long kLeastStruck = 6;
// A found tempo this close to a whole number of BPM (or within three
// standard errors of it, up to kWholeBpmReach) is taken as that number.
constexpr double kWholeBpmSure = 0.02;
constexpr double kWholeBpmReach = 0.05;
// The downbeat's place in the bar must be struck this much louder than the
// other places to be taken as bar 1.
constexpr double kDownbeatLead = 1.25;

// Beats at the ends where the sound is this much quieter than at the
// median beat (-26 dB) stand in the noise before or after the music.
constexpr double kQuietEnd = 0.05;

// The level of the sound at a beat: its loudest window over the next 60 ms.
double LevelAt(const OnsetCurve& curve, double at) {
    const double perSecond = static_cast<double>(curve.sampleRate) / curve.hop;
    const auto from = static_cast<std::size_t>(std::max(0.0, at));
    const auto to = std::min(curve.levels.size(), static_cast<std::size_t>(std::max(0.0, at + 0.06 * perSecond)) + 1);
    double level = 0;
    for (std::size_t i = from; i < to; ++i) level = std::max(level, static_cast<double>(curve.levels[i]));
    return level;
}

// Leaves out the beats at the ends that stand in the quiet around the music.
void TrimQuietEnds(const OnsetCurve& curve, std::vector<double>& beats) {
    if (beats.size() < 3) return;
    std::vector<double> levels;
    for (const double b : beats) levels.push_back(LevelAt(curve, b));
    std::vector<double> sorted = levels;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double least = kQuietEnd * sorted[sorted.size() / 2];
    std::size_t from = 0, to = beats.size();
    while (from < to && levels[from] < least) ++from;
    while (to > from && levels[to - 1] < least) --to;
    beats = std::vector<double>(beats.begin() + static_cast<std::ptrdiff_t>(from),
                                beats.begin() + static_cast<std::ptrdiff_t>(to));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The place in the bar struck loudest, or 0.
std::size_t LoudestPlace(const Novelty& accents, const std::vector<double>& beats, int beatsPerBar) {
    if (beatsPerBar < 2 || beats.size() < static_cast<std::size_t>(beatsPerBar) * 2) return 0;
    std::vector<double> sum(static_cast<std::size_t>(beatsPerBar), 0.0);
    std::vector<int> count(static_cast<std::size_t>(beatsPerBar), 0);
    for (std::size_t i = 0; i < beats.size(); ++i) {
        sum[i % sum.size()] += accents.AttackAt(beats[i]);
        ++count[i % sum.size()];
    }
    std::size_t best = 0;
    for (std::size_t p = 0; p < sum.size(); ++p) {
        sum[p] /= std::max(count[p], 1);
        if (sum[p] > sum[best]) best = p;
    }
    double others = 0;
    for (std::size_t p = 0; p < sum.size(); ++p)
        if (p != best) others += sum[p];
    others /= static_cast<double>(sum.size() - 1);
    return sum[best] > kDownbeatLead * others ? best : 0;
}

struct Placed {
    std::vector<double> beats;   // curve frames
    bool tempoMap = false;
    double period = 0, longest = 0, shortest = 0;
    bool steady = false;
};

Placed FixedTempo(const Novelty& timing, const Novelty& accents, double period) {
    Placed placed;
    // A typed tempo still needs a pulse in the sound: at its period, or at
    // twice it (a tempo typed double, half of whose beats fall between the
    // sound's).
    const bool pulse = PulseClarity(timing, accents, period) >= kLeastClarity;
    const bool halfPulse = PulseClarity(timing, accents, 2 * period) >= kLeastClarity;
    if (!pulse && !halfPulse) return placed;
    const GridFit fit = FitGrid(timing, BestPhase(timing, period), period, true);
    if (fit.struck < kLeastStruck) return placed;
    const auto span = static_cast<double>(fit.lastStruck - fit.firstStruck + 1);
    const double share = static_cast<double>(fit.struck) / span;
    placed.steady = share >= kLeastStruckShare || (halfPulse && share >= kLeastStruckShare / 2);
    for (long k = fit.firstStruck; k <= fit.lastStruck; ++k) placed.beats.push_back(fit.Beat(k));
    placed.period = placed.longest = placed.shortest = period;
    return placed;
}

Placed FoundTempo(const Novelty& timing, const Novelty& accents) {
    Placed placed;
    const TempoEstimate estimate = EstimateTempo(timing, accents);
    if (estimate.period <= 0 || estimate.clarity < kLeastClarity) return placed;
    std::vector<double> tracked = TrackBeats(timing, estimate.period);
    // Only the beats that stand on an onset, first to last.
    const double floor = timing.OnsetFloor();
    auto struck = [&](double at) { return timing.PeakNear(at, 1.0, floor) != nullptr; };
    const std::size_t from = StrongFirst(timing, tracked), to = StrongEnd(timing, tracked);
    if (from >= to) return placed;
    tracked = std::vector<double>(tracked.begin() + static_cast<std::ptrdiff_t>(from),
                                  tracked.begin() + static_cast<std::ptrdiff_t>(to));
    const auto hits = std::count_if(tracked.begin(), tracked.end(), struck);
    if (hits < kLeastStruck) return placed;

    double longest = 0, shortest = 0;
    const double drift = TempoDrift(tracked, longest, shortest);
    if (drift > kTempoMapDrift) {
        placed.tempoMap = true;
        placed.beats = tracked;
        placed.period = (tracked.back() - tracked.front()) / static_cast<double>(tracked.size() - 1);
        placed.longest = longest;
        placed.shortest = shortest;
        placed.steady = static_cast<double>(hits) >= kLeastStruckShare * static_cast<double>(tracked.size());
        return placed;
    }
    // One tempo: the grid through the tracked beats, fitted to the onsets.
    const BeatLine line = FitLine(tracked, 0, tracked.size());
    const double period = line.period > 0 ? line.period : estimate.period;
    GridFit fit = FitGrid(timing, line.phase, period, false);
    if (fit.struck < kLeastStruck) return placed;
    // A whole number of BPM within the fit's error is the tempo meant (as
    // a sequencer or a click track would have it): the grid is fitted again
    // at exactly that tempo, and kept if it strikes as many onsets.
    const double fps = timing.FramesPerSecond();
    const double bpm = 60 * fps / fit.period;
    const double whole = std::round(bpm);
    const double bpmError = bpm * fit.periodError / fit.period;
    if (std::fabs(bpm - whole) <= std::min(kWholeBpmReach, std::max(kWholeBpmSure, 3 * bpmError))) {
        const GridFit exact = FitGrid(timing, fit.phase, 60 * fps / whole, true);
        if (exact.struck >= fit.struck) fit = exact;
    }
    const long span = fit.lastStruck - fit.firstStruck + 1;
    placed.steady = static_cast<double>(fit.struck) >= kLeastStruckShare * static_cast<double>(span);
    for (long k = fit.firstStruck; k <= fit.lastStruck; ++k) placed.beats.push_back(fit.Beat(k));
    placed.period = placed.longest = placed.shortest = fit.period;
    return placed;
}

} // namespace

void NumberBars(std::vector<Beat>& beats, int beatsPerBar, std::size_t downbeat) {
    const int64_t perBar = std::clamp(beatsPerBar, 1, 32);
    for (std::size_t i = 0; i < beats.size(); ++i) {
        const int64_t from = static_cast<int64_t>(i) - static_cast<int64_t>(downbeat);
        const int64_t bar = FloorDiv(from, perBar);
        beats[i].bar = static_cast<int32_t>(1 + bar);
        beats[i].beat = static_cast<int32_t>(1 + (from - bar * perBar));
    }
}

std::optional<OnsetCurve> ReadOnsets(const float* mono, std::size_t count, int32_t sampleRate,
                                     JobProgress* progress, double onsetThreshold) {
    OnsetCurve curve;
    curve.sampleRate = sampleRate;
    try {
        if (count == 0 || mono == nullptr || sampleRate < 1000) return curve;
        std::string error;
        const OnsetPassOutcome outcome =
            DetectOnsets(mono, count, sampleRate, kMethod, onsetThreshold, progress, curve, error);
        if (outcome == OnsetPassOutcome::Cancelled) return std::nullopt;
        if (outcome == OnsetPassOutcome::Failed) {
            curve = OnsetCurve{};
            curve.sampleRate = sampleRate;
        }
    } catch (...) {
        // Out of memory on a huge stretch: no onsets rather than a crash.
        curve = OnsetCurve{};
        curve.sampleRate = sampleRate;
    }
    return curve;
}

BeatAnalysis PlaceBeats(const OnsetCurve& curve, int64_t firstSample, const BeatOptions& options) {
    BeatAnalysis analysis;
    analysis.sampleRate = curve.sampleRate;
    analysis.beatsPerBar = std::clamp(options.beatsPerBar, 1, 32);
    try {
        for (const int64_t onset : curve.onsets) analysis.onsets.push_back(firstSample + onset);
        if (curve.hop <= 0 || curve.values.empty()) return analysis;
        const double fps = static_cast<double>(curve.sampleRate) / curve.hop;
        const Novelty timing(curve.values, fps);
        const Novelty accents(curve.rises, fps);
        if (!timing.HasSignal()) return analysis;
        Placed placed;
        if (options.bpm && *options.bpm >= kSlowestTypedBpm && *options.bpm <= kFastestTypedBpm)
            placed = FixedTempo(timing, accents, 60.0 * fps / *options.bpm);
        else if (!options.bpm)
            placed = FoundTempo(timing, accents);
        if (!placed.steady || placed.beats.empty()) return analysis;
        TrimQuietEnds(curve, placed.beats);

        analysis.steady = true;
        analysis.tempoMap = placed.tempoMap;
        analysis.bpm = options.bpm ? *options.bpm : 60.0 * fps / placed.period;
        analysis.slowestBpm = options.bpm ? *options.bpm : 60.0 * fps / placed.longest;
        analysis.fastestBpm = options.bpm ? *options.bpm : 60.0 * fps / placed.shortest;
        const int64_t last = firstSample + curve.samples - 1;
        std::vector<double> kept;   // the kept beats' curve frames
        // An attack on the first sample is placed up to a hop early.
        const int64_t earliest = firstSample - curve.hop;
        for (const double at : placed.beats) {
            auto sample = firstSample + static_cast<int64_t>(std::llround(curve.ValueSample(at)));
            if (sample < earliest || sample > last) continue;
            sample = std::max(sample, firstSample);
            if (!analysis.beats.empty() && sample <= analysis.beats.back().sample) continue;
            analysis.beats.push_back({sample, 0, 0});
            kept.push_back(at);
        }
        if (analysis.beats.empty()) {
            analysis.steady = false;
            return analysis;
        }
        std::size_t downbeat = 0;
        if (options.downbeatSample) {
            const auto it = std::lower_bound(analysis.beats.begin(), analysis.beats.end(), *options.downbeatSample,
                                             [](const Beat& b, int64_t s) { return b.sample < s; });
            downbeat = static_cast<std::size_t>(it - analysis.beats.begin());
            if (downbeat == analysis.beats.size() ||
                (downbeat > 0 && *options.downbeatSample - analysis.beats[downbeat - 1].sample <
                                     it->sample - *options.downbeatSample))
                --downbeat;
        } else {
            downbeat = LoudestPlace(accents, kept, analysis.beatsPerBar);
        }
        NumberBars(analysis.beats, analysis.beatsPerBar, downbeat);
    } catch (...) {
        // Out of memory: no beat rather than a crash.
        analysis.steady = false;
        analysis.beats.clear();
    }
    return analysis;
}

std::optional<BeatAnalysis> FindBeats(const float* mono, std::size_t count, int32_t sampleRate,
                                      int64_t firstSample, const BeatOptions& options, JobProgress* progress) {
    const std::optional<OnsetCurve> curve = ReadOnsets(mono, count, sampleRate, progress);
    if (!curve) return std::nullopt;
    BeatAnalysis analysis = PlaceBeats(*curve, firstSample, options);
    if (progress && progress->Cancelled()) return std::nullopt;
    return analysis;
}


std::vector<TrackItem> BeatItems(const BeatAnalysis& analysis) {
    std::vector<TrackItem> items;
    items.reserve(analysis.beats.size());
    for (const Beat& b : analysis.beats)
        items.push_back({b.sample, b.sample, std::to_string(b.bar) + "." + std::to_string(b.beat),
                         b.beat == 1 ? "downbeat" : "beat"});
    return items;
}

std::vector<TrackItem> OnsetItems(const BeatAnalysis& analysis) {
    std::vector<TrackItem> items;
    items.reserve(analysis.onsets.size());
    for (const int64_t s : analysis.onsets) items.push_back({s, s, "", "onset"});
    return items;
}

} // namespace zv
