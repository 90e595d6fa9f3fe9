#pragma once
// One item on a track of the open sound: a mark, a word, a phoneme, a mouth
// shape, a beat. Its place is in sample frames of the sound (at the sound's
// own sample rate), exact at any zoom and any frame rate:
//   start: the item's first sample frame
//   end:   one past its last sample frame; end == start for a point
// The animation frame an item stands on is the frame that holds `start`
// (FrameOfSample), worked out at the rate in force when it is shown.
#include <cstdint>
#include <string>

namespace zv {

struct TrackItem {
    int64_t start = 0;   // sample frames
    int64_t end = 0;     // sample frames, >= start
    std::string text;    // UTF-8: the mark's note, the word, the shape's name
    std::string kind;    // what the item is on its track ("" for a plain mark;
                         // e.g. "downbeat" on a beats track)

    bool IsPoint() const { return end == start; }

    friend bool operator==(const TrackItem&, const TrackItem&) = default;
};

} // namespace zv
