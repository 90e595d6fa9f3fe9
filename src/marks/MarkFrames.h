#pragma once
// The frame a mark stands on at a frame rate: the readouts' rule (nearest),
// so the list, the exports and the position readout always agree.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "playback/Readouts.h"

namespace zv {

using MarkRate = int16_t;   // animation frames per second

// Frame of a time in ms, from 0.
inline int64_t MarkFrame(int64_t ms, MarkRate rate) {
    const auto clamped = static_cast<int32_t>(
        std::clamp<int64_t>(ms, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    return ReadoutFrames(clamped, rate);
}

// The rate as exports write it: "30".
inline std::string MarkRateText(MarkRate rate) { return std::to_string(rate); }

} // namespace zv
