#pragma once
// SMPTE timecode of an animation frame: HH:MM:SS:FF, counted at the rate's
// nominal whole number of frames a second (30 for 30000/1001).
//
// At 30000/1001 and 60000/1001 it is drop-frame, written HH:MM:SS;FF: the
// frame numbers 0 and 1 (0 to 3 at 60000/1001) are left out at the start of
// every minute except each tenth, so that the timecode keeps to the clock
// (frame 17982 at 29.97 is 00:10:00;00, ten real minutes). Every other rate
// is non-drop. Hours are not folded at 24 (a sound may be longer).
#include <cstdint>
#include <string>

#include "common/FrameRate.h"

namespace zv {

// True for the two drop-frame rates, 30000/1001 and 60000/1001.
bool IsDropFrame(FrameRate rate);

// The timecode of frame `frame` (counted from 0 at the sound's start) at
// `rate`. A negative frame is written with a leading '-'. Rates below one
// frame a second count one frame a second. rate > 0; at 0 or below the
// result is "".
std::string Timecode(int64_t frame, FrameRate rate);

} // namespace zv
