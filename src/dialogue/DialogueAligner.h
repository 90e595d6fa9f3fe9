#pragma once
// The dialogue breakdown job: typed lines placed on a sound, word by word
// and phoneme by phoneme. Core code with no Qt; the window runs it as a
// background job (progress, Cancel), the command line runs it directly.
//
// Two ways, by language (DialogueLanguageWay):
//   Recognizer       English: PocketSphinx aligns each line as one utterance
//                    against a grammar of its words (optional silences
//                    between them), then each word's phonemes inside it
//                    (a grammar of its dictionary phones). A
//                    line the search loses is decoded again with wider
//                    beams, then split at its longest pause and each part
//                    aligned. Words the dictionary lacks are pronounced by
//                    espeak-ng.
//   VoicedStretches  every other language espeak-ng speaks: the words go
//                    onto the voiced stretches of the sound, split by
//                    pauses, spread inside a stretch in proportion to
//                    espeak-ng's own durations of their phonemes.
// A sound with no speech found gets the words spread evenly over it
// (outcome NoSpeech), ready to place by hand.
//
// The English model is loaded by the first job and kept for the next ones
// (one per job running at the same time).
//
// Units: sample frames of the given samples at sampleRate; the results are
// offset by `firstSample` (where the samples start in the sound).
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialogue/Breakdown.h"
#include "jobs/JobProgress.h"

namespace zv {

enum class DialogueWay { Recognizer, VoicedStretches, Unknown };

// Which way a language code (espeak-ng's: "en", "en-us", "de", "fr", ...)
// gets: Recognizer for English, VoicedStretches for a language espeak-ng
// speaks, Unknown otherwise.
DialogueWay DialogueLanguageWay(const std::string& language);
// The panel's words for it: "Aligned by ear (English speech model)",
// "Spread over the voiced stretches (no speech model for this language)",
// "Unknown language".
std::string DialogueWayText(DialogueWay way);

struct DialogueRequest {
    const std::vector<float>* mono = nullptr;   // one channel, -1..1
    int32_t sampleRate = 0;
    int64_t firstSample = 0;   // where mono starts in the sound
    int64_t soundFrames = 0;   // the whole sound's length (for the breakdown)
    std::string text;          // the typed lines (UTF-8)
    std::string language = "en";
    // The job's progress (in per mille of the work) and its cancel, which
    // is checked between decodes; may be null.
    JobProgress* progress = nullptr;
};

struct DialogueResult {
    enum class Outcome { Aligned, NoSpeech, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    DialogueWay way = DialogueWay::Unknown;
    std::string message;   // why, for NoSpeech, Cancelled and Failed
    Breakdown breakdown;   // the words and phonemes (empty when Cancelled or Failed)
};

DialogueResult BreakDownDialogue(const DialogueRequest& request);

} // namespace zv
