// The media control's logic: open/close, play range, the transport buttons
// and Step/Back, on the silent device with a clock the test turns, and on a
// fake device where exact stretches and failures matter.
#include <gtest/gtest.h>

#include "FakeMediaDevice.h"
#include "TestSounds.h"
#include "common/Errors.h"
#include "playback/MediaTransport.h"
#include "playback/system/SilentDevice.h"

namespace zv {
namespace {

using test::FakeMediaDevice;

std::pair<int64_t, int64_t> Stretch(int64_t from, int64_t to) { return {from, to}; }

class SilentTransport : public ::testing::Test {
protected:
    SilentTransport() : device([this] { return nowNs; }), transport(device) {
        path = dir.File("three-seconds.wav");
        test::WriteWav(path, 44100, 1, test::Tone(44100, 3 * 44100, 440.0, 0.5));
    }
    void OpenFile() {
        transport.SetFileName(path);
        transport.Open();
    }
    void Advance(int64_t ms) { nowNs += ms * 1000000; }
    bool Enabled(bool MediaTransport::Buttons::*button) const { return transport.EnabledButtons().*button; }

    test::TempDir dir;
    std::string path;
    int64_t nowNs = 1000000000;
    SilentDevice device;
    MediaTransport transport;
};

TEST_F(SilentTransport, NothingOpen) {
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeNotReady);
    EXPECT_EQ(transport.Length(), 0);
    EXPECT_EQ(transport.Position(), 0);
    transport.Close();   // harmless
    transport.SetFrameRate(30);
    transport.Play();
    transport.Step();
    transport.Next();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeNotReady);
    const auto b = transport.EnabledButtons();
    EXPECT_FALSE(b.prev || b.play || b.pause || b.stop || b.back || b.step || b.next);
}

TEST_F(SilentTransport, OpenCloseAndAFailedOpen) {
    OpenFile();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
    EXPECT_EQ(transport.Length(), 3000);
    EXPECT_EQ(transport.Position(), 0);
    EXPECT_EQ(transport.From(), 0);
    EXPECT_EQ(transport.To(), 3000);

    // A file the device cannot open: a reason, and the open file stays.
    const std::string text = dir.File("notes.wav");
    test::WriteText(text, "these are not samples");
    transport.SetFileName(text);
    try {
        transport.Open();
        FAIL() << "opened a text file";
    } catch (const DeviceError& e) {
        EXPECT_STRNE(e.what(), "");
    }
    EXPECT_EQ(transport.Length(), 3000);
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);

    transport.Close();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeNotReady);
    EXPECT_EQ(transport.Length(), 0);
    transport.Close();
    OpenFile();   // reopen
    EXPECT_EQ(transport.Length(), 3000);
}

TEST_F(SilentTransport, PlayPauseStopFollowTheClockWithinTheRange) {
    OpenFile();
    transport.SetFrom(1000);
    transport.SetTo(2000);
    transport.Play();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModePlay);
    EXPECT_EQ(transport.Position(), 1000);
    EXPECT_TRUE(Enabled(&MediaTransport::Buttons::pause));
    EXPECT_FALSE(Enabled(&MediaTransport::Buttons::play));
    Advance(250);
    EXPECT_EQ(transport.Position(), 1250);

    transport.Pause();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModePause);
    Advance(500);
    EXPECT_EQ(transport.Position(), 1250);
    EXPECT_TRUE(Enabled(&MediaTransport::Buttons::play));
    EXPECT_TRUE(Enabled(&MediaTransport::Buttons::stop));

    transport.Play();   // resumes inside the range
    Advance(250);
    EXPECT_EQ(transport.Position(), 1500);
    transport.Stop();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
    EXPECT_EQ(transport.Position(), 1500);   // Stop keeps the position
    EXPECT_FALSE(Enabled(&MediaTransport::Buttons::stop));

    transport.Play();   // resumes from a stop inside the range too
    Advance(10000);
    EXPECT_EQ(transport.Position(), 2000);   // stops at the range end
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
    EXPECT_TRUE(transport.Update());
    EXPECT_FALSE(transport.Update());
    EXPECT_EQ(transport.Position(), 2000);

    transport.Play();   // at the end: starts over from the range start
    EXPECT_EQ(transport.Position(), 1000);
    transport.Stop();
}

TEST_F(SilentTransport, PlayFromOutsideTheRangeStartsAtItsStart) {
    OpenFile();
    transport.SetFrom(2500);
    transport.Prev();
    transport.SetFrom(1000);
    transport.SetTo(2000);
    transport.Play();
    EXPECT_EQ(transport.Position(), 1000);
}

TEST_F(SilentTransport, RangeIsReadBackAsSetAndClampedWhenUsed) {
    OpenFile();
    transport.SetFrom(-50);
    transport.SetTo(99999);
    EXPECT_EQ(transport.From(), -50);
    EXPECT_EQ(transport.To(), 99999);
    transport.Next();
    EXPECT_EQ(transport.Position(), 3000);
    transport.Prev();
    EXPECT_EQ(transport.Position(), 0);

    // A range set end first plays the stretch between its two ends.
    transport.SetFrom(2000);
    transport.SetTo(1500);
    transport.Play();
    EXPECT_EQ(transport.Position(), 1500);
    Advance(5000);
    EXPECT_EQ(transport.Position(), 2000);

    // An empty range plays nothing.
    transport.Update();
    transport.SetFrom(700);
    transport.SetTo(700);
    transport.Play();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
}

TEST_F(SilentTransport, PrevAndNextGoToTheRangeEnds) {
    OpenFile();
    transport.SetFrom(400);
    transport.SetTo(2600);
    transport.Next();
    EXPECT_EQ(transport.Position(), 2600);
    transport.Prev();
    EXPECT_EQ(transport.Position(), 400);
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
}

TEST_F(SilentTransport, StepAndBackAtThirtyAndTwentyFiveFramesPerSecond) {
    OpenFile();
    transport.SetFrameRate(30);
    for (int32_t expected : {33, 67, 100}) {
        transport.Step();
        EXPECT_EQ(transport.Position(), expected);
        EXPECT_TRUE(transport.IsSounding());
        EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
    }
    for (int32_t expected : {67, 33, 0, 0}) {
        transport.Back();
        EXPECT_EQ(transport.Position(), expected);
    }
    transport.SetFrameRate(25);
    transport.Step();
    EXPECT_EQ(transport.Position(), 40);
    transport.Step();
    EXPECT_EQ(transport.Position(), 80);

    // The frame's sound ends by itself; the position stays at its start.
    Advance(100);
    transport.Update();
    EXPECT_FALSE(transport.IsSounding());
    EXPECT_EQ(transport.Position(), 80);
}

TEST_F(SilentTransport, StepFromInsideAFrameAndAtTheEnd) {
    OpenFile();
    transport.SetFrameRate(30);
    transport.SetFrom(50);   // inside frame 1 (33..66)
    transport.Prev();
    transport.Step();
    EXPECT_EQ(transport.Position(), 67);
    transport.Prev();
    transport.Back();
    EXPECT_EQ(transport.Position(), 33);

    transport.SetTo(2990);   // inside the last frame, which starts at 2967
    transport.Next();
    transport.Step();
    EXPECT_EQ(transport.Position(), 3000);   // frame 90 starts at the very end
    transport.Step();
    EXPECT_EQ(transport.Position(), 3000);   // stays
    transport.Back();
    EXPECT_EQ(transport.Position(), 2967);
}

TEST_F(SilentTransport, StepWhilePlayingPausesFirst) {
    OpenFile();
    transport.SetFrameRate(30);
    transport.Play();
    Advance(100);
    transport.Step();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModePause);
    EXPECT_EQ(transport.Position(), 133);
    transport.Play();   // resumes from the frame
    EXPECT_EQ(transport.Position(), 133);
}

TEST_F(SilentTransport, NoFrameRateNoStep) {
    OpenFile();
    transport.SetFrom(500);
    transport.Prev();
    for (int16_t rate : {int16_t{0}, int16_t{-30}}) {
        transport.SetFrameRate(rate);
        transport.Step();
        transport.Back();
        EXPECT_EQ(transport.Position(), 500);
        EXPECT_FALSE(transport.IsSounding());
    }
    // Not even a pause while playing.
    transport.Play();
    transport.Step();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModePlay);
}

class FakeTransport : public ::testing::Test {
protected:
    FakeTransport() : transport(device) {
        transport.SetFileName("sound.wav");
        transport.Open();
    }
    FakeMediaDevice device;
    MediaTransport transport;
};

TEST_F(FakeTransport, EachStepSoundsExactlyItsFrameAndCutsThePrevious) {
    transport.SetFrameRate(24);   // 1837.5 samples a frame at 44100 Hz
    transport.Step();
    transport.Step();
    transport.Step();
    transport.Back();
    ASSERT_EQ(device.plays.size(), 4u);
    EXPECT_EQ(device.plays[0], Stretch(1838, 3675));
    EXPECT_EQ(device.plays[1], Stretch(3675, 5512));
    EXPECT_EQ(device.plays[2], Stretch(5512, 7350));
    EXPECT_EQ(device.plays[3], Stretch(3675, 5512));
    EXPECT_EQ(device.cuts, 3);   // every new press silenced the one before
    EXPECT_EQ(transport.Position(), 83);
}

TEST_F(FakeTransport, LastFrameIsCutAtTheEndOfTheSound) {
    device.length = 1000;   // 22.7 ms: frame 0 only, and short
    transport.Close();
    transport.Open();
    transport.SetFrameRate(30);
    transport.Step();       // frame 1 starts at 33 ms, past the end: stays
    EXPECT_TRUE(device.plays.empty());
    transport.SetTo(20);
    transport.Next();
    transport.Back();
    ASSERT_EQ(device.plays.size(), 1u);
    EXPECT_EQ(device.plays[0], Stretch(0, 1000));
}

TEST_F(FakeTransport, OutputFailingMidPlayStopsWhereTheSoundBroke) {
    transport.Play();
    ASSERT_EQ(transport.Mode(), MediaTransport::ModePlay);
    device.position = 22050;
    device.playing = false;   // the output died
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
    EXPECT_TRUE(transport.Update());
    EXPECT_EQ(transport.Position(), 500);
    transport.Play();         // and playing again resumes there
    ASSERT_EQ(device.plays.size(), 2u);
    EXPECT_EQ(device.plays[1].first, 22050);
}

TEST_F(FakeTransport, OutputThatCannotStartLeavesTheTransportStopped) {
    transport.SetFrom(1000);
    transport.Prev();
    device.failPlay = true;
    EXPECT_THROW(transport.Play(), DeviceError);
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
    EXPECT_EQ(transport.Position(), 1000);
    transport.SetFrameRate(30);
    EXPECT_THROW(transport.Step(), DeviceError);
    EXPECT_EQ(transport.Position(), 1033);   // moved although it stayed silent
    EXPECT_FALSE(transport.IsSounding());
}

TEST_F(FakeTransport, FailedOpenKeepsEverything) {
    transport.SetFrom(100);
    device.failOpen = true;
    transport.SetFileName("other.wav");
    EXPECT_THROW(transport.Open(), DeviceError);
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeStop);
    EXPECT_EQ(transport.From(), 100);
    EXPECT_EQ(transport.Length(), 3000);
}

} // namespace
} // namespace zv

namespace zv {
namespace {

// Loop Selection and the slow speeds: a play loops back to the range's
// start, a frame of Step never loops, and a change while playing goes on
// from the sample being heard the new way.
TEST_F(FakeTransport, LoopAndSpeedReachEveryPlayAndChangeAPlayInProgress) {
    transport.SetFrom(1000);
    transport.SetTo(2000);
    transport.SetLoop(true);
    transport.SetSpeed(0.5);
    transport.Play();
    ASSERT_EQ(device.styles.size(), 1u);
    EXPECT_TRUE(device.styles[0].loop);
    EXPECT_EQ(device.styles[0].loopStart, 44100);
    EXPECT_EQ(device.styles[0].speed, 0.5);

    device.position = 66150;   // 1.5 s heard
    transport.SetSpeed(1.0);
    ASSERT_EQ(device.plays.size(), 2u);
    EXPECT_EQ(device.plays[1], Stretch(66150, 88200));
    EXPECT_EQ(device.styles[1].speed, 1.0);
    EXPECT_EQ(device.styles[1].loopStart, 44100);   // still back to the range's start

    transport.Pause();
    transport.SetFrameRate(30);
    transport.SetSpeed(0.25);
    transport.Step();
    EXPECT_FALSE(device.styles.back().loop);
    EXPECT_EQ(device.styles.back().speed, 0.25);
    // Any other speed is normal speed.
    transport.SetSpeed(0.3);
    EXPECT_EQ(transport.Speed(), 1.0);
}

TEST_F(SilentTransport, TheSilentClockRunsAtThePlaysSpeedAndGoesRoundALoop) {
    OpenFile();
    transport.SetFrom(1000);
    transport.SetTo(1500);
    transport.SetSpeed(0.5);
    transport.Play();
    Advance(600);
    EXPECT_EQ(transport.Position(), 1300);
    transport.Pause();
    transport.SetSpeed(1.0);
    transport.SetLoop(true);
    transport.Play();   // resumes at 1300, then loops from 1000
    Advance(450);
    EXPECT_EQ(transport.Position(), 1250);
    EXPECT_EQ(transport.Mode(), MediaTransport::ModePlay);
}

} // namespace
} // namespace zv
