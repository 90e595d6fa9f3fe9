#include <gtest/gtest.h>

#include "common/Errors.h"
#include "selection/Selection.h"
#include "selection/SliderModel.h"
#include "session/Session.h"

using namespace zv;

namespace {

// A 10000 ms sound at 30 fps, as just opened: sliders 0 to 300. No sound
// is loaded, so the session counts in ms.
struct SelectionFixture : ::testing::Test {
    Session session;
    bool dragging = false;
    SliderModel scrollStart{0, 300, 0}, scrollEnd{0, 300, 300};
    float width = 10000.0f;

    SelectionFixture() { session.SetSelectionMs(0, 10000); }
    SelectionContext C() { return {session, dragging, scrollStart, scrollEnd}; }
    void Down(int16_t b, float x) { SelectionMouseDown(C(), b, x, width); }
    void Move(int16_t b, float x) { SelectionMouseMove(C(), b, x, width); }
    void Up() { SelectionMouseUp(C()); }
    void Expect(int32_t s, int32_t e, int32_t vs, int32_t ve) {
        EXPECT_EQ(session.SelectionStartMs(), s);
        EXPECT_EQ(session.SelectionEndMs(), e);
        EXPECT_EQ(scrollStart.Value(), vs);
        EXPECT_EQ(scrollEnd.Value(), ve);
    }
};

} // namespace

TEST_F(SelectionFixture, LeftSetsTheStartAndRightTheEnd) {
    Down(1, 2500.0f);
    Up();
    Expect(2500, 10000, 75, 300);
    Down(2, 8000.0f);
    Up();
    Expect(2500, 8000, 75, 240);
    Down(1, 2500.5f);  // t rounds half to even
    Expect(2500, 8000, 75, 240);
    Down(1, 1001.5f);
    Expect(1002, 8000, 30, 240);  // 30.06 frames
}

TEST_F(SelectionFixture, ClicksThatMustChangeNothing) {
    session.SetSelectionStartMs(2000);
    session.SetSelectionEndMs(8000);
    for (auto [b, x] : {std::pair<int16_t, float>{1, 8000.0f}, {1, 9000.0f}, {2, 2000.0f},
                        {2, 100.0f}, {3, 5000.0f}, {4, 5000.0f}, {0, 5000.0f},
                        {1, 0.99f}, {2, 0.5f}, {2, 10000.5f}}) {
        Down(b, x);
        Up();
        Expect(2000, 8000, 0, 300);
    }
    Down(2, 10000.0f);  // the scale width itself is still on the strip
    Expect(2000, 10000, 0, 300);
}

TEST_F(SelectionFixture, DragFollowsUntilThePointerPassesTheOtherEdge) {
    session.SetSelectionEndMs(5000);
    Move(1, 3000.0f);  // no press yet: nothing
    Expect(0, 5000, 0, 300);
    Down(1, 1000.0f);
    Move(1, 4000.0f);
    Move(1, 4999.4f);
    Move(1, 6000.0f);  // past the end: stays at the last position left of it
    Expect(4999, 5000, 150, 300);
    Move(3, 2000.0f);  // both buttons held
    Move(0, 2000.0f);
    Expect(4999, 5000, 150, 300);
    Up();
    Move(1, 2000.0f);
    Expect(4999, 5000, 150, 300);
}

TEST_F(SelectionFixture, StartComparesUnroundedAndMayRoundOntoTheEnd) {
    session.SetSelectionEndMs(1000);
    Down(1, 999.6f);
    EXPECT_EQ(session.SelectionStartMs(), 1000);
    EXPECT_EQ(scrollStart.Value(), 30);
}

TEST_F(SelectionFixture, SliderValueBeyondItsRangeIsClampedWhileTheMsAreSet) {
    // 1020 ms at 30 fps: maximum 30, a right click at 1020 gives 31 frames.
    session.SetSelectionEndMs(1020);
    width = 1020.0f;
    scrollStart = SliderModel(0, 30, 0);
    scrollEnd = SliderModel(0, 30, 30);
    Down(2, 1020.0f);
    Expect(0, 1020, 0, 30);
    Down(2, 500.0f);
    Expect(0, 500, 0, 15);
}

TEST_F(SelectionFixture, OverflowLeavesEverythingAsItWas) {
    width = 3.0e9f;
    session.SetSelectionEndMs(INT32_MAX);
    Down(1, 75000000.0f);  // 30 x 75000000 leaves 32 bits
    Down(2, 80000000.0f);
    Down(2, 2.5e9f);       // X itself leaves 32 bits
    Expect(0, INT32_MAX, 0, 300);
}

TEST_F(SelectionFixture, SlidersPushBackToOneFrameApartAndConvertToMs) {
    session.SetRate(25);
    scrollStart.SetValue(50);
    SelectionScrollStart(C());
    Expect(2000, 10000, 50, 300);

    scrollEnd.SetValue(50);  // onto the start: pushed to start + 1, ms kept
    SelectionScrollEnd(C());
    Expect(2000, 10000, 50, 51);
    scrollEnd.SetValue(40);
    SelectionScrollEnd(C());
    Expect(2000, 10000, 50, 51);

    scrollStart.SetValue(51);  // onto the end: pushed to end - 1
    SelectionScrollStart(C());
    Expect(2000, 10000, 50, 51);

    scrollEnd.SetValue(75);
    SelectionScrollEnd(C());
    Expect(2000, 3000, 50, 75);

    // Pushed values are clamped: the end cannot pass its maximum.
    scrollStart.SetValue(300);
    scrollEnd.SetValue(300);
    SelectionScrollEnd(C());
    EXPECT_EQ(scrollEnd.Value(), 300);
    // ms round half to even: 1 frame at 16 fps is 62.5 ms.
    session.SetRate(16);
    scrollStart.SetValue(1);
    SelectionScrollStart(C());
    EXPECT_EQ(session.SelectionStartMs(), 62);
}

TEST_F(SelectionFixture, ScrollWithoutAUsableFrameRateOrInRangeKeepsTheMs) {
    scrollStart.SetValue(10);
    for (int32_t f : {0, -30}) {
        session.SetRate(f);
        SelectionScrollStart(C());
        SelectionScrollEnd(C());
        Expect(0, 10000, 10, 300);
    }
    session.SetRate(1);  // 3000000 frames x 1000 leaves 32 bits
    scrollEnd = SliderModel(0, 3000000, 3000000);
    SelectionScrollEnd(C());
    Expect(0, 10000, 10, 3000000);
}

TEST_F(SelectionFixture, OpenResetsTheSelectionAndBothRanges) {
    int32_t length = 150000;
    int reads = 0;
    auto device = [&] { ++reads; return length; };
    session.SetSelectionStartMs(700);
    scrollStart = SliderModel(0, 10, 7);
    EXPECT_TRUE(SelectionResetForOpen(C(), device));
    EXPECT_EQ(reads, 3);
    Expect(0, 150000, 7, 4500);  // ScrollStart's value untouched
    EXPECT_EQ(scrollStart.Maximum(), 4500);
    EXPECT_EQ(scrollEnd.Maximum(), 4500);

    EXPECT_EQ(SelectionFrameCount(1234567, 30), 37037);
    EXPECT_EQ(SelectionFrameCount(71582788, 30), 2147483);
    EXPECT_EQ(SelectionFrameCount(1500, 0), 0);
    EXPECT_THROW(SelectionFrameCount(71582789, 30), OverflowError);

    session.SetRate(0);
    EXPECT_TRUE(SelectionResetForOpen(C(), device));
    Expect(0, 150000, 0, 0);
}

TEST_F(SelectionFixture, OpenOverflowResetsTheSelectionAndLeavesTheRanges) {
    scrollStart = SliderModel(5, 300, 7);
    session.SetSelectionStartMs(100);
    EXPECT_FALSE(SelectionResetForOpen(C(), [] { return 71582789; }));
    EXPECT_EQ(session.SelectionStartMs(), 0);
    EXPECT_EQ(session.SelectionEndMs(), 71582789);
    EXPECT_EQ(scrollStart.Minimum(), 0);
    EXPECT_EQ(scrollStart.Maximum(), 300);
    EXPECT_EQ(scrollEnd.Maximum(), 300);
    EXPECT_EQ(scrollEnd.Value(), 300);
}

TEST(SliderModel, ClampsLikeTheSliderControl) {
    SliderModel s(0, 10, 20);
    EXPECT_EQ(s.Value(), 10);
    s.SetMaximum(4);
    EXPECT_EQ(s.Value(), 4);
    s.SetMinimum(8);  // raises the maximum with it
    EXPECT_EQ(s.Maximum(), 8);
    EXPECT_EQ(s.Value(), 8);
    s.SetMaximum(-3);
    EXPECT_EQ(s.Minimum(), -3);
    EXPECT_EQ(s.Value(), -3);
}
