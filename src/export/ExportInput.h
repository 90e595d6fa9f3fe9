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
};

} // namespace zv
