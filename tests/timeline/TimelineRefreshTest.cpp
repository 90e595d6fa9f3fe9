#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Errors.h"
#include "timeline/TimelineRefresh.h"
#include "common/FrameRateText.h"
#include "timeline/TimelineText.h"
#include "session/Session.h"

using namespace zv;

namespace {

// Records every call of the refresh, in order, as text.
class FakeTimelineView : public TimelineView, public Canvas {
public:
    int32_t mode = 526, length = 10000, position = 0, rangeStart = -1;
    bool failRange = false;
    std::vector<std::string> calls;

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

// A session at `fps` with no sound open (it counts in ms), selecting
// [startMs, endMs).
struct At {
    Session session;
    At(FrameRate fps, int32_t startMs, int32_t endMs) {
        session.SetRate(fps);
        session.SetSelectionMs(startMs, endMs);
    }
};

} // namespace

TEST(TimelineRefresh, RunsItsStepsInOrderAndReadsTheRangeBackAfterSettingIt) {
    FakeTimelineView view;
    view.position = 700;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(At(fps, 0, 1500).session);
    const std::vector<std::string> expected = {
        "mode", "Start: 0", "End: 45", "Selected:(Seconds:1.5 / Frames:45)",
        "length", "scale 10000x10", "range 0-1500", "clear", "box 0,0 1500,2 204/204/0",
        "from?", "position?", "box 0,4 700,10 0/255/0", "box 0,0 0,10 255/0/0",
        "box 1500,0 1500,10 0/0/255", "ShowTimes"};
    EXPECT_EQ(view.calls, expected);
}

TEST(TimelineRefresh, RecordingModeOnlyRefreshesTheReadouts) {
    FakeTimelineView view;
    view.mode = 527;
    TimelineRefresh refresh(view);
    FrameRate fps = 25;
    refresh.RefreshTimeline(At(fps, 0, 1500).session);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"mode", "ShowTimes"}));
}

TEST(TimelineRefresh, UnchangedCaptionsAreNotSetAgain) {
    FakeTimelineView view;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(At(fps, 0, 1500).session);
    view.calls.clear();
    refresh.RefreshTimeline(At(fps, 0, 1600).session);  // only the end moved (frame 48)
    EXPECT_EQ(view.calls[1], "End: 48");
    EXPECT_EQ(view.calls[2], "Selected:(Seconds:1.6 / Frames:48)");
    EXPECT_EQ(view.calls[3], "length");
}

TEST(TimelineRefresh, OverflowKeepsThatCaptionAndTheRefreshGoesOn) {
    FakeTimelineView view;
    view.length = 80000000;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(At(fps, 1000, 75000000).session);  // end x 30 leaves 32 bits
    EXPECT_EQ(view.calls[1], "Start: 30");
    EXPECT_EQ(view.calls[2], "length");
    EXPECT_EQ(view.calls.back(), "ShowTimes");
    EXPECT_EQ(view.calls.size(), 13u);
}

TEST(TimelineRefresh, LengthZeroLeavesTheStripUnscaledAndUndrawn) {
    FakeTimelineView view;
    view.length = 0;
    TimelineRefresh refresh(view);
    FrameRate fps = 30;
    refresh.RefreshTimeline(At(fps, 0, 0).session);
    const std::vector<std::string> expected = {
        "mode", "Start: 0", "End: 0", "Selected:(Seconds:0 / Frames:0)",
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
    EXPECT_NO_THROW(refresh.RefreshTimeline(At(fps, 0, 1500).session));
    EXPECT_EQ(view.calls.back(), "ShowTimes");
    EXPECT_EQ(view.calls[view.calls.size() - 2], "scale 10000x10");
}

TEST(TimelineRefresh, ARateTextBeyondSixteenBitsKeepsTheRateItHad) {
    EXPECT_EQ(TimelineExactFrameRate(u"40000", 24), 24);
    EXPECT_EQ(TimelineExactFrameRate(u"", 24), 0);
}

// The labels read the frames the selection's edges stand on: a selection
// from the first sample of frame 1 reads "Start: 1", although its time
// rounded to whole ms lies a little before frame 1's (33 ms at 30 fps, 41.7
// ms at 24, 33.4 at 29.97).
TEST(TimelineRefresh, ASelectionFromAFramesFirstSampleReadsThatFrame) {
    struct Case {
        FrameRate rate;
        const char* start;
        const char* end;
        const char* selected;
    };
    const Case cases[] = {
        {30, "Start: 1", "End: 90", "Selected:(Seconds:3 / Frames:89)"},
        {24, "Start: 1", "End: 72", "Selected:(Seconds:3 / Frames:71)"},
        {FrameRate::Fraction(30000, 1001), "Start: 1", "End: 89", "Selected:(Seconds:3 / Frames:88)"},
    };
    for (const Case& c : cases) {
        FakeTimelineView view;
        view.length = 3000;
        TimelineRefresh refresh(view);
        Session session;
        session.SetRate(c.rate);
        session.SetSound(44100, 3 * 44100);
        session.SetSelection(session.FrameStart(1), 3 * 44100);
        refresh.RefreshTimeline(session);
        SCOPED_TRACE(::testing::Message() << c.rate);
        ASSERT_GE(view.calls.size(), 4u);
        EXPECT_EQ(view.calls[1], c.start);
        EXPECT_EQ(view.calls[2], c.end);
        EXPECT_EQ(view.calls[3], c.selected);
    }
}

// Every frame, not only the first: a selection from the first sample of
// frame f to the first sample of frame g reads "Start: f", "End: g" and
// g - f frames, at film, NTSC and whole video rates and at the two common
// sample rates, where a frame's first sample is rounded up from a time
// that falls between samples.
TEST(TimelineRefresh, EveryFramesFirstSampleReadsThatFrameAndTheFramesBetweenAreCounted) {
    for (const FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001), FrameRate(30)}) {
        for (const int32_t sampleRate : {44100, 48000}) {
            SCOPED_TRACE(::testing::Message() << rate << " fps, " << sampleRate << " Hz");
            Session session;
            session.SetRate(rate);
            session.SetSound(sampleRate, int64_t{10} * sampleRate);
            const int32_t frames = session.FrameAt(int64_t{10} * sampleRate);
            int wrong = 0;
            for (int32_t f = 0; f < frames && wrong < 3; ++f) {
                const int32_t g = frames - f / 2;   // ends spread over the later half
                FakeTimelineView view;
                view.length = 10000;
                TimelineRefresh refresh(view);
                session.SetSelection(session.FrameStart(f), session.FrameStart(g));
                refresh.RefreshTimeline(session);
                ASSERT_GE(view.calls.size(), 4u);
                const std::string frameCount = "Frames:" + std::to_string(g - f) + ")";
                if (view.calls[1] != "Start: " + std::to_string(f) || view.calls[2] != "End: " + std::to_string(g) ||
                    view.calls[3].find(frameCount) == std::string::npos) {
                    ++wrong;
                    ADD_FAILURE() << "frames " << f << "-" << g << ": " << view.calls[1] << ", " << view.calls[2]
                                  << ", " << view.calls[3];
                }
            }
        }
    }
}
