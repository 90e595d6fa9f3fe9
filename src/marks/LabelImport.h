#pragma once
// Reading an Audacity label file as marks. Each line is
//   start TAB end TAB text
// with start and end in seconds (a point label has start = end); the text
// may be missing. Lines that begin with a backslash carry a label's
// frequency range (spectral selections) and are skipped, as are empty
// lines. A line that is none of these is malformed, and then nothing of the
// file is taken: half a breakdown is worse than none.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

struct LabelImport {
    std::vector<TrackItem> marks;
    int badLine = 0;          // the first malformed line, from 1; 0 when all were good
    std::string reason;       // what is wrong with it
};

// The marks of a label file's text, for a sound of `sampleRate` sample
// frames a second: sample frames rounded to nearest from the seconds (so at
// 30 fps and 44.1 kHz 0.050 s is sample 2205, in frame 1).
// Texts that are not UTF-8 are read as Latin-1.
LabelImport ParseAudacityLabels(std::string_view text, int32_t sampleRate);

} // namespace zv
