// SMPTE timecode at its known edges.
#include <gtest/gtest.h>

#include "common/Timecode.h"

using namespace zv;

TEST(Timecode, DropFrameSkipsTwoNumbersAMinuteExceptEachTenth) {
    const FrameRate ntsc30 = FrameRate::Fraction(30000, 1001);
    EXPECT_TRUE(IsDropFrame(ntsc30));
    EXPECT_EQ(Timecode(0, ntsc30), "00:00:00;00");
    EXPECT_EQ(Timecode(1799, ntsc30), "00:00:59;29");
    EXPECT_EQ(Timecode(1800, ntsc30), "00:01:00;02");
    EXPECT_EQ(Timecode(3597, ntsc30), "00:01:59;29");
    EXPECT_EQ(Timecode(3598, ntsc30), "00:02:00;02");
    EXPECT_EQ(Timecode(17981, ntsc30), "00:09:59;29");
    EXPECT_EQ(Timecode(17982, ntsc30), "00:10:00;00");   // no skip at the tenth minute
    EXPECT_EQ(Timecode(17982 + 1800, ntsc30), "00:11:00;02");
    EXPECT_EQ(Timecode(107892, ntsc30), "01:00:00;00");
    EXPECT_EQ(Timecode(-1800, ntsc30), "-00:01:00;02");
    // 59.94 skips four.
    const FrameRate ntsc60 = FrameRate::Fraction(60000, 1001);
    EXPECT_EQ(Timecode(3599, ntsc60), "00:00:59;59");
    EXPECT_EQ(Timecode(3600, ntsc60), "00:01:00;04");
    EXPECT_EQ(Timecode(35964, ntsc60), "00:10:00;00");
}

TEST(Timecode, EveryOtherRateIsNonDropAtItsNominalRate) {
    const FrameRate ntsc24 = FrameRate::Fraction(24000, 1001);
    EXPECT_FALSE(IsDropFrame(ntsc24));
    EXPECT_EQ(Timecode(14386, ntsc24), "00:09:59:10");
    EXPECT_EQ(Timecode(1800, 30), "00:01:00:00");
    EXPECT_EQ(Timecode(90000, 25), "01:00:00:00");
    EXPECT_EQ(Timecode(-1, 30), "-00:00:00:01");
    EXPECT_EQ(Timecode(int64_t{100} * 3600 * 24, 24), "100:00:00:00");   // hours not folded at 24
    EXPECT_EQ(Timecode(599, 120), "00:00:04:119");
    EXPECT_EQ(Timecode(13, FrameRate::Fraction(1, 4)), "00:00:13:00");   // below 1 fps: 1 a second
    EXPECT_FALSE(IsDropFrame(FrameRate::Fraction(120000, 1001)));
    EXPECT_EQ(Timecode(5, 0), "");
}
