#pragma once
// The part of a sound that a range of animation frames plays, for Export
// Selection as Sound: from the first sample of the start frame up to (not
// including) the first sample of the end frame, as the output plays it,
// with optional silence before (lead-in) and after (tail), each a whole
// number of frames.
//
// Units: sample frames of the sound at sampleRate; frames of `rate` from 0.
// Start 10, End 20 at 30 fps on a 48 kHz sound: samples [16000, 32000),
// 16,000 sample frames; a 2-frame lead-in adds 3,200 of silence before.
#include <cstdint>
#include <optional>
#include <string>

#include "common/FrameRate.h"

namespace zv {

struct SoundExcerpt {
    int64_t from = 0;           // first sample frame of the sound taken
    int64_t to = 0;             // one past the last
    int64_t leadIn = 0;         // sample frames of silence before
    int64_t tail = 0;           // sample frames of silence after
    int64_t Total() const { return leadIn + (to - from) + tail; }
};

// The excerpt of frames [startFrame, endFrame) of a sound of soundFrames
// sample frames (the end kept within the sound). Nothing, and `error` says
// why, for an empty range, a range outside the sound, negative lead-in or
// tail, or rates of 0 or below.
std::optional<SoundExcerpt> ExcerptOfFrames(int64_t startFrame, int64_t endFrame, int64_t leadInFrames,
                                            int64_t tailFrames, FrameRate rate, int32_t sampleRate,
                                            int64_t soundFrames, std::string& error);

} // namespace zv
