// Scrubbing on the fake device: each frame entered sounds once and in full,
// the newest frame entered wins while one sounds, and letting go after a
// drag cuts the sound at once; a click lets its frame sound out.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "FakeMediaDevice.h"
#include "playback/MediaTransport.h"
#include "playback/Scrubber.h"

namespace zv {
namespace {

using Stretch = std::pair<int64_t, int64_t>;

struct ScrubberTest : ::testing::Test {
    test::FakeMediaDevice device;
    MediaTransport transport{device};
    Scrubber scrub{transport};

    void SetUp() override {
        device.sampleRate = 48000;
        device.length = 48000 * 2;   // 2 s: frames 0..59 at 30 fps
        transport.Open();
        transport.SetFrameRate(30);
    }
    static Stretch Frame(int64_t n) { return {n * 1600, (n + 1) * 1600}; }
    // The device heard the stretch it plays to its end.
    void HearToTheEnd() { device.position = device.plays.back().second; }
};

TEST_F(ScrubberTest, EachFrameEnteredSoundsOnceAndNewestWins) {
    scrub.Press(10);
    EXPECT_EQ(device.plays, std::vector<Stretch>{Frame(10)});
    EXPECT_EQ(transport.Position(), 333);
    scrub.Move(10);   // still the same frame: nothing new
    // Frames 11, 12, 13 entered while 10 sounds: only the newest waits.
    scrub.Move(11);
    scrub.Move(12);
    scrub.Move(13);
    EXPECT_EQ(device.plays.size(), 1u);
    EXPECT_TRUE(scrub.Waiting());
    EXPECT_FALSE(scrub.Poll());   // 10 not yet heard to its end
    HearToTheEnd();
    EXPECT_TRUE(scrub.Poll());
    EXPECT_EQ(device.plays, (std::vector<Stretch>{Frame(10), Frame(13)}));
    EXPECT_EQ(transport.Position(), 433);
    EXPECT_FALSE(scrub.Waiting());
    // Heard: the next frame entered sounds at once, backwards as well.
    HearToTheEnd();
    scrub.Move(12);
    EXPECT_EQ(device.plays.back(), Frame(12));
    // While 12 sounds the pointer goes to 14 and back to 12: nothing waits.
    scrub.Move(14);
    scrub.Move(12);
    EXPECT_FALSE(scrub.Waiting());
    EXPECT_EQ(device.plays.size(), 3u);
}

TEST_F(ScrubberTest, ReleaseAfterADragStopsAtOnceAndDropsTheWaitingFrame) {
    scrub.Press(5);
    HearToTheEnd();
    scrub.Move(6);
    scrub.Move(7);   // waits behind 6
    ASSERT_TRUE(device.playing);
    const int cuts = device.cuts;
    scrub.Release();
    EXPECT_FALSE(device.playing);
    EXPECT_EQ(device.cuts, cuts + 1);
    EXPECT_FALSE(scrub.Waiting());
    device.position = 1 << 20;   // whatever the device does now, nothing more starts
    EXPECT_FALSE(scrub.Poll());
    EXPECT_EQ(device.plays, (std::vector<Stretch>{Frame(5), Frame(6)}));
    EXPECT_EQ(transport.Position(), 200);   // the frame last heard

    // A click (press and release on one frame) lets its frame sound out.
    scrub.Press(20);
    scrub.Release();
    EXPECT_TRUE(device.playing);
    EXPECT_EQ(device.plays.back(), Frame(20));
    scrub.Move(21);   // not held any more
    EXPECT_EQ(device.plays.back(), Frame(20));
}

TEST_F(ScrubberTest, FramesBeyondTheSoundAreItsLastAndFirst) {
    scrub.Press(500);
    EXPECT_EQ(device.plays.back(), Frame(59));
    scrub.Release();
    device.playing = false;
    scrub.Press(-3);
    EXPECT_EQ(device.plays.back(), Frame(0));
    // No frame rate: nothing sounds.
    transport.SetFrameRate(0);
    scrub.Press(4);
    EXPECT_EQ(device.plays.size(), 2u);
}

} // namespace
} // namespace zv
