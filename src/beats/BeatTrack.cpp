#include "beats/BeatTrack.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "beats/BarFinder.h"
#include "beats/BeatGrid.h"

namespace zv {

namespace {

constexpr std::string_view kUnsureKind = " unsure";

// "12.3" -> bar 12, beat 3 ("-1.4" before the downbeat); false otherwise.
bool ParseBarBeat(const std::string& text, int32_t& bar, int32_t& beat) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* dot = std::find(begin, end, '.');
    if (dot == end) return false;
    const auto b = std::from_chars(begin, dot, bar);
    const auto n = std::from_chars(dot + 1, end, beat);
    return b.ec == std::errc{} && b.ptr == dot && n.ec == std::errc{} && n.ptr == end && beat >= 1 && beat <= 32;
}

} // namespace

BeatAnalysis AnalysisOfBeatItems(const std::vector<TrackItem>& items, int32_t sampleRate, std::vector<int64_t> onsets) {
    BeatAnalysis analysis;
    analysis.sampleRate = sampleRate;
    analysis.onsets = std::move(onsets);
    int beatsPerBar = 1;
    for (const TrackItem& item : items) {
        Beat beat{item.start, 0, 0};
        if (!item.IsPoint() || !ParseBarBeat(item.text, beat.bar, beat.beat)) continue;
        // An unsure beat's kind ends " unsure"; how unsure is not kept.
        if (item.kind.size() >= kUnsureKind.size() &&
            item.kind.compare(item.kind.size() - kUnsureKind.size(), kUnsureKind.size(), kUnsureKind) == 0)
            beat.confidence = kSureBeat / 2;
        if (!analysis.beats.empty() && beat.sample <= analysis.beats.back().sample) continue;
        beatsPerBar = std::max(beatsPerBar, static_cast<int>(beat.beat));
        analysis.beats.push_back(beat);
    }
    analysis.beatsPerBar = beatsPerBar;
    analysis.meter = MeterName(beatsPerBar, false);
    if (analysis.beats.size() < 2 || sampleRate <= 0) return analysis;

    std::vector<double> at;
    at.reserve(analysis.beats.size());
    for (const Beat& b : analysis.beats) at.push_back(static_cast<double>(b.sample));
    const BeatLine line = FitLine(at, 0, at.size());
    if (!(line.period > 0)) return analysis;
    const double minute = 60.0 * sampleRate;
    analysis.steady = true;
    analysis.bpm = minute / line.period;
    analysis.slowestBpm = analysis.fastestBpm = analysis.bpm;
    double longest = 0, shortest = 0;
    if (TempoDrift(at, longest, shortest) > kTempoMapDrift && longest > 0 && shortest > 0) {
        analysis.tempoMap = true;
        analysis.slowestBpm = minute / longest;
        analysis.fastestBpm = minute / shortest;
    }
    return analysis;
}

std::optional<std::size_t> NearestBeat(const BeatAnalysis& analysis, int64_t sample) {
    const std::vector<Beat>& beats = analysis.beats;
    if (beats.empty()) return std::nullopt;
    const auto it = std::lower_bound(beats.begin(), beats.end(), sample,
                                     [](const Beat& b, int64_t s) { return b.sample < s; });
    auto index = static_cast<std::size_t>(it - beats.begin());
    if (index == beats.size() || (index > 0 && sample - beats[index - 1].sample <= it->sample - sample)) --index;
    return index;
}

BeatOptions KeptBarOptions(const BeatAnalysis& analysis) {
    BeatOptions options;
    options.beatsPerBar = analysis.beatsPerBar;
    for (const Beat& b : analysis.beats) {
        if (b.bar == 1 && b.beat == 1) {
            options.downbeatSample = b.sample;
            break;
        }
    }
    return options;
}

BeatAnalysis LaidGrid(double bpm, int64_t anchor, int64_t from, int64_t to, int32_t sampleRate, int beatsPerBar) {
    BeatAnalysis analysis;
    analysis.sampleRate = sampleRate;
    analysis.beatsPerBar = std::clamp(beatsPerBar, 1, 32);
    if (!RefusedTempo(bpm).empty() || sampleRate <= 0 || to <= from) return analysis;
    const double period = 60.0 * sampleRate / bpm;
    // Beat k of the grid lies at anchor + k periods; k = 0 is bar 1, beat 1.
    const auto perBar = static_cast<int64_t>(analysis.beatsPerBar);
    for (auto k = static_cast<int64_t>(std::ceil(static_cast<double>(from - anchor) / period));; ++k) {
        const int64_t at = anchor + std::llround(static_cast<double>(k) * period);
        if (at >= to) break;
        if (at < from) continue;
        const int64_t bar = k >= 0 ? k / perBar : -((-k + perBar - 1) / perBar);
        analysis.beats.push_back({at, static_cast<int32_t>(1 + bar), static_cast<int32_t>(1 + k - bar * perBar)});
    }
    if (analysis.beats.empty()) return analysis;
    analysis.steady = true;
    analysis.bpm = analysis.slowestBpm = analysis.fastestBpm = bpm;
    return analysis;
}

void ShiftHalfBeat(BeatAnalysis& analysis, int64_t endSample) {
    std::vector<Beat>& beats = analysis.beats;
    if (beats.size() < 2) return;
    std::vector<Beat> moved;
    moved.reserve(beats.size());
    for (std::size_t i = 0; i < beats.size(); ++i) {
        Beat b = beats[i];
        const int64_t gap = i + 1 < beats.size() ? beats[i + 1].sample - b.sample : b.sample - beats[i - 1].sample;
        b.sample += gap / 2;
        if (b.sample >= endSample) break;
        moved.push_back(b);
    }
    beats = std::move(moved);
}

std::string RefusedTempo(double bpm) {
    if (std::isfinite(bpm) && bpm >= kSlowestTypedBpm && bpm <= kFastestTypedBpm) return {};
    char text[160];
    if (std::isfinite(bpm))
        std::snprintf(text, sizeof text, "A tempo of %.2f BPM can't be used: the tempo must be from %g to %g BPM.", bpm,
                      kSlowestTypedBpm, kFastestTypedBpm);
    else
        std::snprintf(text, sizeof text, "The tempo must be from %g to %g BPM.", kSlowestTypedBpm, kFastestTypedBpm);
    return text;
}

} // namespace zv
