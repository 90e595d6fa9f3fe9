#include <gtest/gtest.h>

#include <cmath>

#include "common/Errors.h"
#include "timeline/TimelineStrip.h"
#include "common/FrameRateText.h"
#include "timeline/TimelineText.h"

using namespace zv;

namespace {
std::string Start(int16_t fps, int32_t s) { std::string o; TimelineStartCaption(o, fps, s); return o; }
std::string End(int16_t fps, int32_t e) { std::string o; TimelineEndCaption(o, fps, e); return o; }
std::string Selected(int16_t fps, int32_t s, int32_t e) {
    std::string o;
    TimelineSelectedCaption(o, fps, s, e);
    return o;
}
} // namespace

TEST(TimelineText, FrameRateTextIsReadAsItsLeadingNumberRoundedHalfToEven) {
    EXPECT_EQ(TimelineFrameRate(u"25 fps", 7), 25);
    EXPECT_EQ(TimelineFrameRate(u"29.97", 7), 30);
    EXPECT_EQ(TimelineFrameRate(u"", 7), 0);
    EXPECT_EQ(TimelineFrameRate(u"abc", 7), 0);
    EXPECT_EQ(TimelineFrameRate(u"-5", 7), -5);
    EXPECT_EQ(TimelineFrameRate(u" 2 5 ", 7), 25);   // blanks anywhere
    EXPECT_EQ(TimelineFrameRate(u"- 2\t4", 7), -24);
    EXPECT_EQ(TimelineFrameRate(u"29.5", 7), 30);
    EXPECT_EQ(TimelineFrameRate(u"30.5", 7), 30);
    EXPECT_EQ(TimelineFrameRate(u"24.4.9", 7), 24);  // one decimal point only
    EXPECT_EQ(TimelineFrameRate(u"1,5", 7), 1);      // the point is always "."
    EXPECT_EQ(TimelineFrameRate(u"-", 7), 0);
    EXPECT_EQ(TimelineFrameRate(u".", 7), 0);
    EXPECT_EQ(TimelineFrameRate(u"24 fps", 7), 24);  // the window's UTF-16 text
    EXPECT_EQ(TimelineFrameRate(u"２４", 7), 0);     // only ASCII digits
}

TEST(TimelineText, ExponentsAndHexAndOctalFollowVal) {
    EXPECT_EQ(TimelineLeadingNumber(u"1e3"), 1000.0);
    EXPECT_EQ(TimelineLeadingNumber(u"1 E -1"), 0.1);
    EXPECT_EQ(TimelineLeadingNumber(u"3d1"), 30.0);
    EXPECT_EQ(TimelineLeadingNumber(u"25e"), 25.0);      // exponent without digits
    EXPECT_EQ(TimelineLeadingNumber(u"25 each"), 25.0);
    EXPECT_EQ(TimelineLeadingNumber(u"&H10"), 16.0);
    EXPECT_EQ(TimelineLeadingNumber(u"&hFFFF"), 65535.0);  // no 16-bit wrap to -1
    EXPECT_EQ(TimelineLeadingNumber(u"&O17"), 15.0);
    EXPECT_EQ(TimelineLeadingNumber(u"&O8"), 0.0);
    EXPECT_EQ(TimelineLeadingNumber(u"&"), 0.0);
    EXPECT_EQ(TimelineLeadingNumber(u"1e-400"), 0.0);
    EXPECT_TRUE(std::isinf(TimelineLeadingNumber(u"1e400")));
    EXPECT_EQ(TimelineLeadingNumber(u"-1e400"), -INFINITY);
    EXPECT_EQ(TimelineLeadingNumber(u"0.0001e99999999999999999999"), INFINITY);
    EXPECT_EQ(TimelineLeadingNumber(std::u16string(400, u'9')), INFINITY);
}

TEST(TimelineText, FrameRateOutsideSixteenBitsKeepsThePreviousValue) {
    EXPECT_EQ(TimelineFrameRate(u"32767", 30), 32767);
    EXPECT_EQ(TimelineFrameRate(u"-32768", 30), -32768);
    EXPECT_EQ(TimelineFrameRate(u"32767.5", 30), 30);   // rounds to 32768
    EXPECT_EQ(TimelineFrameRate(u"-32768.6", 30), 30);
    EXPECT_EQ(TimelineFrameRate(u"99999999999999999999", 30), 30);
    EXPECT_EQ(TimelineFrameRate(u"1e400", 30), 30);
    EXPECT_EQ(TimelineFrameRate(u"&H8000", 30), 30);
}

TEST(TimelineText, CaptionsOfTheSelection) {
    EXPECT_EQ(Start(30, 0), "Start: 0");
    EXPECT_EQ(End(30, 1500), "End: 45");
    EXPECT_EQ(Selected(30, 0, 1500), "Selected:(Seconds:1.5 / Frames:45)");
    // The frames figure is the difference of the rounded-down frame numbers.
    EXPECT_EQ(Start(30, 20), "Start: 0");
    EXPECT_EQ(End(30, 40), "End: 1");
    EXPECT_EQ(Selected(30, 20, 40), "Selected:(Seconds:0 / Frames:1)");
    EXPECT_EQ(Selected(30, 700, 700), "Selected:(Seconds:0 / Frames:0)");
    // Frame rate 0: every frames figure is 0, the seconds still show.
    EXPECT_EQ(Selected(0, 0, 15000), "Selected:(Seconds:15 / Frames:0)");
    // Frame numbers round down, also below zero.
    EXPECT_EQ(Start(30, -10), "Start: -1");
    EXPECT_EQ(Start(-30, 100), "Start: -3");
    EXPECT_EQ(Selected(30, 600, 100), "Selected:(Seconds:-0.5 / Frames:-15)");
}

TEST(TimelineText, SecondsRoundToOneDecimalHalfToEven) {
    EXPECT_EQ(Selected(30, 0, 1250), "Selected:(Seconds:1.2 / Frames:37)");
    EXPECT_EQ(Selected(30, 0, 1750), "Selected:(Seconds:1.8 / Frames:52)");
    EXPECT_EQ(TimelineSelectedTenths(0, 350), 4);    // 0.35 is not exact in binary
    EXPECT_EQ(TimelineSelectedTenths(0, 450), 4);
    EXPECT_EQ(TimelineSelectedTenths(0, 50), 0);
    EXPECT_EQ(TimelineSelectedTenths(0, 51), 1);
    EXPECT_EQ(TimelineSelectedTenths(0, 149), 1);
    EXPECT_EQ(TimelineSelectedTenths(100, 50), 0);   // -0.05 shows as 0
    EXPECT_EQ(TimelineSelectedTenths(150, 0), -2);
    EXPECT_EQ(TimelineSelectedTenths(0, INT32_MAX), 21474836);
    EXPECT_EQ(TimelineSelectedTenths(INT32_MIN + 1, 0), 21474836);
    EXPECT_EQ(Selected(0, 100, 50), "Selected:(Seconds:0 / Frames:0)");
    EXPECT_EQ(Selected(0, 0, 2147483647), "Selected:(Seconds:2147483.6 / Frames:0)");
}

TEST(TimelineText, OverflowThrowsBeforeTheCaptionIsTouched) {
    std::string caption = "End: 7";
    EXPECT_EQ(TimelineFrameOf(30, 71582788), 2147483);
    EXPECT_THROW(TimelineEndCaption(caption, 30, 71582789), OverflowError);
    EXPECT_THROW(TimelineSelectedCaption(caption, 0, INT32_MIN, 1), OverflowError);
    EXPECT_THROW(TimelineSelectedCaption(caption, 30, 0, 71582789), OverflowError);
    EXPECT_EQ(caption, "End: 7");
}

TEST(TimelineStrip, ScaleAndShapes) {
    EXPECT_EQ(TimelineScaleWidth(10000), 10000.0f);
    EXPECT_EQ(TimelineScaleWidth(0), std::nullopt);
    EXPECT_EQ(TimelineScaleWidth(-5), std::nullopt);
    EXPECT_EQ(TimelineSelectionBand(100, 900), (TimelineBox{100, 0, 900, 2, {204, 204, 0}}));
    // The progress box keeps its corners' order, also when the position
    // lies before the range start.
    EXPECT_EQ(TimelineProgressBox(500, 200), (TimelineBox{500, 4, 200, 10, {0, 255, 0}}));
    EXPECT_EQ(TimelineStartMark(100), (TimelineBox{100, 0, 100, 10, {255, 0, 0}}));
    EXPECT_EQ(TimelineEndMark(900), (TimelineBox{900, 0, 900, 10, {0, 0, 255}}));
}
