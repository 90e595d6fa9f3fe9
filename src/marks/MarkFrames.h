#pragma once
// The frame a mark stands on at a frame rate: the frame that holds its
// first sample (FrameOfSample), the cell the grid draws it in. The list,
// every export, the import and going to a mark all count this way. Moho and
// the exposure sheet count frames from 1: that frame + 1.
// Units: sample frames at the sound's sampleRate; ms derived from them.
#include <cstdint>
#include <sstream>
#include <string>

#include "common/FrameRate.h"
#include "common/FrameTime.h"
#include "common/Timecode.h"

namespace zv {

using MarkRate = FrameRate;   // animation frames per second, exact

// The frame, from 0, holding sample `sample`; 0 at a rate or sample rate
// of 0 or below (nothing to count by).
inline int64_t MarkFrame(int64_t sample, MarkRate rate, int32_t sampleRate) {
    if (!rate.IsPositive() || sampleRate <= 0) return 0;
    return FrameOfSample(sample, rate, sampleRate);
}

// A mark's time in ms, as shown and exported (rounded to nearest).
inline int64_t MarkMs(int64_t sample, int32_t sampleRate) { return SamplesToMs(sample, sampleRate); }

// The SMPTE timecode of a mark's frame ("" at a rate of 0 or below).
inline std::string MarkTimecode(int64_t sample, MarkRate rate, int32_t sampleRate) {
    return Timecode(MarkFrame(sample, rate, sampleRate), rate);
}

// The rate as exports write it: "30", or the exact fraction "30000/1001".
inline std::string MarkRateText(MarkRate rate) {
    std::ostringstream text;
    text << rate;
    return text.str();
}

} // namespace zv
