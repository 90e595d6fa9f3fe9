#pragma once
// A script's breakdown, character by character: the script's lines are
// aligned in order, as one dialogue, over the stretch of sound asked for
// (so two characters are aligned as well as one), and each line then goes
// to the character who says it.
//
// Units: sample frames of the sound; end is one past the last sample.
#include <cstdint>
#include <string>
#include <vector>

#include "dialogue/Breakdown.h"
#include "dialogue/BreakdownEdit.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/DialogueScript.h"

namespace zv {

// One speaker's share of a breakdown.
struct SpeakerBreakdown {
    std::string name;      // "" for the single unnamed speaker
    Breakdown breakdown;   // their lines only, in script order
};

struct ScriptResult {
    DialogueResult result;                   // the whole dialogue, as aligned (message: with the script's notes)
    std::vector<SpeakerBreakdown> speakers;  // in the order they first speak; empty when Cancelled or Failed
};

// Aligns `script` with `request` (its text is replaced by the script's
// words without the names: for an unnamed script, the same lines as
// typed). A refused script fails with the script's error.
ScriptResult BreakDownScript(const DialogueScript& script, DialogueRequest request);

// The aligned lines (one for each of the script's lines, in order) shared
// out by speaker. Lines missing from `all` (a breakdown of other text) are
// left out.
std::vector<SpeakerBreakdown> SplitBySpeaker(const DialogueScript& script, const Breakdown& all);

// A line aligned alone inside [from, to): the words of `tracks` that start
// in the range are replaced by `with` (and their phonemes by its phonemes);
// the words outside are kept. Items of `with` outside the range are
// clipped to it.
BreakdownTracks PlaceInRange(const BreakdownTracks& tracks, const BreakdownTracks& with, int64_t from, int64_t to);

} // namespace zv
