#pragma once
// The texts of the timeline: the frame rate the user types into TxtNumFrames,
// and the captions of the three selection labels (LblStartFrame,
// LblEndFrame, LblSelectedTime). Plain values in, plain text out; no Qt.
// Times are 32-bit milliseconds; frame figures come from FrameTime.h.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/FrameRate.h"

namespace zv {

// The leading number of a text, read as classic BASIC's Val reads it:
// - blanks, tabs and line feeds are skipped wherever they stand ("2 5" is 25);
// - then an optional sign, decimal digits with at most one point, and an
//   optional exponent (E or D, optional sign, digits): "25 fps" 25,
//   "29.97" 29.97, "-5" -5, "1e3" 1000, ".5" 0.5, "5e" 5;
// - "&H" then hex digits and "&O" then octal digits read as non-negative
//   whole numbers ("&H10" 16, "&O17" 15), without Val's wrap of &HFFFF to -1;
// - reading stops at the first character that cannot continue the number;
//   a text that does not begin with a number gives 0 ("", "abc", "-", "x5").
// A number beyond double range gives +-infinity (never an exception).
// The decimal point is always "."; the reading does not depend on the locale.
double TimelineLeadingNumber(std::u16string_view text);

// FramesPerSecond from the frame-rate text: its leading number rounded to
// nearest, halves to even (29.5 -> 30, 30.5 -> 30). A number that rounds
// outside -32768..32767 cannot be stored: `previous` is kept.
int16_t TimelineFrameRate(std::u16string_view text, int16_t previous);

// The exact frame rate from the frame-rate text, the rate every frame
// figure uses. Its leading number is read as above, then:
// - a whole number is that many frames per second ("25 fps" 25, "1e3"
//   1000, "&H10" 16);
// - a number with decimals is taken exactly, to three decimals (rounded
//   half to even beyond that): "12.5" 25/2, "0.25" 1/4; the video spellings
//   "23.976" "23.98" "29.97" "47.952" "47.95" "59.94" "119.88" mean the
//   NTSC rates 24000/1001 ... 120000/1001 (FrameRate::FromThousandths);
// - a text that does not begin with a number gives 0;
// - a rate that rounds to a whole number outside -32768..32767 cannot be
//   taken (FramesPerSecond could not hold it): `previous` is kept.
FrameRate TimelineExactFrameRate(std::u16string_view text, FrameRate previous);

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
