#include "dialogue/WordTransfer.h"

#include <algorithm>

#include "dialogue/WordKind.h"

namespace zv {

namespace {

// A point word still covers its one sample, as on its lane.
int64_t EndOf(const TrackItem& item) { return std::max(item.end, item.start + 1); }

bool ByStart(const TrackItem& a, const TrackItem& b) { return a.start < b.start; }

} // namespace

WordRun LineAround(const std::vector<TrackItem>& words, std::size_t word, int64_t lineGap) {
    if (word >= words.size()) return {};
    std::size_t first = word, last = word + 1;
    const std::optional<int64_t> line = WordKind::LineOf(words[word].kind);
    // Whether the words i and i - 1 are of one line.
    const auto joined = [&](std::size_t i) {
        if (line) return WordKind::LineOf(words[i - 1].kind) == line && WordKind::LineOf(words[i].kind) == line;
        return !WordKind::LineOf(words[i - 1].kind) && !WordKind::LineOf(words[i].kind) &&
               words[i].start - EndOf(words[i - 1]) < lineGap;
    };
    while (first > 0 && joined(first)) --first;
    while (last < words.size() && joined(last)) ++last;
    return {first, last};
}

std::optional<TransferredTracks> TransferWords(const BreakdownTracks& from, const BreakdownTracks& to, WordRun run) {
    if (run.empty() || run.last > from.words.size()) return std::nullopt;
    // The moved words must find room among the other character's.
    for (std::size_t i = run.first; i < run.last; ++i) {
        const TrackItem& w = from.words[i];
        for (const TrackItem& other : to.words)
            if (other.start < EndOf(w) && w.start < EndOf(other)) return std::nullopt;
    }
    TransferredTracks out{from, to};
    // The phonemes owned by the run: those starting inside one of its words.
    const PhonemeRun firstRun = PhonemesOfWord(from, run.first);
    const PhonemeRun lastRun = PhonemesOfWord(from, run.last - 1);
    const std::size_t p0 = firstRun.first, p1 = std::max(lastRun.last, firstRun.first);
    std::vector<TrackItem> phonemes, kept;
    for (std::size_t i = 0; i < from.phonemes.size(); ++i) {
        bool owned = false;
        if (i >= p0 && i < p1)
            for (std::size_t w = run.first; w < run.last && !owned; ++w)
                owned = from.phonemes[i].start >= from.words[w].start && from.phonemes[i].start < EndOf(from.words[w]);
        (owned ? phonemes : kept).push_back(from.phonemes[i]);
    }
    out.from.phonemes = std::move(kept);
    out.from.words.erase(out.from.words.begin() + static_cast<std::ptrdiff_t>(run.first),
                         out.from.words.begin() + static_cast<std::ptrdiff_t>(run.last));
    out.to.words.insert(out.to.words.end(), from.words.begin() + static_cast<std::ptrdiff_t>(run.first),
                        from.words.begin() + static_cast<std::ptrdiff_t>(run.last));
    out.to.phonemes.insert(out.to.phonemes.end(), phonemes.begin(), phonemes.end());
    // Tracks keep their items sorted by start, ties in the order they came.
    std::stable_sort(out.to.words.begin(), out.to.words.end(), ByStart);
    std::stable_sort(out.to.phonemes.begin(), out.to.phonemes.end(), ByStart);
    return out;
}

} // namespace zv
