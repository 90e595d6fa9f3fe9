#include "dialogue/ScriptBreakdown.h"

#include <algorithm>

namespace zv {

namespace {

bool StartsIn(const TrackItem& item, int64_t from, int64_t to) { return item.start >= from && item.start < to; }

std::vector<TrackItem> Merge(const std::vector<TrackItem>& kept, const std::vector<TrackItem>& added, int64_t from,
                             int64_t to) {
    std::vector<TrackItem> out;
    for (const TrackItem& item : kept)
        if (!StartsIn(item, from, to)) out.push_back(item);
    for (TrackItem item : added) {
        item.start = std::clamp(item.start, from, to);
        item.end = std::clamp(item.end, item.start, to);
        out.push_back(std::move(item));
    }
    std::stable_sort(out.begin(), out.end(), [](const TrackItem& a, const TrackItem& b) { return a.start < b.start; });
    return out;
}

} // namespace

std::vector<SpeakerBreakdown> SplitBySpeaker(const DialogueScript& script, const Breakdown& all) {
    std::vector<SpeakerBreakdown> out;
    for (const std::string& name : script.Speakers()) {
        SpeakerBreakdown s;
        s.name = name;
        s.breakdown.sampleRate = all.sampleRate;
        s.breakdown.soundFrames = all.soundFrames;
        out.push_back(std::move(s));
    }
    const std::vector<ScriptLine>& lines = script.Lines();
    for (std::size_t i = 0; i < lines.size() && i < all.lines.size(); ++i) {
        const auto it = std::find_if(out.begin(), out.end(),
                                     [&](const SpeakerBreakdown& s) { return s.name == lines[i].speaker; });
        if (it != out.end()) it->breakdown.lines.push_back(all.lines[i]);
    }
    return out;
}

ScriptResult BreakDownScript(const DialogueScript& script, DialogueRequest request) {
    ScriptResult out;
    if (script.Refused()) {
        out.result.outcome = DialogueResult::Outcome::Failed;
        out.result.message = script.Error();
        return out;
    }
    request.text = script.SpokenText();
    out.result = BreakDownDialogue(request);
    if (out.result.outcome == DialogueResult::Outcome::Failed || out.result.outcome == DialogueResult::Outcome::Cancelled)
        return out;
    if (script.Named()) {
        out.speakers = SplitBySpeaker(script, out.result.breakdown);
    } else {
        out.speakers.push_back(SpeakerBreakdown{"", out.result.breakdown});
    }
    for (const std::string& note : script.Notes())
        out.result.message += (out.result.message.empty() ? "" : " ") + note;
    return out;
}

BreakdownTracks PlaceInRange(const BreakdownTracks& tracks, const BreakdownTracks& with, int64_t from, int64_t to) {
    if (to < from) std::swap(from, to);
    return {Merge(tracks.words, with.words, from, to), Merge(tracks.phonemes, with.phonemes, from, to)};
}

} // namespace zv
