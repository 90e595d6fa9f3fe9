#pragma once
// Everything an export writer may read: the sound, the frame rate in force
// and the document's tracks. Whoever exports (the Export Marks dialog, a
// headless command) fills what it has; a writer reads what its subject
// needs (ExportWriter::Subject) and may use the rest when it is there.
//
// Units: sample frames of the sound at `sampleRate`, except lengthMs.
#include <cstdint>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "document/TrackItem.h"

namespace zv {

struct BeatAnalysis;
struct Breakdown;
class MouthSet;

// One character's dialogue, for formats that write each character apart.
struct CharacterExport {
    std::string name;                             // UTF-8; "" for the single unnamed speaker
    const Breakdown* breakdown = nullptr;         // their words and phonemes
    const std::vector<TrackItem>* mouths = nullptr;  // their shapes laid at `rate`
    const MouthSet* mouthSet = nullptr;           // the set the shapes come from
};

struct ExportInput {
    std::string soundName;     // the sound's file name (no folder)
    int32_t sampleRate = 0;    // sample frames a second
    int64_t lengthSamples = 0; // the sound's length in sample frames
    int64_t lengthMs = 0;      // the same as the window shows it, ms
    FrameRate rate;            // animation frames a second, exact

    // The Marks track (sample frames); null: no marks.
    const std::vector<TrackItem>* marks = nullptr;
    // The beats, with their own sample rate; null: no steady beats.
    const BeatAnalysis* beats = nullptr;
    // The dialogue: the words and phonemes (with their own sample rate and
    // length), the mouth shapes laid at `rate`, and the set the shapes come
    // from. Null: no breakdown made.
    const Breakdown* breakdown = nullptr;
    const std::vector<TrackItem>* mouths = nullptr;
    const MouthSet* mouthSet = nullptr;
    // Every character's dialogue, in the list's order, when the sound has
    // characters; null (or one unnamed speaker) for the one-speaker form,
    // which breakdown, mouths and mouthSet above hold.
    const std::vector<CharacterExport>* characters = nullptr;

    // True when the dialogue is written character by character: more than
    // one, or one with a name.
    bool ByCharacter() const {
        return characters != nullptr &&
               (characters->size() > 1 || (characters->size() == 1 && !characters->front().name.empty()));
    }
    // The characters to write: `characters` when ByCharacter(), else the
    // one unnamed speaker of breakdown, mouths and mouthSet.
    std::vector<CharacterExport> Speakers() const {
        if (ByCharacter()) return *characters;
        return {CharacterExport{"", breakdown, mouths, mouthSet}};
    }
};

} // namespace zv
