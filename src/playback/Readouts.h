#pragma once
// The texts of the two time readouts of the main window: the length of the
// open sound (LblTotalTime) and the play position (LabMCIposition).
//
// The window reads each time from the media control twice, once for the
// minutes and seconds and once for the frames (the control may move on in
// between), so each caption takes both readings. Times are 32-bit ms;
// fps is the frame rate the user typed (animation frames per second).
//
// Minutes:seconds are the true minutes and seconds of the time: the length
// shows whole minutes and the whole seconds within the minute, rounded down;
// the position rounds the time to the nearest second (halves to even),
// carrying into the minutes. Minutes are not folded into hours; there are no
// leading zeros. Frames are round-half-even((ms / 1000) * fps) in double
// precision: a negative rate gives a negative count, a rate of 0 gives 0.
#include <cstdint>
#include <string>

namespace zv {

// "Total Length:(Time: W:S / Frames: N)"
std::string LengthCaption(int32_t lengthMsForMinutes, int32_t lengthMsForFrames, int16_t fps);

// "Time: W:S / Frame: N"
std::string PositionCaption(int32_t positionMsForMinutes, int32_t positionMsForFrames, int16_t fps);

// The frame count shown for a time: round-half-even((ms / 1000) * fps),
// each step in double precision. Wide enough for any 32-bit ms and 16-bit
// rate, so it cannot overflow.
int64_t ReadoutFrames(int32_t ms, int16_t fps);

// The time in minutes as the window keeps it (LengthMinutes,
// PositionMinutes): ms / 1000 / 60 in double precision, stored as single.
float ReadoutMinutes(int32_t ms);

} // namespace zv
