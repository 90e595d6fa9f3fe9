#pragma once
// The frames of a breakdown's items at the exact frame rate: the frame that
// holds an item's first sample, and the one holding its last.
#include <cstdint>

#include "common/FrameRate.h"
#include "common/FrameTime.h"

namespace zv {

struct DialogueFrames {
    FrameRate rate;          // > 0
    int32_t sampleRate = 0;  // > 0
    int64_t Of(int64_t sample) const { return FrameOfSample(sample, rate, sampleRate); }
    int64_t LastOf(int64_t start, int64_t end) const { return Of(end > start ? end - 1 : start); }
};

} // namespace zv
