// The rounding rules of the time-and-frame unit at their edges.
#include <gtest/gtest.h>

#include <cstdint>

#include "common/Errors.h"
#include "common/FrameTime.h"

using namespace zv;

namespace {

const FrameRate kNtsc30 = FrameRate::Fraction(30000, 1001);
const FrameRate kNtsc24 = FrameRate::Fraction(24000, 1001);

} // namespace

TEST(FrameRate, IsKeptInLowestTermsWithThePositiveDenominator) {
    EXPECT_EQ(FrameRate::Fraction(60000, 2002), kNtsc30);
    EXPECT_EQ(kNtsc30.Numerator(), 30000);
    EXPECT_EQ(kNtsc30.Denominator(), 1001);
    EXPECT_EQ(FrameRate::Fraction(50, 2), FrameRate(25));
    EXPECT_TRUE(FrameRate::Fraction(50, 2).IsWhole());
    EXPECT_EQ(FrameRate::Fraction(25, -2), FrameRate::Fraction(-25, 2));
    EXPECT_EQ(kNtsc30.Rounded(), 30);
    EXPECT_EQ(kNtsc24.Rounded(), 24);
    EXPECT_EQ(FrameRate::Fraction(25, 2).Rounded(), 12);   // halves to even
    EXPECT_THROW(FrameRate::Fraction(1, 0), DivisionByZeroError);
    EXPECT_THROW(FrameRate::Fraction(int64_t{1} << 40, 1), OverflowError);
}

// Selection labels and the sliders' maximum.
TEST(FrameTime, FrameRoundedDown) {
    EXPECT_EQ(FrameFloor(33, 30), 0);         // 0.99
    EXPECT_EQ(FrameFloor(34, 30), 1);         // 1.02
    EXPECT_EQ(FrameFloor(100, 30), 3);        // exactly 3
    EXPECT_EQ(FrameFloor(-1, 30), -1);        // towards minus infinity
    EXPECT_EQ(FrameFloor(1500, 0), 0);
    EXPECT_EQ(FrameFloor(1000, -25), -25);
    // The rate times the time must fit 32 bits, even where the frame would.
    EXPECT_EQ(FrameFloor(71582788, 30), 2147483);
    EXPECT_THROW(FrameFloor(71582789, 30), OverflowError);
    EXPECT_THROW(FrameFloor(INT32_MIN, -1), OverflowError);
    // At a fractional rate the same limit holds for the exact product.
    EXPECT_EQ(FrameFloor(600000, kNtsc30), 17982);   // 17982.02
    EXPECT_EQ(FrameFloor(600000, kNtsc24), 14385);   // 14385.61
    EXPECT_EQ(FrameFloor(71654371, kNtsc30), 2147483);   // x 29.97.. = 2147483646.4
    EXPECT_THROW(FrameFloor(71654372, kNtsc30), OverflowError);
}

// The pointer on the strip.
TEST(FrameTime, FrameToNearestHalfToEven) {
    EXPECT_EQ(FrameNearest(20, 25), 0);       // 0.5
    EXPECT_EQ(FrameNearest(60, 25), 2);       // 1.5
    EXPECT_EQ(FrameNearest(-20, 25), 0);      // -0.5
    EXPECT_EQ(FrameNearest(-60, 25), -2);     // -1.5
    EXPECT_EQ(FrameNearest(2500, 30), 75);
    EXPECT_THROW(FrameNearest(71582789, 30), OverflowError);
    // 1001 ms at 29.97 is exactly 30 frames; 1018 ms 30.51.
    EXPECT_EQ(FrameNearest(1001, kNtsc30), 30);
    EXPECT_EQ(FrameNearest(1018, kNtsc30), 31);
    // The readouts: 64 bits wide, and the same halves.
    EXPECT_EQ(ReadoutFrames(600000, kNtsc30), 17982);
    EXPECT_EQ(ReadoutFrames(600000, kNtsc24), 14386);
    EXPECT_EQ(ReadoutFrames(INT32_MAX, 32767), 70366596661);
    EXPECT_EQ(ReadoutFrames(200, FrameRate::Fraction(25, 2)), 2);   // 2.5
    EXPECT_EQ(ReadoutFrames(600, FrameRate::Fraction(25, 2)), 8);   // 7.5
}

// Sliders back to ms, and where Step and Back go.
TEST(FrameTime, TimeOfAFrame) {
    EXPECT_EQ(MsOfFrame(1, 30), 33);
    EXPECT_EQ(MsOfFrame(2, 30), 67);
    EXPECT_EQ(MsOfFrame(1, 16), 62);          // 62.5 -> 62
    EXPECT_EQ(MsOfFrame(3, 16), 188);         // 187.5 -> 188
    EXPECT_EQ(MsOfFrame(-1, 16), -62);
    EXPECT_EQ(MsOfFrame(2147483, 30), 71582767);
    EXPECT_THROW(MsOfFrame(2147484, 30), OverflowError);   // frame x 1000 leaves 32 bits
    EXPECT_THROW(MsOfFrame(1, 0), DivisionByZeroError);
    EXPECT_EQ(MsOfFrame(17982, kNtsc30), 599999);             // 599999.4
    EXPECT_EQ(MsOfFrame(14385, kNtsc24), 599974);             // 599974.375
    // Step's frame starts: frame 1 at 29.97 starts at 33.367 ms.
    EXPECT_EQ(FrameStartMs(1, kNtsc30), 33);
    EXPECT_EQ(FrameStartMs(30, kNtsc30), 1001);
    EXPECT_EQ(FrameAtMs(1000, kNtsc30), 29);
    EXPECT_EQ(FrameAtMs(1001, kNtsc30), 30);
    for (const FrameRate rate : {kNtsc30, kNtsc24, FrameRate::Fraction(60000, 1001), FrameRate::Fraction(25, 2)})
        for (int64_t n = 1; n < 3000; ++n) {
            ASSERT_EQ(FrameAtMs(FrameStartMs(n, rate), rate), n) << n << " at " << rate;
            ASSERT_EQ(FrameAtMs(FrameStartMs(n, rate) - 1, rate), n - 1) << n << " at " << rate;
        }
    EXPECT_THROW(FrameStartMs(1, 0), DivisionByZeroError);
    EXPECT_THROW(FrameAtMs(1, -30), DivisionByZeroError);
}

// Frame starts in samples tile the sound; ms and seconds of a time.
TEST(FrameTime, SamplesAndSeconds) {
    // 29.97 at 48000 Hz: 1601.6 samples a frame; 30 frames are 48048.
    EXPECT_EQ(FrameStartSample(1, kNtsc30, 48000), 1602);
    EXPECT_EQ(FrameStartSample(30, kNtsc30, 48000), 48048);
    EXPECT_EQ(FrameStartSample(30000, kNtsc30, 48000), 48048000);
    EXPECT_EQ(MsToSamples(1, 44100), 44);       // 44.1
    EXPECT_EQ(MsToSamples(10, 11025), 110);     // 110.25
    EXPECT_EQ(MsToSamples(20, 11025), 220);     // 220.5 -> 220
    EXPECT_EQ(SamplesToMs(INT64_MAX, 8000), 1152921504606847);   // no overflow
    EXPECT_EQ(SecondsRoundedDown(999), 0);
    EXPECT_EQ(SecondsRoundedDown(-1), -1);
    EXPECT_EQ(SecondsNearest(1500), 2);
    EXPECT_EQ(SecondsNearest(2500), 2);
    EXPECT_EQ(SecondsNearest(-500), 0);
    EXPECT_EQ(TenthsNearest(1250), 12);
    EXPECT_EQ(TenthsNearest(-150), -2);
    EXPECT_EQ(TenthsNearest(-50), 0);
}

// Each frame holds the samples from its first up to the next frame's first,
// at whole and NTSC rates and both usual sample rates; the rule stays
// exact (and quick) out to the 64-bit ends.
TEST(FrameTime, TheFrameThatHoldsASample) {
    for (const FrameRate rate : {FrameRate(30), FrameRate(24), kNtsc30, kNtsc24})
        for (const int32_t sampleRate : {44100, 48000})
            for (const int64_t n : {int64_t{1}, int64_t{2}, int64_t{10}, int64_t{27}, int64_t{29}, int64_t{1001},
                                    int64_t{17982}, int64_t{107892}}) {
                SCOPED_TRACE(::testing::Message() << rate << " fps at " << sampleRate << ", frame " << n);
                const int64_t first = FrameStartSample(n, rate, sampleRate);
                EXPECT_EQ(FrameOfSample(first, rate, sampleRate), n);
                EXPECT_EQ(FrameOfSample(first - 1, rate, sampleRate), n - 1);
                EXPECT_EQ(FrameOfSample(FrameStartSample(n + 1, rate, sampleRate) - 1, rate, sampleRate), n);
                EXPECT_EQ(FrameAtMs(FrameStartMs(n, rate), rate), n);
            }
    // 30 fps at 44.1 kHz: frame 1 starts at sample 1470 (33.33 ms).
    EXPECT_EQ(FrameOfSample(1469, 30, 44100), 0);
    EXPECT_EQ(FrameOfSample(1470, 30, 44100), 1);
    // Out at the ends the frame starts saturate; the frame still comes back.
    EXPECT_EQ(FrameOfSample(INT64_MAX, 30, 44100), INT64_MAX / 44100 * 30 + (INT64_MAX % 44100) * 30 / 44100);
    EXPECT_LT(FrameOfSample(INT64_MIN, 30, 48000), 0);
    EXPECT_GT(FrameAtMs(INT64_MAX, kNtsc30), 0);
}
