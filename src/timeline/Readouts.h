#pragma once
// The texts of the two time readouts of the main window: the length of the
// open sound (LblTotalTime) and the play position (LabMCIposition).
//
// The window reads each time from the media control twice, once for the
// minutes and seconds and once for the frames (the control may move on in
// between), so each caption takes both readings. Times are 32-bit ms;
// rate is the frame rate the user typed (animation frames per second).
//
// Minutes:seconds are the true minutes and seconds of the time: the length
// shows whole minutes and the whole seconds within the minute, rounded down;
// the position rounds the time to the nearest second (halves to even),
// carrying into the minutes. Minutes are not folded into hours; there are no
// leading zeros. Frames are the readout count of FrameTime.h (ReadoutFrames):
// a negative rate gives a negative count, a rate of 0 gives 0.
//
// With the timecode shown, each caption adds the SMPTE timecode of the
// frame count it shows (Timecode.h) after it, " / Timecode: 00:10:00;00";
// at a rate of 0 or below there is no timecode to add.
#include <cstdint>
#include <string>

#include "common/FrameTime.h"

namespace zv {

// "Total Length:(Time: W:S / Frames: N)"
std::string LengthCaption(int32_t lengthMsForMinutes, int32_t lengthMsForFrames, FrameRate rate,
                          bool withTimecode = false);

// "Time: W:S / Frame: N"
std::string PositionCaption(int32_t positionMsForMinutes, int32_t positionMsForFrames, FrameRate rate,
                            bool withTimecode = false);

} // namespace zv
