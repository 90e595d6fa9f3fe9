#pragma once
// The frame rate as the user types it (the frame-rate box, the command
// line's --fps): the text's leading number, read once where it is typed.
#include <cstdint>
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

} // namespace zv
