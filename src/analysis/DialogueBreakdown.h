#pragma once
// The dialogue breakdown: the typed text aligned to a stretch of the sound.
// Its edit sets the Words, Phonemes and Mouths tracks as one step: all of
// them, or, when it aligned some words again, those words in place of the
// ones there (the others kept). The mouths are laid by each character's
// own mouth set (the window's when it has none) and the window's rules as
// they are when the edit is made.
//
// The text is read as a script (dialogue/DialogueScript.h): when it names
// its speakers, each one's lines go to that character's tracks (the
// character is added to the document's list by name when new; the single
// unnamed speaker, when it is all the list holds, is named after the first
// speaker and keeps the plain tracks), all in the same one step. The other
// characters' tracks are left as they are.
//
// Units: sample frames of the sound.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "analysis/Analysis.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/ScriptBreakdown.h"

namespace zv {

struct SoundData;

class DialogueBreakdown final : public Analysis {
public:
    // The mouth shapes for a Phonemes track, laid with the mouth set called
    // `set` (the character's own; "" = the one chosen in the window).
    using MouthsFor =
        std::function<std::vector<TrackItem>(const std::vector<TrackItem>& phonemes, const std::string& set)>;

    // Aligns `request` (its text, language, sample rate and length; mono
    // and progress are filled here) on sample frames [from, to) of `sound`,
    // which must outlive the run unchanged. `replace`: words [first, last)
    // of the Words track are aligned again; nothing: the whole breakdown.
    DialogueBreakdown(const SoundData& sound, int64_t from, int64_t to, DialogueRequest request,
                      std::optional<std::pair<std::size_t, std::size_t>> replace, MouthsFor mouthsFor);

    // The script's lines are placed alone inside [from, to): each
    // speaker's words that start there are replaced, the others kept.
    // (Without it, a speaker's tracks are set whole.) Call before Run.
    void PlaceAloneInRange() { alone_ = true; }

    JobOutcome Run(JobProgress& progress, std::string& reason) override;
    std::string Label() const override { return "Aligning the dialogue"; }
    TrackEdit Edit(const SoundDocument& document) const override;

    // After a finished run: what the aligner found (Aligned or NoSpeech).
    const DialogueResult& Result() const { return result_; }
    bool Replacing() const { return replace_.has_value(); }
    // Each speaker's share of Result()'s breakdown ("" for the unnamed one).
    const std::vector<SpeakerBreakdown>& Speakers() const { return speakers_; }

private:
    const SoundData& sound_;
    int64_t from_;
    int64_t to_;
    DialogueRequest request_;
    std::optional<std::pair<std::size_t, std::size_t>> replace_;
    MouthsFor mouthsFor_;
    bool alone_ = false;
    DialogueResult result_;
    std::vector<SpeakerBreakdown> speakers_;
};

} // namespace zv
