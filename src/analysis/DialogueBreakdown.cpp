#include "analysis/DialogueBreakdown.h"

#include <vector>

#include "dialogue/BreakdownEdit.h"
#include "dialogue/CharacterList.h"
#include "dialogue/DialogueScript.h"
#include "dialogue/WordKind.h"
#include "document/SoundDocument.h"
#include "sound/MonoMix.h"
#include "sound/SoundData.h"

namespace zv {

namespace {

BreakdownTracks TracksOf(const SoundDocument& document, int character) {
    BreakdownTracks tracks;
    if (const Track* w = document.Find(CharacterList::WordsTrack(character))) tracks.words = w->Items();
    if (const Track* p = document.Find(CharacterList::PhonemesTrack(character))) tracks.phonemes = p->Items();
    return tracks;
}

// The line words [first, last) of `words` are all in, if one.
std::optional<int64_t> LineOfWords(const std::vector<TrackItem>& words, std::size_t first, std::size_t last) {
    if (first >= last || last > words.size()) return std::nullopt;
    const std::optional<int64_t> line = WordKind::LineOf(words[first].kind);
    for (std::size_t i = first + 1; line && i < last; ++i)
        if (WordKind::LineOf(words[i].kind) != line) return std::nullopt;
    return line;
}

} // namespace

DialogueBreakdown::DialogueBreakdown(const SoundData& sound, int64_t from, int64_t to, DialogueRequest request,
                                     std::optional<std::pair<std::size_t, std::size_t>> replace, MouthsFor mouthsFor)
    : sound_(sound), from_(from), to_(to), request_(std::move(request)), replace_(replace),
      mouthsFor_(std::move(mouthsFor)) {}

JobOutcome DialogueBreakdown::Run(JobProgress& progress, std::string& reason) {
    const std::vector<float> mono = MonoMix(sound_, from_, to_);
    DialogueRequest request = request_;
    request.mono = &mono;
    request.firstSample = from_;
    request.progress = &progress;
    if (replace_) {
        // Words of the track aligned again: their text is words, never a script.
        result_ = BreakDownDialogue(request);
        speakers_ = {SpeakerBreakdown{"", result_.breakdown}};
    } else {
        const DialogueScript script = DialogueScript::Parse(request.text, IsEnglishLanguage(request.language));
        ScriptResult done = BreakDownScript(script, request);
        result_ = std::move(done.result);
        speakers_ = std::move(done.speakers);
    }
    if (result_.outcome == DialogueResult::Outcome::Cancelled || progress.Cancelled()) return JobOutcome::Cancelled;
    if (result_.outcome == DialogueResult::Outcome::Failed) {
        reason = result_.message;
        return JobOutcome::Failed;
    }
    return JobOutcome::Finished;
}

TrackEdit DialogueBreakdown::Edit(const SoundDocument& document) const {
    const bool named = speakers_.size() > 1 || (speakers_.size() == 1 && !speakers_[0].name.empty());
    if (!named) {
        // The single unnamed speaker: character 1's plain tracks, as always.
        BreakdownTracks aligned{WordKind::ItemsByLine(result_.breakdown), result_.breakdown.PhonemeItems()};
        if (replace_) {
            // Words aligned again stay in the line they were in, when they were all in one.
            const std::optional<int64_t> line = LineOfWords(TracksOf(document, 1).words, replace_->first, replace_->second);
            for (TrackItem& w : aligned.words) w.kind = WordKind::InLine(w.kind, line);
        }
        const BreakdownTracks tracks = replace_ ? ReplaceWords(TracksOf(document, 1), replace_->first, replace_->second, aligned)
                                       : alone_ ? PlaceInRange(TracksOf(document, 1), aligned, from_, to_)
                                                : aligned;
        const CharacterList characters = CharacterList::Of(document);
        const Character* one = characters.Find(1);
        std::vector<TrackItem> mouths =
            mouthsFor_ ? mouthsFor_(tracks.phonemes, one ? one->mouthSet : std::string()) : std::vector<TrackItem>{};
        return {replace_ ? "Align Selected Words" : alone_ ? "Align Line" : "Dialogue Breakdown",
                {{SoundDocument::kWords, tracks.words},
                 {SoundDocument::kPhonemes, tracks.phonemes},
                 {SoundDocument::kMouths, std::move(mouths)}}};
    }
    CharacterList list = CharacterList::Of(document);
    const std::vector<TrackItem> before = list.Items();
    TrackEdit edit{alone_ ? "Align Line" : "Dialogue Breakdown", {}};
    for (std::size_t i = 0; i < speakers_.size(); ++i) {
        const SpeakerBreakdown& speaker = speakers_[i];
        const int id = list.IdFor(speaker.name);
        if (id == 0) continue;   // cannot happen for a parsed name; nothing is written rather than misplaced
        const BreakdownTracks aligned{WordKind::ItemsByLine(speaker.breakdown), speaker.breakdown.PhonemeItems()};
        const BreakdownTracks tracks = alone_ ? PlaceInRange(TracksOf(document, id), aligned, from_, to_) : aligned;
        const Character* who = list.Find(id);
        std::vector<TrackItem> mouths =
            mouthsFor_ ? mouthsFor_(tracks.phonemes, who ? who->mouthSet : std::string()) : std::vector<TrackItem>{};
        edit.tracks.push_back({CharacterList::WordsTrack(id), tracks.words});
        edit.tracks.push_back({CharacterList::PhonemesTrack(id), tracks.phonemes});
        edit.tracks.push_back({CharacterList::MouthsTrack(id), std::move(mouths)});
    }
    if (list.Items() != before) edit.tracks.push_back({CharacterList::kTrack, list.Items()});
    return edit;
}

} // namespace zv
