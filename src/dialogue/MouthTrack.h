#pragma once
// The Mouths track: one shape on every animation frame of the sound, at
// the exact frame rate, from the phonemes, with the rules animators use.
// Each rule is a setting.
//
// Units: frames of `rate` (FrameTime.h: a frame holds the samples from
// FrameStartSample(n) up to FrameStartSample(n + 1)); samples at sampleRate.
#include <cstdint>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "document/TrackItem.h"
#include "dialogue/MouthSet.h"

namespace zv {

struct MouthRules {
    // A shape holds at least this many frames (a shorter one takes frames
    // from the next when it can spare them, else gives way to the one
    // before, or after it when that is rest): `holdFast` at `fastFrom`
    // frames a second and above (the rate rounded, so 23.976 counts as 24),
    // `holdSlow` below.
    int holdFast = 2;
    int holdSlow = 1;
    int fastFrom = 24;
    // The set's closures (MBP, FV) keep their frame even when shorter.
    bool keepClosures = true;
    // Rest after a pause of at least this long; shorter pauses hold the
    // shape before them.
    int64_t restAfterPauseMs = 250;
    // Shapes shown this many frames early (0..3).
    int leadFrames = 0;
};

// The shapes, one item per run of frames showing the same shape: start =
// the run's first frame's first sample, end = the first sample after its
// last frame (the last run ends with the sound), text = the shape. Frames
// with no phoneme are rest. Nothing for a rate or sample rate of 0 or below.
std::vector<TrackItem> MouthShapes(const std::vector<TrackItem>& phonemes, const MouthSet& set,
                                   const MouthRules& rules, FrameRate rate, int32_t sampleRate, int64_t soundFrames);

// The shape on every frame of `mouths` (from 0), as MouthShapes laid them.
std::vector<std::string> ShapesByFrame(const std::vector<TrackItem>& mouths, FrameRate rate, int32_t sampleRate,
                                       int64_t soundFrames, const std::string& rest);

} // namespace zv
