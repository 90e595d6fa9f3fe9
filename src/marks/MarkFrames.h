#pragma once
// The frame a mark stands on at a frame rate: the readouts' rule (nearest),
// so the list, the exports and the position readout always agree.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

#include "common/FrameRate.h"
#include "common/FrameTime.h"
#include "common/Timecode.h"

namespace zv {

using MarkRate = FrameRate;   // animation frames per second, exact

// Frame of a time in ms, from 0. Marks lie within the device's 32-bit ms.
inline int64_t MarkFrame(int64_t ms, MarkRate rate) {
    const auto clamped = static_cast<int32_t>(
        std::clamp<int64_t>(ms, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    return ReadoutFrames(clamped, rate);
}

// The SMPTE timecode of a mark's frame ("" at a rate of 0 or below).
inline std::string MarkTimecode(int64_t ms, MarkRate rate) { return Timecode(MarkFrame(ms, rate), rate); }

// The rate as exports write it: "30", or the exact fraction "30000/1001".
inline std::string MarkRateText(MarkRate rate) {
    std::ostringstream text;
    text << rate;
    return text.str();
}

} // namespace zv
