// DrawWaves on a recording canvas: centres, point spacing, frame choice,
// colours, readers, and what happens at the limits.
#include <gtest/gtest.h>

#include "sound/SoundBytes.h"
#include "sound/WavBytes.h"
#include "waveview/RecordingCanvas.h"
#include "waveview/WaveRenderer.h"

using namespace zv;
using namespace zv::test;

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

// `frames` 16-bit stereo frames, every one (left, right).
SoundData Stereo16(int frames, int16_t left, int16_t right) {
    Bytes b;
    for (int i = 0; i < frames; ++i) b += Le16(uint16_t(left)) + Le16(uint16_t(right));
    return MakeSound(b, 4, 2, 16);
}

// 16-bit mono where frame i holds (i + 1) x 256, so y names the frame.
SoundData CountingMono16(int frames) {
    Bytes b;
    for (int i = 0; i < frames; ++i) b += Le16(uint16_t((i + 1) * 256));
    return MakeSound(b, 2, 1, 16);
}

TEST(WaveRenderer, StereoAtTheDefaultSize) {
    // Left +0.5 (drawn below the upper centre), right -1.0 (above the lower).
    const SoundData s = Stereo16(100000, 16384, -32768);
    RecordingCanvas c;
    DrawWaves(s, c, 9015, 3675);
    EXPECT_EQ(c.clears, 1);
    EXPECT_EQ(c.flushes, 1);
    const auto red = c.Of(kRed), green = c.Of(kGreen);
    ASSERT_EQ(red.size(), 9016u);
    ASSERT_EQ(green.size(), 9016u);
    ASSERT_EQ(c.segments.size(), 2 * 9016u);
    // First segments: a vertical stroke from the centre lines at x = 0.
    EXPECT_EQ((std::vector<float>{red[0].x1, red[0].y1, red[0].x2, red[0].y2}),
              (std::vector<float>{0, 919, 0, 919 + 460}));  // 919 x 0.5 = 459.5 -> 460
    EXPECT_EQ((std::vector<float>{green[0].x1, green[0].y1, green[0].x2, green[0].y2}),
              (std::vector<float>{0, 2757, 0, 2757 - 919}));
    // Each segment starts where the last one ended, one unit further on.
    for (std::size_t i = 1; i < red.size(); ++i) {
        ASSERT_EQ(red[i].x1, red[i - 1].x2);
        ASSERT_EQ(red[i].y1, red[i - 1].y2);
        ASSERT_EQ(red[i].x2, float(i));
        ASSERT_EQ(green[i].y1, green[i - 1].y2);
    }
    // The last point is frame ViewEnd = NumSamples, outside the buffer: zero.
    EXPECT_EQ(red.back().x2, 9015);
    EXPECT_EQ(red.back().y2, 919);
    EXPECT_EQ(green.back().y2, 2757);
    EXPECT_EQ(red[9014].y2, 919 + 460);
}

TEST(WaveRenderer, CentresRoundHalfToEven) {
    RecordingCanvas c;
    const SoundData s = Stereo16(20000, 0, 0);
    DrawWaves(s, c, 9015, 3674);  // 918.5 -> 918, lower 3 x 918
    EXPECT_EQ(c.Of(kRed)[0].y1, 918);
    EXPECT_EQ(c.Of(kGreen)[0].y1, 2754);

    SoundData mono = CountingMono16(20000);
    DrawWaves(mono, c, 9015, 3675);  // 1837.5 -> 1838
    ASSERT_EQ(c.segments.size(), 9016u);
    EXPECT_EQ(c.Of(kGreen).size(), 9016u);
    EXPECT_EQ(c.segments[0].y1, 1838);
}

TEST(WaveRenderer, FewFramesSpreadWithARoundedIncrement) {
    // 1000 frames over 9015 units: step 9.015, increment 9, x = 0 ... 9009.
    SoundData s = Stereo16(1000, 0, 0);
    RecordingCanvas c;
    DrawWaves(s, c, 9015, 3675);
    const auto red = c.Of(kRed);
    ASSERT_EQ(red.size(), 1002u);
    for (std::size_t i = 0; i < red.size(); ++i) ASSERT_EQ(red[i].x2, float(9 * i));

    // 4 frames over 10 units: 0.4 frames per unit, step 2.5, increment 2:
    // x = 0, 2, ... 10 shows frames 0, 1, 2, 2, 3, 4 (4 is past the end).
    SoundData m = CountingMono16(4);
    DrawWaves(m, c, 10, 3675);
    std::vector<float> xs, frames;
    for (const Segment& seg : c.segments) {
        xs.push_back(seg.x2);
        // y = 1838 + round(1838 x (f + 1) x 256 / 32768): recover f.
        frames.push_back(seg.y2 == 1838 ? 4.0f : float(int((seg.y2 - 1838) / 1838.0 * 128.0 + 0.5) - 1));
    }
    EXPECT_EQ(xs, (std::vector<float>{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(frames, (std::vector<float>{0, 1, 2, 2, 3, 4}));
}

TEST(WaveRenderer, ViewStartShiftsTheFrames) {
    // A view of exactly Width frames: frame = x + ViewStart.
    SoundData m = CountingMono16(100);
    m.ViewStart = 5;
    m.ViewEnd = 15;
    RecordingCanvas c;
    DrawWaves(m, c, 10, 3675);
    ASSERT_EQ(c.segments.size(), 11u);
    const float frame5 = 1838.0f + float(RoundLong(1838 * (6 * 256 / 32768.0)));
    EXPECT_EQ(c.segments[0].y2, frame5);
}

TEST(WaveRenderer, ChannelCountAndWidthChooseLayoutAndReaders) {
    RecordingCanvas c;
    // Three 16-bit channels: one green trace of the first channel.
    Bytes three;
    for (int i = 0; i < 50; ++i) three += Le16(16384) + Le16(uint16_t(-32768)) + Le16(uint16_t(-32768));
    DrawWaves(MakeSound(three, 6, 3, 16), c, 20, 400);
    ASSERT_EQ(c.segments.size(), 21u);
    EXPECT_EQ(c.Of(kGreen).size(), 21u);
    EXPECT_EQ(c.segments[0].y2, 200 + 100);

    // 24-bit stereo is read by the 8-bit readers: bytes 0 and 1 of each
    // 6-byte frame as unsigned 8-bit.
    Bytes deep;
    for (int i = 0; i < 50; ++i) deep += Bytes{char(192), char(0), char(0), char(0), char(0), char(0)};
    DrawWaves(MakeSound(deep, 6, 2, 24), c, 20, 400);
    ASSERT_EQ(c.Of(kRed).size(), 21u);
    EXPECT_EQ(c.Of(kRed)[0].y2, 100 + 50);    // (192 - 128) / 128 = 0.5
    EXPECT_EQ(c.Of(kGreen)[0].y2, 300 - 100);  // (0 - 128) / 128 = -1

    // 8-bit stereo.
    DrawWaves(MakeSound(Bytes(100, char(255)), 2, 2, 8), c, 20, 400);
    EXPECT_EQ(c.Of(kRed)[0].y2, 100 + 99);     // 0.9921875 x 100 = 99.2
}

TEST(WaveRenderer, NotLoadedEmptyViewAndZeroWidthOnlyClear) {
    RecordingCanvas c;
    SoundData s = Stereo16(100, 1000, 1000);
    s.WavLoaded = false;
    s.ViewEnd = INT32_MIN;  // would overflow if anything were computed
    EXPECT_NO_THROW(DrawWaves(s, c, 0, 3675));
    EXPECT_EQ(c.clears, 1);
    EXPECT_TRUE(c.segments.empty());

    // A loaded 0-frame sound: the view is empty.
    SoundData empty = MakeSound("", 4);
    EXPECT_NO_THROW(DrawWaves(empty, c, 9015, 3675));
    EXPECT_EQ(c.clears, 2);
    EXPECT_TRUE(c.segments.empty());

    s.WavLoaded = true;
    s.ViewEnd = 100;
    EXPECT_NO_THROW(DrawWaves(s, c, 0, 3675));
    EXPECT_TRUE(c.segments.empty());
    // A reversed view or a negative width never ends a loop: nothing drawn.
    s.ViewStart = 100;
    s.ViewEnd = 0;
    EXPECT_NO_THROW(DrawWaves(s, c, 9015, 3675));
    EXPECT_TRUE(c.segments.empty());
    s.ViewStart = 0;
    s.ViewEnd = 100;
    EXPECT_NO_THROW(DrawWaves(s, c, -0.4f, 3675));
    EXPECT_NO_THROW(DrawWaves(s, c, -9015, 3675));
    EXPECT_TRUE(c.segments.empty());
    EXPECT_EQ(c.clears, 6);
}

TEST(WaveRenderer, OverflowsPassToTheCallerAndKeepWhatWasDrawn) {
    RecordingCanvas c;
    SoundData s = Stereo16(100, 0, 0);
    s.ViewStart = INT32_MIN;
    s.ViewEnd = 1;  // 1 - INT32_MIN does not fit
    EXPECT_THROW(DrawWaves(s, c, 9015, 3675), OverflowError);
    EXPECT_EQ(c.clears, 1);
    EXPECT_EQ(c.flushes, 1);

    // Frame offsets beyond 32 bits from x = 2 on: the first points stay.
    s.ViewStart = INT32_MAX / 4 - 2;
    s.ViewEnd = s.ViewStart + 10;
    EXPECT_THROW(DrawWaves(s, c, 10, 3675), OverflowError);
    EXPECT_EQ(c.segments.size(), 3u * 2);
    EXPECT_EQ(c.flushes, 2);

    s.ViewStart = 0;
    s.ViewEnd = 100;
    EXPECT_THROW(DrawWaves(s, c, 3e9f, 3675), OverflowError);   // last x
    EXPECT_THROW(DrawWaves(s, c, 9015, 1e10f), OverflowError);  // centre
    EXPECT_THROW(DrawWaves(s, c, 9015, 3.0e9f), OverflowError); // 3 x centre
}

}  // namespace
