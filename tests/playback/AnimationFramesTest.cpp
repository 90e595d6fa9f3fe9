// Frame boundaries in ms and in samples for Step and Back.
#include <gtest/gtest.h>

#include "common/FrameTime.h"

namespace zv {
namespace {

TEST(AnimationFrames, RoundDivideIsHalfToEvenAlsoBelowZero) {
    EXPECT_EQ(RoundDivide(5, 2), 2);
    EXPECT_EQ(RoundDivide(7, 2), 4);
    EXPECT_EQ(RoundDivide(-5, 2), -2);
    EXPECT_EQ(RoundDivide(-7, 2), -4);
    EXPECT_EQ(RoundDivide(-1, 3), 0);
    EXPECT_EQ(RoundDivide(-2, 3), -1);
}

TEST(AnimationFrames, FrameStartsInMs) {
    EXPECT_EQ(FrameStartMs(1, 30), 33);
    EXPECT_EQ(FrameStartMs(2, 30), 67);
    EXPECT_EQ(FrameStartMs(3, 30), 100);
    EXPECT_EQ(FrameStartMs(2, 25), 80);
    EXPECT_EQ(FrameStartMs(1, 16), 62);    // 62.5 -> 62
    EXPECT_EQ(FrameStartMs(3, 16), 188);   // 187.5 -> 188
}

TEST(AnimationFrames, FrameHoldingATime) {
    EXPECT_EQ(FrameAtMs(0, 30), 0);
    EXPECT_EQ(FrameAtMs(32, 30), 0);
    EXPECT_EQ(FrameAtMs(33, 30), 1);
    EXPECT_EQ(FrameAtMs(66, 30), 1);
    EXPECT_EQ(FrameAtMs(67, 30), 2);
    EXPECT_EQ(FrameAtMs(62, 16), 1);
    EXPECT_EQ(FrameAtMs(187, 16), 2);
    EXPECT_EQ(FrameAtMs(188, 16), 3);
    for (int32_t fps : {1, 7, 24, 25, 29, 30, 60, 999})
        for (int64_t n = 1; n < 2000; ++n) {
            ASSERT_EQ(FrameAtMs(FrameStartMs(n, fps), fps), n) << n << " at " << fps;
            ASSERT_EQ(FrameAtMs(FrameStartMs(n, fps) - 1, fps), n - 1) << n << " at " << fps;
        }
}

TEST(AnimationFrames, FramesTileTheSamplesExactly) {
    EXPECT_EQ(FrameStartSample(1, 30, 44100), 1470);
    EXPECT_EQ(FrameStartSample(1, 25, 44100), 1764);
    // 24 fps at 44100 Hz: 1837.5 samples a frame, alternately 1838 and 1837.
    EXPECT_EQ(FrameStartSample(1, 24, 44100), 1838);
    EXPECT_EQ(FrameStartSample(2, 24, 44100), 3675);
    EXPECT_EQ(FrameStartSample(24, 24, 44100), 44100);
}

TEST(AnimationFrames, MsAndSamplesRoundTrip) {
    for (int32_t rate : {8000, 11025, 22050, 44100, 48000, 96000})
        for (int64_t ms = 0; ms < 5000; ms += 7) ASSERT_EQ(SamplesToMs(MsToSamples(ms, rate), rate), ms);
    EXPECT_EQ(SamplesToMs(123, 0), 0);
}

} // namespace
} // namespace zv
