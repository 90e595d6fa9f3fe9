#pragma once
// Breakdowns read back: Papagayo's .pgo documents, Zorvane's own JSON and
// Moho switch data. A damaged file is refused whole: nothing, and `error`
// says why, naming the line ("line 12: ...").
//
// Units: samples at `sampleRate` (the open sound's); frames at the file's
// rate. A .pgo holds a whole number of frames a second: when the rate in
// force rounds to it (29.97 to 30), the frames are taken at the rate in
// force, as they were written.
#include <cstdint>
#include <functional>
#include <utility>
#include <optional>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "dialogue/Breakdown.h"
#include "dialogue/CharacterList.h"
#include "dialogue/MouthSet.h"
#include "document/TrackItem.h"

namespace zv {

// One character of a file that keeps several.
struct ImportedCharacter {
    std::string name;               // as the file has it (a .pgo voice's name)
    std::string mouthSet;           // the set's name when the file says, else ""
    Breakdown breakdown;
    std::vector<TrackItem> mouths;
};

struct ImportedBreakdown {
    Breakdown breakdown;            // .pgo phonemes are the mouth shapes it names
    std::vector<TrackItem> mouths;  // runs of one shape, as MouthShapes lays them
    FrameRate rate;                 // the rate the file's frames were read at
    // Filled when the file keeps characters (a .pgo of more than one voice,
    // a JSON `characters` list): each one's own lines and mouths. The
    // breakdown above then holds every character's lines, the mouths the
    // first one's.
    std::vector<ImportedCharacter> characters;
};

std::optional<ImportedBreakdown> ImportPapagayo(const std::string& text, int32_t sampleRate, int64_t soundFrames,
                                                FrameRate rateInForce, std::string& error);

// The Json export read back: one speaker's `words` and `mouths`, or a
// `characters` list of {name, mouthSet, words, mouths} (its frame rate and sample rate as written;
// samples are taken at `sampleRate`).
std::optional<ImportedBreakdown> ImportBreakdownJson(const std::string& text, int32_t sampleRate,
                                                     int64_t soundFrames, std::string& error);

// The tracks an import sets, as (track name, items): a file of one speaker
// sets the plain Words, Phonemes and Mouths; a file of characters sets each
// one's tracks (the character found in `list` by name, or added: see
// CharacterList::IdFor) and the Characters track when the list changed.
// `phonemes` makes the Phonemes track's items of a breakdown's phonemes
// (a .pgo's shapes become phones), given the character's name as the file
// has it ("" for a file of one speaker).
using ImportedPhonemes = std::function<std::vector<TrackItem>(std::vector<TrackItem>, const std::string& character)>;
std::vector<std::pair<std::string, std::vector<TrackItem>>> ImportedTracks(const ImportedBreakdown& imported,
                                                                           CharacterList& list,
                                                                           const ImportedPhonemes& phonemes);

// The set a .pgo voice's shapes (`shapes`: its phonemes, each naming a
// shape) are read back with: `own` (the set its character lays mouths
// with) when it has every shape named, else the first of `offered` that
// has them all, else `own`.
const MouthSet& SetFittingShapes(const std::vector<TrackItem>& shapes, const MouthSet& own,
                                 const std::vector<MouthSet>& offered);

// "MohoSwitch1" and "frame shape" lines (frames from 1, ascending) as
// mouth runs at `rate`; the last run lasts to the end of the sound.
std::optional<std::vector<TrackItem>> ImportMohoSwitch(const std::string& text, FrameRate rate, int32_t sampleRate,
                                                       int64_t soundFrames, std::string& error);

} // namespace zv
