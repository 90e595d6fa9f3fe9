#include "dialogue/Breakdown.h"

#include "dialogue/WordKind.h"

namespace zv {

std::vector<TrackItem> Breakdown::WordItems() const {
    std::vector<TrackItem> out;
    for (const BreakdownLine& line : lines)
        for (const BreakdownWord& w : line.words) out.push_back({w.start, w.end, w.text, w.spread ? "spread" : ""});
    return out;
}

std::vector<TrackItem> Breakdown::PhonemeItems() const {
    std::vector<TrackItem> out;
    for (const BreakdownLine& line : lines)
        for (const BreakdownWord& w : line.words)
            for (const BreakdownPhoneme& p : w.phonemes) out.push_back({p.start, p.end, p.text, ""});
    return out;
}

Breakdown Breakdown::FromTracks(const std::vector<TrackItem>& words, const std::vector<TrackItem>& phonemes,
                                int32_t sampleRate, int64_t soundFrames) {
    Breakdown out;
    out.sampleRate = sampleRate;
    out.soundFrames = soundFrames;
    BreakdownLine line;
    for (const TrackItem& w : words) {
        BreakdownWord word{w.text, w.start, w.end, {}, WordKind::IsSpread(w.kind)};
        for (const TrackItem& p : phonemes)
            if (p.start >= w.start && (p.start < w.end || (w.end == w.start && p.start == w.start)))
                word.phonemes.push_back({p.text, p.start, p.end});
        if (!line.text.empty()) line.text += ' ';
        line.text += w.text;
        line.words.push_back(std::move(word));
    }
    if (!line.words.empty()) out.lines.push_back(std::move(line));
    return out;
}

} // namespace zv
