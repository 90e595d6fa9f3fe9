#pragma once
// The texts of the timeline: the captions of the three selection labels (LblStartFrame,
// LblEndFrame, LblSelectedTime). Plain values in, plain text out; no Qt.
// Times are 32-bit milliseconds; frame figures come from FrameTime.h.
#include <cstdint>
#include <string>

#include "common/FrameRate.h"

namespace zv {

// Frame number of a time on the strip's labels: rounded down (FrameFloor).
// Throws OverflowError.
int32_t TimelineFrameOf(FrameRate rate, int32_t ms);

// The selection's length in tenths of a second: (selEndMs - selStartMs)
// checked in 32 bits, / 1000, rounded to one decimal with halves to even
// (1250 ms -> 12, 1750 ms -> 18, 20 ms -> 0, 350 ms -> 4). Done exactly on
// the whole milliseconds (TenthsNearest); for every 32-bit difference this
// equals rounding the double d / 1000.0 times 10 half to even (checked
// exhaustively). Throws OverflowError.
int32_t TimelineSelectedTenths(int32_t selStartMs, int32_t selEndMs);

// The captions. Each replaces `out` (its capacity is kept, so a reused
// buffer does not allocate); on OverflowError it throws before touching it.
//   "Start: N"                             N = frame of selStartMs
//   "End: N"                               N = frame of selEndMs
//   "Selected:(Seconds:S / Frames:F)"      S = tenths written as 1.5, 0, 15,
//                                          -0.5; F = frame of end - frame of start
void TimelineStartCaption(std::string& out, FrameRate rate, int32_t selStartMs);
void TimelineEndCaption(std::string& out, FrameRate rate, int32_t selEndMs);
void TimelineSelectedCaption(std::string& out, FrameRate rate, int32_t selStartMs,
                             int32_t selEndMs);
// The same from the frames the selection's edges stand on (the frames the
// sliders show), for a selection held in samples.
void TimelineStartCaption(std::string& out, int32_t startFrame);
void TimelineEndCaption(std::string& out, int32_t endFrame);
void TimelineSelectedCaption(std::string& out, int32_t selStartMs, int32_t selEndMs, int32_t startFrame,
                             int32_t endFrame);

} // namespace zv
