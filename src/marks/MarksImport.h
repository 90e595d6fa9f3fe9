#pragma once
// Reading marks back from a file, whichever of these it is (told apart by
// its text, not its name):
//   - a marks file kept beside a sound (MarksFile.h, any version): all its
//     tracks; so a renamed or moved sound gets its marks back;
//   - a JSON export (export/MarksJsonWriter.h): its marks, by their sample frames when
//     the sample rate is the sound's, else by their ms;
//   - a CSV export: its marks by their seconds; where the seconds (three
//     decimals in older exports) fall outside the frame the row names at the
//     rate its header names, the mark goes to that frame's first sample;
//   - an Audacity label file (LabelImport.h).
// Anything malformed takes nothing and says why (and on which line).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marks/MarksFile.h"

namespace zv {

struct MarksImport {
    std::vector<FileTrack> tracks;   // the marks first; empty when refused
    std::string error;               // why nothing was taken ("it ..."); empty when read
    int badLabelLine = 0;            // with error: a label file's first malformed line, from 1
    std::size_t Count() const;       // items in all tracks
    // What the user is told when nothing was taken from the file at `path`.
    std::string Message(const std::string& path) const;
};

// The marks of a file's text, for a sound of `sampleRate` sample frames a second.
MarksImport ImportMarksText(std::string_view text, int32_t sampleRate);

} // namespace zv
