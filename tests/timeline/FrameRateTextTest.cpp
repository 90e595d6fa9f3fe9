// The frame rate as typed into "Frames Per Second", read exactly, and the
// figures the strip and the readouts show at the NTSC video rates.
#include <gtest/gtest.h>

#include <string>

#include "common/FrameTime.h"
#include "timeline/Readouts.h"
#include "common/FrameRateText.h"
#include "timeline/TimelineText.h"

using namespace zv;

namespace {

const FrameRate kNtsc24 = FrameRate::Fraction(24000, 1001);
const FrameRate kNtsc30 = FrameRate::Fraction(30000, 1001);
const FrameRate kKept = FrameRate::Fraction(7, 3);   // the rate before the text was read

FrameRate Read(std::u16string_view text) { return TimelineExactFrameRate(text, kKept); }

} // namespace

TEST(FrameRateText, WholeNumbersReadAsTheyAlwaysDid) {
    EXPECT_EQ(Read(u"25 fps"), FrameRate(25));
    EXPECT_EQ(Read(u" 2 5 "), FrameRate(25));
    EXPECT_EQ(Read(u"- 2\t4"), FrameRate(-24));
    EXPECT_EQ(Read(u"1e3"), FrameRate(1000));
    EXPECT_EQ(Read(u"2.5e1"), FrameRate(25));
    EXPECT_EQ(Read(u"&H10"), FrameRate(16));
    EXPECT_EQ(Read(u"30.0004"), FrameRate(30));    // three decimals: 30.000
    EXPECT_EQ(Read(u"32767"), FrameRate(32767));
    EXPECT_EQ(Read(u"-32768"), FrameRate(-32768));
}

TEST(FrameRateText, VideoSpellingsMeanTheExactNtscRates) {
    for (const char16_t* text : {u"23.976", u"23.98", u"23.9760", u" 23 . 976 fps"})
        EXPECT_EQ(Read(text), kNtsc24) << std::u16string(text).size();
    EXPECT_EQ(Read(u"29.97"), kNtsc30);
    EXPECT_EQ(Read(u"2.997e1"), kNtsc30);
    EXPECT_EQ(Read(u"47.952"), FrameRate::Fraction(48000, 1001));
    EXPECT_EQ(Read(u"47.95"), FrameRate::Fraction(48000, 1001));
    EXPECT_EQ(Read(u"59.94"), FrameRate::Fraction(60000, 1001));
    EXPECT_EQ(Read(u"119.88"), FrameRate::Fraction(120000, 1001));
    EXPECT_EQ(Read(u"-29.97"), FrameRate::Fraction(-30000, 1001));
    // Near them but not them: taken as typed.
    EXPECT_EQ(Read(u"29.96"), FrameRate::Fraction(2996, 100));
    EXPECT_EQ(Read(u"23.97"), FrameRate::Fraction(2397, 100));
}

TEST(FrameRateText, OtherDecimalsAreExactToThreeDecimals) {
    EXPECT_EQ(Read(u"12.5"), FrameRate::Fraction(25, 2));
    EXPECT_EQ(Read(u"0.001"), FrameRate::Fraction(1, 1000));
    EXPECT_EQ(Read(u"12.3455"), FrameRate::Fraction(12346, 1000));   // halves to even
    EXPECT_EQ(Read(u"12.3445"), FrameRate::Fraction(12344, 1000));
    EXPECT_EQ(Read(u"12.34450001"), FrameRate::Fraction(12345, 1000));
    EXPECT_EQ(Read(u"0.0004"), FrameRate(0));
    EXPECT_EQ(Read(u"1e-99999"), FrameRate(0));
    EXPECT_EQ(Read(u"32767.4"), FrameRate::Fraction(163837, 5));
}

TEST(FrameRateText, JunkGivesNoRateAndWhatCannotBeHeldKeepsThePrevious) {
    for (const char16_t* text : {u"", u"abc", u"-", u".", u"x5", u"２４"}) EXPECT_EQ(Read(text), FrameRate(0));
    for (const char16_t* text : {u"32767.5", u"-32768.6", u"40000", u"1e400", u"&HFFFF",
                                 u"99999999999999999999", u"0.00000000000000000000000000001e40"})
        EXPECT_EQ(Read(text), kKept) << std::u16string(text).size();
}

TEST(FrameRateText, TenMinutesAtTheNtscRates) {
    std::string end;
    EXPECT_EQ(LengthCaption(600000, 600000, kNtsc30), "Total Length:(Time: 10:0 / Frames: 17982)");
    EXPECT_EQ(LengthCaption(600000, 600000, kNtsc24), "Total Length:(Time: 10:0 / Frames: 14386)");
    EXPECT_EQ(LengthCaption(600000, 600000, 30), "Total Length:(Time: 10:0 / Frames: 18000)");
    TimelineEndCaption(end, kNtsc24, 600000);
    EXPECT_EQ(end, "End: 14385");
    TimelineSelectedCaption(end, kNtsc30, 1001, 600600);
    EXPECT_EQ(end, "Selected:(Seconds:599.6 / Frames:17970)");
    // The timecode beside the frame count, drop-frame at 29.97 only.
    EXPECT_EQ(LengthCaption(600000, 600000, kNtsc30, true),
              "Total Length:(Time: 10:0 / Frames: 17982 / Timecode: 00:10:00;00)");
    EXPECT_EQ(PositionCaption(600000, 600000, kNtsc24, true),
              "Time: 10:0 / Frame: 14386 / Timecode: 00:09:59:10");
    EXPECT_EQ(PositionCaption(5000, 5000, 0, true), "Time: 0:5 / Frame: 0");
}
