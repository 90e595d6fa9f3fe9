#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Errors.h"
#include "playback/TimelineRefresh.h"

using namespace zv;

namespace {

// Records every call of the refresh, in order, as text.
class FakeTimelineView : public TimelineView, public Canvas {
public:
    std::u16string text = u"30";
    int32_t mode = 526, length = 10000, position = 0, rangeStart = -1;
    bool failRange = false;
    std::vector<std::string> calls;

    std::u16string_view FrameRateText() override { calls.push_back("text"); return text; }
    int32_t DeviceMode() override { calls.push_back("mode"); return mode; }
    int32_t DeviceLength() override { calls.push_back("length"); return length; }
    void SetStartCaption(std::string_view t) override { calls.push_back(std::string(t)); }
    void SetEndCaption(std::string_view t) override { calls.push_back(std::string(t)); }
    void SetSelectedCaption(std::string_view t) override { calls.push_back(std::string(t)); }
    void SetStripScale(float w, float h) override {
        calls.push_back("scale " + std::to_string(int(w)) + "x" + std::to_string(int(h)));
    }
    void SetPlayRange(int32_t from, int32_t to) override {
        if (failRange) throw DeviceError("no device");
        rangeStart = from;
        calls.push_back("range " + std::to_string(from) + "-" + std::to_string(to));
    }
    int32_t PlayRangeStart() override { calls.push_back("from?"); return rangeStart; }
    int32_t Position() override { calls.push_back("position?"); return position; }
    Canvas& Strip() override { return *this; }
    void ShowTimes() override { calls.push_back("ShowTimes"); }

    void Clear() override { calls.push_back("clear"); }
    void Line(float, float, float, float, Rgb) override { calls.push_back("line"); }
    void Box(float x1, float y1, float x2, float y2, Rgb c) override {
        calls.push_back("box " + std::to_string(int(x1)) + "," + std::to_string(int(y1)) + " " +
                        std::to_string(int(x2)) + "," + std::to_string(int(y2)) + " " +
                        std::to_string(c.r) + "/" + std::to_string(c.g) + "/" + std::to_string(c.b));
    }
};

} // namespace

TEST(TimelineRefresh, RunsItsStepsInOrderAndReadsTheRangeBackAfterSettingIt) {
    FakeTimelineView view;
    view.position = 700;
    TimelineRefresh refresh(view);
    FrameRate fps = 0;
    refresh.RefreshTimeline(fps, 0, 1500);
    EXPECT_EQ(fps, 30);
    const std::vector<std::string> expected = {
        "text", "mode", "Start: 0", "End: 45", "Selected:(Seconds:1.5 / Frames:45)",
        "length", "scale 10000x10", "range 0-1500", "clear", "box 0,0 1500,2 204/204/0",
        "from?", "position?", "box 0,4 700,10 0/255/0", "box 0,0 0,10 255/0/0",
        "box 1500,0 1500,10 0/0/255", "ShowTimes"};
    EXPECT_EQ(view.calls, expected);
}

TEST(TimelineRefresh, RecordingModeOnlyRereadsTheFrameRateAndTheReadouts) {
    FakeTimelineView view;
    view.mode = 527;
    view.text = u"25 fps";
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(fps, 0, 1500);
    EXPECT_EQ(fps, 25);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"text", "mode", "ShowTimes"}));
}

TEST(TimelineRefresh, UnchangedCaptionsAreNotSetAgain) {
    FakeTimelineView view;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(fps, 0, 1500);
    view.calls.clear();
    refresh.RefreshTimeline(fps, 0, 1600);  // only the end moved (frame 48)
    EXPECT_EQ(view.calls[2], "End: 48");
    EXPECT_EQ(view.calls[3], "Selected:(Seconds:1.6 / Frames:48)");
    EXPECT_EQ(view.calls[4], "length");
}

TEST(TimelineRefresh, OverflowKeepsThatCaptionAndTheRefreshGoesOn) {
    FakeTimelineView view;
    view.length = 80000000;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(fps, 1000, 75000000);  // end x 30 leaves 32 bits
    EXPECT_EQ(view.calls[2], "Start: 30");
    EXPECT_EQ(view.calls[3], "length");
    EXPECT_EQ(view.calls.back(), "ShowTimes");
    EXPECT_EQ(view.calls.size(), 14u);
}

TEST(TimelineRefresh, LengthZeroLeavesTheStripUnscaledAndUndrawn) {
    FakeTimelineView view;
    view.length = 0;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(fps, 0, 0);
    const std::vector<std::string> expected = {
        "text", "mode", "Start: 0", "End: 0", "Selected:(Seconds:0 / Frames:0)",
        "length", "range 0-0", "clear", "ShowTimes"};
    EXPECT_EQ(view.calls, expected);
    view.calls.clear();
    EXPECT_FALSE(refresh.PicLength());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"length"}));
}

TEST(TimelineRefresh, DeviceErrorEndsTheStripStepsButTheReadoutsStillRun) {
    FakeTimelineView view;
    view.failRange = true;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    EXPECT_NO_THROW(refresh.RefreshTimeline(fps, 0, 1500));
    EXPECT_EQ(view.calls.back(), "ShowTimes");
    EXPECT_EQ(view.calls[view.calls.size() - 2], "scale 10000x10");
}

TEST(TimelineRefresh, ReadFrameRateKeepsTheRateForANumberBeyondSixteenBits) {
    FakeTimelineView view;
    TimelineRefresh refresh(view);
    FrameRate fps = 24;
    view.text = u"40000";
    refresh.ReadFrameRate(fps);
    EXPECT_EQ(fps, 24);
    view.text = u"";
    refresh.ReadFrameRate(fps);
    EXPECT_EQ(fps, 0);
}
