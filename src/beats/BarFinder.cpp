#include "beats/BarFinder.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zv {

namespace {

// A beat is compound when its thirds are struck this much more than its half.
constexpr double kThirdsLead = 1.25;
// The low band's share of the accent beside the chord changes.
constexpr double kLowShare = 0.6;
// Four beats a bar (two of three eighths each in compound time) is the
// common count: another must stand out more.
constexpr double kCommonLead = 1.1;
// The mean chord change (chroma distance) that music with chords reaches.
constexpr double kLeastChordChange = 0.1;
// A tenth of the beats change harmony at least this much where there are
// chords at all (a drum loop's repeated bars change it not at all).
constexpr double kChordsPresent = 0.01;
// Below this stand-out no place in the bar is accented clearly enough to
// be bar 1 (a shuffle's kick on 1 and 3 alike, its chords on 2 and 4):
// the first beat is.
constexpr double kLeastStandOut = 0.4;
// In compound time, two beats a bar (6/8) unless four stand out clearly
// more (phrases of two bars stand out at four beats too).
constexpr double kCompoundLead = 1.3;

double MaxNear(const std::vector<float>& v, double at, double reach) {
    const auto from = std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(std::floor(at - reach)));
    const auto to = std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(v.size()) - 1,
                                             static_cast<std::ptrdiff_t>(std::ceil(at + reach)));
    double best = 0;
    for (std::ptrdiff_t i = from; i <= to; ++i) best = std::max(best, static_cast<double>(v[static_cast<std::size_t>(i)]));
    return best;
}

double Mean(const std::vector<double>& v) {
    double sum = 0;
    for (const double x : v) sum += x;
    return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

// How much place `best` of a bar of `count` stands out: its mean accent
// over the mean of the other places, and that place.
double StandOut(const std::vector<double>& accents, int count, std::size_t& best) {
    // The median accent at each place: a loud start or a ringing end
    // weighs no more than any other bar.
    std::vector<std::vector<double>> at(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < accents.size(); ++i) at[i % at.size()].push_back(accents[i]);
    std::vector<double> place(at.size(), 0.0);
    best = 0;
    for (std::size_t p = 0; p < at.size(); ++p) {
        std::vector<double>& v = at[p];
        if (!v.empty()) {
            std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
            place[p] = v[v.size() / 2];
        }
        if (place[p] > place[best]) best = p;
    }
    double others = 0;
    for (std::size_t p = 0; p < place.size(); ++p)
        if (p != best) others += place[p];
    others /= static_cast<double>(count - 1);
    return place[best] - others;
}

// How much the harmony changes at each beat: the chroma of the `span`
// beats after it (a bar's worth) against that of the `span` before, so that
// the notes moving inside a bar (a walking bass, an arpeggio) weigh little
// beside the chords that change at its start.
std::vector<double> ChordChanges(const BeatFeatures& features, const std::vector<double>& beats, std::size_t span) {
    std::vector<double> changes(beats.size(), 0.0);
    const std::size_t frames = features.chroma.size();
    if (frames == 0) return changes;
    std::vector<std::array<float, 12>> sum(frames + 1, std::array<float, 12>{});
    for (std::size_t t = 0; t < frames; ++t)
        for (std::size_t i = 0; i < 12; ++i) sum[t + 1][i] = sum[t][i] + features.chroma[t][i];
    auto frame = [&](double at) { return std::clamp<std::size_t>(static_cast<std::size_t>(std::max(0.0, std::round(at))), 0, frames); };
    auto profile = [&](std::size_t from, std::size_t to) {
        std::array<float, 12> p{};
        for (std::size_t i = 0; i < 12; ++i) p[i] = sum[to][i] - sum[from][i];
        return p;
    };
    for (std::size_t i = span; i + span < beats.size(); ++i)
        changes[i] = ChromaDistance(profile(frame(beats[i - span]), frame(beats[i])),
                                    profile(frame(beats[i]), frame(beats[i + span])));
    return changes;
}

} // namespace

std::string MeterName(int beatsPerBar, bool compound) {
    if (compound) return std::to_string(3 * beatsPerBar) + "/8";
    return std::to_string(beatsPerBar) + "/4";
}

Bars FindBars(const BeatFeatures& features, const std::vector<double>& beats, int beatsPerBar) {
    Bars bars;
    bars.beatsPerBar = beatsPerBar > 0 ? beatsPerBar : 4;
    bars.meter = MeterName(bars.beatsPerBar, false);
    if (beats.size() < 4 || features.Size() == 0) return bars;
    const double fps = features.FramesPerSecond();
    const double reach = 0.03 * fps;
    std::vector<double> low;
    for (const double b : beats) low.push_back(MaxNear(features.low, b, reach));
    const double lowMean = Mean(low);
    // The accent of each beat for bars of `count`.
    auto accentsFor = [&](int count) {
        const std::vector<double> harmony = ChordChanges(features, beats, static_cast<std::size_t>(count));
        // A drum loop's chroma changes a little everywhere: its harmony
        // counts only as far as it comes near a chord change's.
        const double harmonyMean = std::max(Mean(harmony), kLeastChordChange);
        std::vector<double> accents(beats.size(), 0.0);
        for (std::size_t i = 0; i < beats.size(); ++i)
            accents[i] = harmony[i] / harmonyMean + kLowShare * (lowMean > 0 ? low[i] / lowMean : 0);
        return accents;
    };

    {
        // Chords change at some beats (a drum loop's bars are all alike).
        std::vector<double> changes = ChordChanges(features, beats, 4);
        const auto k = static_cast<std::ptrdiff_t>(changes.size() * 9 / 10);
        std::nth_element(changes.begin(), changes.begin() + k, changes.end());
        bars.fromChords = changes[static_cast<std::size_t>(k)] >= kChordsPresent;

    }

    // Thirds or halves: the onsets inside each beat (and at its sixths, where
    // neither a compound nor a simple beat is struck).
    std::vector<double> firstThirds, secondThirds, halves, sixths;
    for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
        const double from = beats[i], span = beats[i + 1] - beats[i];
        auto strike = [&](double share) {
            const double at = from + share * span;
            return MaxNear(features.low, at, 1) + MaxNear(features.mid, at, 1) + MaxNear(features.high, at, 1);
        };
        firstThirds.push_back(strike(1.0 / 3));
        secondThirds.push_back(strike(2.0 / 3));
        halves.push_back(strike(0.5));
        sixths.push_back(strike(1.0 / 6));
    }
    // Both thirds struck: a swung beat strikes only the second (a shuffle
    // is four beats a bar, not 12/8), and neither stands out where the
    // sixths ring as loud.
    const double thirds = std::min(Mean(firstThirds), Mean(secondThirds));
    bars.compound = thirds > kThirdsLead * std::max(Mean(halves), Mean(sixths));

    std::vector<int> counts;
    if (beatsPerBar > 0) counts = {beatsPerBar};
    else if (bars.compound) counts = {2, 4};
    else counts = {3, 4, 5};
    double top = -1e300;
    for (const int count : counts) {
        if (beats.size() < static_cast<std::size_t>(2 * count)) continue;
        std::size_t place = 0;
        double score = StandOut(accentsFor(count), count, place);
        if (count == (bars.compound ? 2 : 4)) score *= bars.compound ? kCompoundLead : kCommonLead;
        if (score > top) {
            top = score;
            bars.beatsPerBar = count;
            bars.downbeat = place;
        }
    }
    // No place stands out (every beat struck alike): bar 1 is the first beat.
    if (top < kLeastStandOut) {
        bars.downbeat = 0;
        if (beatsPerBar <= 0) bars.beatsPerBar = bars.compound ? 2 : 4;
    }
    bars.meter = MeterName(bars.beatsPerBar, bars.compound);
    return bars;
}

} // namespace zv
