#include "analysis/DialogueBreakdown.h"

#include <vector>

#include "dialogue/BreakdownEdit.h"
#include "document/SoundDocument.h"
#include "sound/MonoMix.h"
#include "sound/SoundData.h"

namespace zv {

namespace {

BreakdownTracks TracksOf(const SoundDocument& document) {
    BreakdownTracks tracks;
    if (const Track* w = document.Find(SoundDocument::kWords)) tracks.words = w->Items();
    if (const Track* p = document.Find(SoundDocument::kPhonemes)) tracks.phonemes = p->Items();
    return tracks;
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
    result_ = BreakDownDialogue(request);
    if (result_.outcome == DialogueResult::Outcome::Cancelled || progress.Cancelled()) return JobOutcome::Cancelled;
    if (result_.outcome == DialogueResult::Outcome::Failed) {
        reason = result_.message;
        return JobOutcome::Failed;
    }
    return JobOutcome::Finished;
}

TrackEdit DialogueBreakdown::Edit(const SoundDocument& document) const {
    const BreakdownTracks aligned{result_.breakdown.WordItems(), result_.breakdown.PhonemeItems()};
    const BreakdownTracks tracks =
        replace_ ? ReplaceWords(TracksOf(document), replace_->first, replace_->second, aligned) : aligned;
    std::vector<TrackItem> mouths = mouthsFor_ ? mouthsFor_(tracks.phonemes) : std::vector<TrackItem>{};
    return {replace_ ? "Align Selected Words" : "Dialogue Breakdown",
            {{SoundDocument::kWords, tracks.words},
             {SoundDocument::kPhonemes, tracks.phonemes},
             {SoundDocument::kMouths, std::move(mouths)}}};
}

} // namespace zv
