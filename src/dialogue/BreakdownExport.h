#pragma once
// A dialogue breakdown written out for the next program, all at the exact
// frame rate (frames are those holding the item's first sample:
// FrameOfSample).
//   Json            {"sound", "sampleRate", "frameRate" ("24000/1001"),
//                   "words": [{"text", "start", "end" (seconds), "frame",
//                   "endFrame", "phonemes": [{"text", "start", "end",
//                   "frame"}]}], "mouths": [{"frame", "shape"}]}; frames
//                   from 0; endFrame is the frame holding the word's last
//                   sample; a mouth entry per change of shape.
//   Tsv             per change of shape: its start in seconds (three
//                   decimals, exact), a TAB, the shape.
//   MohoSwitch      "MohoSwitch1", then per change of shape: its frame
//                   counted from 1, a space, the shape.
//   Papagayo        a .pgo document: one voice, a phrase per line, its
//                   words with their frames and each phoneme as its mouth
//                   shape, frames from 0. Papagayo keeps a whole number of
//                   frames a second: the rate rounded (the frames are the
//                   exact rate's).
//   ExposureSheet   a header, then a line per frame from 1: frame | mouth
//                   (where it changes) | word (where it starts) | marks
//                   (that start on it, joined by " / "), TAB separated.
//   AudacityLabels  the words: start TAB end TAB text, seconds with six
//                   decimals.
// Texts' tabs and line breaks become spaces in the line formats.
#include <optional>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "dialogue/Breakdown.h"
#include "dialogue/MouthSet.h"
#include "document/TrackItem.h"

namespace zv {

enum class BreakdownFormat { Json, Tsv, MohoSwitch, Papagayo, ExposureSheet, AudacityLabels };

// "json", "tsv", "dat", "pgo", "xsheet", "labels"; nothing otherwise.
std::optional<BreakdownFormat> BreakdownFormatOfName(const std::string& name);

struct BreakdownExportInput {
    const Breakdown* breakdown = nullptr;
    const std::vector<TrackItem>* mouths = nullptr;   // MouthShapes' runs
    const std::vector<TrackItem>* marks = nullptr;    // optional (the sheet's marks column)
    const MouthSet* mouthSet = nullptr;               // the shapes of the .pgo phonemes
    std::string soundName;                            // file name (or path) of the sound
    FrameRate rate;
};

std::string ExportBreakdown(BreakdownFormat format, const BreakdownExportInput& input);

} // namespace zv
