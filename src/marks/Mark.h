#pragma once
// A mark: a point or a stretch of the sound with a text (a word, a phoneme,
// a note). Its place is kept both ways, in ms (what the readouts and the
// exports count in) and in sample frames of the sound (exact at any zoom);
// the frame it stands on is worked out at the frame rate in force whenever
// it is shown or exported, so changing the rate never moves a mark.
//   ms, endMs:         milliseconds from the start of the sound
//   sample, endSample: sample frames from the start of the sound
// A point has end == start; a range (made from the selection) has end > start.
#include <cstdint>
#include <string>
#include <utility>

namespace zv {

struct Mark {
    int64_t ms = 0;
    int64_t sample = 0;
    int64_t endMs = 0;
    int64_t endSample = 0;
    std::string text;   // UTF-8

    static Mark Point(int64_t ms, int64_t sample, std::string text = {}) {
        return Mark{ms, sample, ms, sample, std::move(text)};
    }
    static Mark Range(int64_t ms, int64_t sample, int64_t endMs, int64_t endSample, std::string text = {}) {
        return Mark{ms, sample, endMs, endSample, std::move(text)};
    }
    bool IsRange() const { return endMs != ms || endSample != sample; }

    friend bool operator==(const Mark&, const Mark&) = default;
};

} // namespace zv
