#pragma once
// The marks file kept beside a sound: "<sound file name>.zorvane-marks.json"
// in the sound's folder (voice.wav -> voice.wav.zorvane-marks.json). It
// keeps the whole document of the sound: every track and its items.
// Version 2:
//   {
//     "format": "zorvane-marks",
//     "version": 2,
//     "sound": "voice.wav",        file name only, for people reading it
//     "sampleRate": 48000,         sample frames per second of the sound
//     "tracks": [
//       {"name": "Marks", "items": [
//         {"start": 15984, "text": "ah"},
//         {"start": 24000, "end": 43200, "text": "oo", "kind": "held"}
//       ]}
//     ]
//   }
// start and end are sample frames from the start of the sound; a point
// leaves out end, a plain item its kind. Version 1 kept only the marks, as
// {"ms", "sample", "endMs", "endSample", "text"} in a "marks" list; it is
// still read. Readers refuse a higher version than theirs (they could lose
// what it added) rather than guess at it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

class SoundDocument;

inline constexpr int kMarksFileVersion = 2;

// The marks file that belongs to the sound at `soundPath`.
std::string MarksFilePath(const std::string& soundPath);

// One track as the file holds it.
struct FileTrack {
    std::string name;
    std::vector<TrackItem> items;
    friend bool operator==(const FileTrack&, const FileTrack&) = default;
};

// The file's text for the document's tracks (the sound's file name and
// sample rate from its SoundInfo).
std::string MarksFileText(const SoundDocument& document);
std::string MarksFileText(const std::vector<FileTrack>& tracks, const std::string& soundName, int32_t sampleRate);

struct MarksFileContent {
    std::vector<FileTrack> tracks;   // the marks first (always there when read)
    // Why the text cannot be used (the tracks are then empty).
    std::optional<std::string> error;
    bool newerVersion = false;   // with error: written by a newer Zorvane
};

// Reads a marks file's text (version 1 or 2) for a sound of `sampleRate`
// sample frames a second. Items saved at another sample rate (the sound was
// converted) are moved to the same time at the new rate; version 1 marks by
// their ms.
MarksFileContent ParseMarksFile(std::string_view text, int32_t sampleRate);

} // namespace zv
