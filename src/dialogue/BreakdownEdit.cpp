#include "dialogue/BreakdownEdit.h"

#include <algorithm>
#include <cmath>

namespace zv {

namespace {

// A sample of [from, to) moved to the same share of [newFrom, newTo).
int64_t Rescaled(int64_t sample, int64_t from, int64_t to, int64_t newFrom, int64_t newTo) {
    if (to <= from) return newFrom;
    const double share = static_cast<double>(sample - from) / static_cast<double>(to - from);
    return newFrom + std::llround(share * static_cast<double>(newTo - newFrom));
}

} // namespace

PhonemeRun PhonemesOfWord(const BreakdownTracks& tracks, std::size_t word) {
    if (word >= tracks.words.size()) return {};
    const TrackItem& w = tracks.words[word];
    const auto& ph = tracks.phonemes;
    const auto first = std::lower_bound(ph.begin(), ph.end(), w.start,
                                        [](const TrackItem& p, int64_t s) { return p.start < s; });
    auto last = first;
    while (last != ph.end() && last->start < std::max(w.end, w.start + 1)) ++last;
    return {static_cast<std::size_t>(first - ph.begin()), static_cast<std::size_t>(last - ph.begin())};
}

BreakdownTracks MoveWordEdge(const BreakdownTracks& tracks, std::size_t word, bool startEdge, int64_t sample,
                             int64_t soundFrames) {
    if (word >= tracks.words.size()) return tracks;
    BreakdownTracks out = tracks;
    TrackItem& w = out.words[word];
    const int64_t floor = word > 0 ? out.words[word - 1].end : 0;
    const int64_t ceiling = word + 1 < out.words.size() ? out.words[word + 1].start : soundFrames;
    int64_t start = w.start, end = w.end;
    if (startEdge) start = std::clamp(sample, std::min(floor, end - 1), end - 1);
    else end = std::clamp(sample, start + 1, std::max(ceiling, start + 1));
    const PhonemeRun run = PhonemesOfWord(tracks, word);
    for (std::size_t i = run.first; i < run.last; ++i) {
        TrackItem& p = out.phonemes[i];
        p.start = Rescaled(p.start, w.start, w.end, start, end);
        p.end = std::max(Rescaled(p.end, w.start, w.end, start, end), p.start);
    }
    w.start = start;
    w.end = end;
    return out;
}

BreakdownTracks MoveWord(const BreakdownTracks& tracks, std::size_t word, int64_t samples, int64_t soundFrames) {
    if (word >= tracks.words.size()) return tracks;
    BreakdownTracks out = tracks;
    const TrackItem& w = tracks.words[word];
    const int64_t floor = word > 0 ? tracks.words[word - 1].end : 0;
    const int64_t ceiling = word + 1 < tracks.words.size() ? tracks.words[word + 1].start : soundFrames;
    // Never past a neighbour; a word already over one stays put.
    const int64_t delta = std::clamp(samples, std::min<int64_t>(floor - w.start, 0),
                                     std::max<int64_t>(ceiling - w.end, 0));
    const PhonemeRun run = PhonemesOfWord(tracks, word);
    out.words[word].start += delta;
    out.words[word].end += delta;
    for (std::size_t i = run.first; i < run.last; ++i) {
        out.phonemes[i].start += delta;
        out.phonemes[i].end += delta;
    }
    return out;
}

BreakdownTracks MovePhonemeEdge(const BreakdownTracks& tracks, std::size_t phoneme, bool startEdge, int64_t sample) {
    if (phoneme >= tracks.phonemes.size()) return tracks;
    BreakdownTracks out = tracks;
    TrackItem& p = out.phonemes[phoneme];
    // The word it lies in bounds it (a phoneme outside every word only by its neighbours).
    int64_t floor = 0, ceiling = INT64_MAX;
    for (std::size_t w = 0; w < tracks.words.size(); ++w) {
        const PhonemeRun run = PhonemesOfWord(tracks, w);
        if (phoneme >= run.first && phoneme < run.last) {
            floor = tracks.words[w].start;
            ceiling = tracks.words[w].end;
            break;
        }
    }
    if (startEdge) {
        TrackItem* before = phoneme > 0 ? &out.phonemes[phoneme - 1] : nullptr;
        if (before) floor = std::max(floor, before->start + 1);
        const int64_t moved = std::clamp(sample, std::min(floor, p.end - 1), p.end - 1);
        if (before && before->end >= p.start) before->end = std::max(moved, before->start + 1);
        p.start = moved;
    } else {
        TrackItem* after = phoneme + 1 < out.phonemes.size() ? &out.phonemes[phoneme + 1] : nullptr;
        if (after) ceiling = std::min(ceiling, after->end - 1);
        const int64_t moved = std::clamp(sample, p.start + 1, std::max(ceiling, p.start + 1));
        if (after && after->start <= p.end) after->start = std::min(moved, after->end - 1);
        p.end = moved;
    }
    return out;
}

BreakdownTracks ReplaceWords(const BreakdownTracks& tracks, std::size_t first, std::size_t last,
                             const BreakdownTracks& with) {
    last = std::min(last, tracks.words.size());
    if (first >= last) return tracks;
    const std::size_t phFirst = PhonemesOfWord(tracks, first).first;
    const std::size_t phLast = PhonemesOfWord(tracks, last - 1).last;
    BreakdownTracks out;
    out.words.assign(tracks.words.begin(), tracks.words.begin() + static_cast<std::ptrdiff_t>(first));
    out.words.insert(out.words.end(), with.words.begin(), with.words.end());
    out.words.insert(out.words.end(), tracks.words.begin() + static_cast<std::ptrdiff_t>(last), tracks.words.end());
    out.phonemes.assign(tracks.phonemes.begin(), tracks.phonemes.begin() + static_cast<std::ptrdiff_t>(phFirst));
    out.phonemes.insert(out.phonemes.end(), with.phonemes.begin(), with.phonemes.end());
    out.phonemes.insert(out.phonemes.end(), tracks.phonemes.begin() + static_cast<std::ptrdiff_t>(phLast),
                        tracks.phonemes.end());
    return out;
}

} // namespace zv
