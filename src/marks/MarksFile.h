#pragma once
// The marks file kept beside a sound: "<sound file name>.zorvane-marks.json"
// in the sound's folder (voice.wav -> voice.wav.zorvane-marks.json). JSON:
//   {
//     "format": "zorvane-marks",
//     "version": 1,
//     "sound": "voice.wav",        file name only, for people reading it
//     "sampleRate": 48000,         sample frames per second of the sound
//     "marks": [
//       {"ms": 333, "sample": 15984, "text": "ah"},
//       {"ms": 500, "sample": 24000, "endMs": 900, "endSample": 43200, "text": "oo"}
//     ]
//   }
// A point leaves out endMs and endSample. Times are ms and sample frames
// from the start of the sound. Readers of version 1 refuse a higher version
// (they could lose what it added) rather than guess at it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "marks/Mark.h"

namespace zv {

inline constexpr int kMarksFileVersion = 1;

// The marks file that belongs to the sound at `soundPath`.
std::string MarksFilePath(const std::string& soundPath);

// The file's text for these marks of the sound `soundName` (file name only).
std::string MarksFileText(const std::vector<Mark>& marks, const std::string& soundName, int32_t sampleRate);

struct MarksFileContent {
    std::vector<Mark> marks;
    // Why the text cannot be used (the marks are then empty).
    std::optional<std::string> error;
    bool newerVersion = false;   // with error: written by a newer Zorvane
};

// Reads a marks file's text for a sound of `sampleRate` sample frames per
// second. Marks saved at another sample rate (the sound was converted) are
// placed by their ms; a mark without a sample position gets it from its ms.
MarksFileContent ParseMarksFile(std::string_view text, int32_t sampleRate);

} // namespace zv
