#pragma once
// The dialogue breakdown job: typed lines placed on a sound, word by word
// and phoneme by phoneme. Core code with no Qt; the window runs it as a
// background job (progress, Cancel), the command line runs it directly.
//
// Every line is aligned by ear: PocketSphinx aligns it as one utterance
// against a grammar of its words (optional silences between them), then
// each word's phonemes inside it (a grammar of its dictionary phones). A
// line the search loses is decoded again with wider beams, then split at
// its longest pause and each part aligned. Which model hears it:
//   UserModel    the user's own model for the language, when one is in the
//                models folder (see UserSpeechModel.h): its dictionary's
//                words (a word it lacks, in espeak-ng's sounds when its
//                phones are the English model's).
//   Recognizer   otherwise the English model: English words from its
//                dictionary, any other language's words (and English words
//                the dictionary lacks) pronounced by espeak-ng, whose
//                phonemes are mapped onto the English model's phones.
// Only words the search cannot place are spread over the voiced stretches
// of their part of the sound, in proportion to espeak-ng's durations of
// their phonemes (way VoicedStretches); each line says which way it took.
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

enum class DialogueWay { Recognizer, UserModel, VoicedStretches, Unknown };

// Which way a language code (espeak-ng's: "en", "en-us", "de", "fr", ...)
// gets: UserModel when `modelsFolder` holds a model for it, Recognizer for
// English and any other language espeak-ng speaks, Unknown otherwise.
DialogueWay DialogueLanguageWay(const std::string& language, const std::string& modelsFolder = {});
// Whether a language code is English's ("en", "en-us", "en+f3"): its
// typed numbers and symbols are read as English words.
bool IsEnglishLanguage(const std::string& language);
// The panel's words for it: "Aligned by ear (English speech model)", ...
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
    // The user's speech models (UserSpeechModel::ModelsFolder), "" for none.
    std::string modelsFolder;
};

struct DialogueResult {
    enum class Outcome { Aligned, NoSpeech, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    DialogueWay way = DialogueWay::Unknown;   // the job's (a line's may differ)
    std::vector<DialogueWay> lineWays;        // each line's: VoicedStretches when a word of it was spread
    std::string message;   // why, for NoSpeech, Cancelled and Failed; a note (or "") when Aligned
    Breakdown breakdown;   // the words and phonemes (empty when Cancelled or Failed)
};

DialogueResult BreakDownDialogue(const DialogueRequest& request);

// The panel's words for the ways a job's lines took: DialogueWayText's when
// they all took one, else how many took each ("3 lines aligned by ear
// (English speech model), 1 spread over the voiced stretches").
std::string DialogueWaysText(const DialogueResult& result);

} // namespace zv
