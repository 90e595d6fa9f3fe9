#include "beats/BeatAnalysis.h"

#include <algorithm>
#include <cmath>

#include "beats/BarFinder.h"
#include "beats/BeatGrid.h"
#include "beats/BeatTracker.h"
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
// Below this periodicity of the tracker's activation there is no steady beat.
constexpr double kLeastTrackedClarity = 0.15;
// Seconds the fitted grid may stand from the tracked beats.
constexpr double kPhaseReach = 0.02;
// A found tempo this close to a whole number of BPM (or within three
// standard errors of it, up to kWholeBpmReach) is taken as that number.
constexpr double kWholeBpmSure = 0.02;
constexpr double kWholeBpmReach = 0.05;
// The downbeat's place in the bar must be struck this much louder than the
// other places to be taken as bar 1.
constexpr double kDownbeatLead = 1.25;

// Added to the kind of a beat item below kSureBeat.
constexpr const char* kUnsure = " unsure";

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

// The curve frame of a feature frame (both count from the stretch's start).
double CurveFrame(const OnsetCurve& curve, double featureFrame) {
    const double sample = featureFrame * curve.features.hop;
    // ValueSample(k) = (k + 1 - lead) x hop - kLagShare x window, inverted.
    const double atZero = curve.ValueSample(0);
    return (sample - atZero) / curve.hop;
}

double FeatureFrame(const OnsetCurve& curve, double curveFrame) {
    return curve.features.hop > 0 ? curve.ValueSample(curveFrame) / curve.features.hop : 0;
}

// The beats tracked over the whole stretch (BeatTracker): a tempo map where
// the tempo moves, else the grid through them fitted to the onsets.
Placed FoundTempo(const OnsetCurve& curve, const Novelty& timing) {
    Placed placed;
    const TrackedBeats found = TrackBeatsOverPiece(curve.features);
    if (found.beats.size() < static_cast<std::size_t>(kLeastStruck) || found.clarity < kLeastTrackedClarity)
        return placed;
    std::vector<double> tracked;
    for (const double b : found.beats) tracked.push_back(CurveFrame(curve, b));
    long hits = 0;
    for (const float c : found.confidence) hits += c >= kSureBeat ? 1 : 0;
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
    if (!(line.period > 0)) return placed;
    GridFit fit = FitGrid(timing, line.phase, line.period, false);
    // The fit may only settle the grid, not move it off the tracked beats.
    if (fit.struck < kLeastStruck || std::fabs(fit.period / line.period - 1) > 0.01) {
        fit = FitGrid(timing, line.phase, line.period, true);
        if (fit.struck < kLeastStruck) return placed;
    }
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
    // The grid's phase is the tracked beats' own where the onset curve
    // places it far from them (it peaks late on a swelling attack, a bowed
    // chord).
    {
        double sum = 0;
        for (const double at : tracked) {
            const double k = std::round((at - fit.phase) / fit.period);
            sum += at - k * fit.period - fit.phase;
        }
        // Within 20 ms the onset curve's own placing is the finer one.
        const double shift = sum / static_cast<double>(tracked.size());
        if (std::fabs(shift) > kPhaseReach * timing.FramesPerSecond()) fit.phase += shift;
    }
    // The grid spans the tracked beats.
    const auto first = static_cast<long>(std::lround((tracked.front() - fit.phase) / fit.period));
    const auto last = static_cast<long>(std::lround((tracked.back() - fit.phase) / fit.period));
    placed.steady = static_cast<double>(hits) >= kLeastStruckShare * static_cast<double>(tracked.size());
    for (long k = first; k <= last; ++k) placed.beats.push_back(fit.Beat(k));
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
        } else if (!ReadBeatFeatures(mono, count, sampleRate, curve.features, progress)) {
            return std::nullopt;
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
    analysis.beatsPerBar = options.beatsPerBar > 0 ? std::clamp(options.beatsPerBar, 1, 32) : 4;
    analysis.meter = MeterName(analysis.beatsPerBar, false);
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
            placed = FoundTempo(curve, timing);
        if (!placed.steady || placed.beats.empty()) return analysis;
        TrimQuietEnds(curve, placed.beats);

        analysis.steady = true;
        analysis.tempoMap = placed.tempoMap;
        analysis.bpm = options.bpm ? *options.bpm : 60.0 * fps / placed.period;
        analysis.slowestBpm = options.bpm ? *options.bpm : 60.0 * fps / placed.longest;
        analysis.fastestBpm = options.bpm ? *options.bpm : 60.0 * fps / placed.shortest;
        const int64_t last = firstSample + curve.samples - 1;
        std::vector<double> kept;   // the kept beats' curve frames
        // An attack on the first sample is placed up to a hop (or 20 ms) early.
        const int64_t earliest = firstSample - std::max<int64_t>(curve.hop, curve.sampleRate / 50);
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
        std::vector<double> inFeatures;   // the kept beats' feature frames
        for (const double at : kept) inFeatures.push_back(FeatureFrame(curve, at));
        const std::vector<float> confidence = BeatConfidence(curve.features, inFeatures);
        for (std::size_t i = 0; i < analysis.beats.size() && i < confidence.size(); ++i)
            analysis.beats[i].confidence = confidence[i];
        const int askedBars = options.beatsPerBar > 0 ? analysis.beatsPerBar : 0;
        const Bars bars = FindBars(curve.features, inFeatures, askedBars);
        analysis.beatsPerBar = bars.beatsPerBar;
        analysis.meter = bars.meter;
        std::size_t downbeat = bars.downbeat;
        if (options.downbeatSample) {
            const auto it = std::lower_bound(analysis.beats.begin(), analysis.beats.end(), *options.downbeatSample,
                                             [](const Beat& b, int64_t s) { return b.sample < s; });
            downbeat = static_cast<std::size_t>(it - analysis.beats.begin());
            if (downbeat == analysis.beats.size() ||
                (downbeat > 0 && *options.downbeatSample - analysis.beats[downbeat - 1].sample <
                                     it->sample - *options.downbeatSample))
                --downbeat;
        } else if (!bars.fromChords) {
            // Drums alone: bar 1 is where they strike loudest, in the bars
            // asked for (else fours, or twos of a beat in three: 6/8).
            analysis.beatsPerBar = askedBars > 0 ? askedBars : bars.compound ? 2 : 4;
            analysis.meter = MeterName(analysis.beatsPerBar, bars.compound);
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
                         std::string(b.beat == 1 ? "downbeat" : "beat") + (b.confidence < kSureBeat ? kUnsure : "")});
    return items;
}

std::vector<TrackItem> OnsetItems(const BeatAnalysis& analysis) {
    std::vector<TrackItem> items;
    items.reserve(analysis.onsets.size());
    for (const int64_t s : analysis.onsets) items.push_back({s, s, "", "onset"});
    return items;
}

} // namespace zv
