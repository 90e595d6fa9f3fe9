// The length and position readouts: minutes:seconds and frames.
#include <gtest/gtest.h>

#include <limits>

#include "timeline/Readouts.h"

namespace zv {
namespace {

struct Row {
    int32_t ms;
    int16_t fps;
    const char* length;
    const char* position;
};

TEST(Readouts, CaptionsOfTheTable) {
    const Row rows[] = {
        {0, 30, "Total Length:(Time: 0:0 / Frames: 0)", "Time: 0:0 / Frame: 0"},
        {150000, 30, "Total Length:(Time: 2:30 / Frames: 4500)", "Time: 2:30 / Frame: 4500"},
        {45000, 30, "Total Length:(Time: 0:45 / Frames: 1350)", "Time: 0:45 / Frame: 1350"},
        {61000, 30, "Total Length:(Time: 1:1 / Frames: 1830)", "Time: 1:1 / Frame: 1830"},
        {125000, 30, "Total Length:(Time: 2:5 / Frames: 3750)", "Time: 2:5 / Frame: 3750"},
        {119600, 30, "Total Length:(Time: 1:59 / Frames: 3588)", "Time: 2:0 / Frame: 3588"},
        {90500, 25, "Total Length:(Time: 1:30 / Frames: 2262)", "Time: 1:30 / Frame: 2262"},
        {3723456, 24, "Total Length:(Time: 62:3 / Frames: 89363)", "Time: 62:3 / Frame: 89363"},
        {5000, 30, "Total Length:(Time: 0:5 / Frames: 150)", "Time: 0:5 / Frame: 150"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(LengthCaption(r.ms, r.ms, r.fps), r.length) << r.ms;
        EXPECT_EQ(PositionCaption(r.ms, r.ms, r.fps), r.position) << r.ms;
    }
}

TEST(Readouts, SecondsRoundDownForTheLengthAndToNearestEvenForThePosition) {
    // Length seconds never reach 60; position seconds carry into the minutes.
    EXPECT_EQ(LengthCaption(119999, 0, 30), "Total Length:(Time: 1:59 / Frames: 0)");
    EXPECT_EQ(PositionCaption(59500, 0, 30), "Time: 1:0 / Frame: 0");   // 59.5 -> 60
    EXPECT_EQ(PositionCaption(58500, 0, 30), "Time: 0:58 / Frame: 0");  // 58.5 -> 58
    EXPECT_EQ(PositionCaption(499, 0, 30), "Time: 0:0 / Frame: 0");
    EXPECT_EQ(PositionCaption(501, 0, 30), "Time: 0:1 / Frame: 0");
}

TEST(Readouts, FramesRoundHalfToEvenInDouble) {
    EXPECT_EQ(ReadoutFrames(90500, 25), 2262);   // 2262.5
    EXPECT_EQ(ReadoutFrames(3500, 9), 32);       // 31.5
    EXPECT_EQ(ReadoutFrames(31500, 1), 32);      // 31.5
    EXPECT_EQ(ReadoutFrames(2500, 1), 2);        // 2.5
    EXPECT_EQ(ReadoutFrames(1020, 25), 26);      // 25.5 -> 26
    EXPECT_EQ(ReadoutFrames(1017, 30), 31);      // 30.51
}

TEST(Readouts, NegativeAndZeroFrameRates) {
    EXPECT_EQ(LengthCaption(150000, 150000, -30), "Total Length:(Time: 2:30 / Frames: -4500)");
    EXPECT_EQ(PositionCaption(90500, 90500, -25), "Time: 1:30 / Frame: -2262");
    EXPECT_EQ(LengthCaption(150000, 150000, 0), "Total Length:(Time: 2:30 / Frames: 0)");
    EXPECT_EQ(PositionCaption(150000, 150000, 0), "Time: 2:30 / Frame: 0");
}

TEST(Readouts, MinutesAndFramesComeFromTheirOwnReading) {
    // The device moved on between the two reads: frames belong to the later one.
    EXPECT_EQ(PositionCaption(1000, 2000, 30), "Time: 0:1 / Frame: 60");
    EXPECT_EQ(LengthCaption(61000, 0, 30), "Total Length:(Time: 1:1 / Frames: 0)");
}

TEST(Readouts, ExtremeValuesNeitherOverflowNorFold) {
    const int32_t most = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(LengthCaption(most, most, 32767), "Total Length:(Time: 35791:23 / Frames: 70366596661)");
    EXPECT_EQ(PositionCaption(most, most, -32768), "Time: 35791:24 / Frame: -70368744145");
    // Negative times (never given by the device) keep seconds within 0..59.
    EXPECT_EQ(LengthCaption(-500, -500, 30), "Total Length:(Time: -1:59 / Frames: -15)");
}

} // namespace
} // namespace zv
