// The media control widget: its buttons, their states, its status timer and
// the click events, over the silent device.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "FakeMediaDevice.h"
#include "TestSounds.h"
#include "common/Errors.h"
#include "common/FrameTime.h"
#include "playback/system/SilentDevice.h"
#include "playback/ui/MediaControl.h"

namespace zv {
namespace {

const char* const kCaptions[] = {"Prev", "Play", "Pause", "Stop", "Back", "Step", "Next"};

class MediaControlTest : public ::testing::Test {
protected:
    MediaControlTest() : device([this] { return nowNs; }), control(device) {
        path = dir.File("tone.wav");
        test::WriteWav(path, 22050, 2, test::Tone(22050, 2 * 22050, 440.0, 0.5));
        QObject::connect(&control, &MediaControl::StatusUpdate, [this] { ++updates; });
    }
    void OpenFile() {
        control.SetFileName(path);
        control.SetCommand("Open");
    }
    std::string EnabledCaptions() const {
        std::string s;
        for (const char* caption : kCaptions)
            if (control.Button(caption)->isEnabled()) s += std::string(s.empty() ? "" : " ") + caption;
        return s;
    }
    void Click(const char* caption) { control.Button(caption)->click(); }
    // Runs the event loop until `done` or 10 s.
    template <typename Done> bool SpinUntil(Done done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }
    QTimer* StatusTimer() const { return control.findChild<QTimer*>(); }

    test::TempDir dir;
    std::string path;
    int64_t nowNs = 0;
    SilentDevice device;
    MediaControl control;
    int updates = 0;
};

TEST_F(MediaControlTest, SevenButtonsNamedByTheirCaptions) {
    const auto buttons = control.findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 7);
    for (const char* caption : kCaptions) {
        QAbstractButton* b = control.Button(caption);
        ASSERT_NE(b, nullptr) << caption;
        EXPECT_EQ(b->accessibleName(), QString::fromLatin1(caption));
    }
    EXPECT_EQ(control.Button("Record"), nullptr);
    EXPECT_EQ(control.Button("Eject"), nullptr);
}

// Every button shows its own picture, drawn at the size asked (small and
// HiDPI alike), greyed when the button is disabled.
TEST_F(MediaControlTest, EveryButtonShowsAPictureOfItsOwn) {
    std::vector<QImage> seen;
    for (const char* caption : kCaptions) {
        SCOPED_TRACE(caption);
        const QIcon icon = control.Button(caption)->icon();
        ASSERT_FALSE(icon.isNull());
        for (const int side : {16, 48}) {
            const QImage image = icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(image.width(), side);
            int inked = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            // Something drawn, and far from a filled square.
            EXPECT_GT(inked, side * side / 16);
            EXPECT_LT(inked, side * side / 2);
        }
        const QImage active = icon.pixmap(32, 32).toImage();
        const QImage disabled = icon.pixmap(32, 32, QIcon::Disabled).toImage();
        EXPECT_NE(active, disabled);
        for (const QImage& other : seen) EXPECT_NE(active, other) << "two buttons with one picture";
        seen.push_back(active);
    }
}

TEST_F(MediaControlTest, ButtonsFollowTheMode) {
    EXPECT_EQ(EnabledCaptions(), "");
    EXPECT_EQ(control.Mode(), MediaControl::ModeNotReady);
    control.SetCommand("Close");   // nothing open: harmless
    OpenFile();
    EXPECT_EQ(control.Length(), 2000);
    EXPECT_EQ(EnabledCaptions(), "Prev Play Back Step Next");
    Click("Play");
    EXPECT_EQ(control.Mode(), MediaControl::ModePlay);
    EXPECT_EQ(EnabledCaptions(), "Pause Stop Back Step");
    Click("Pause");
    EXPECT_EQ(control.Mode(), MediaControl::ModePause);
    EXPECT_EQ(EnabledCaptions(), "Prev Play Stop Back Step Next");
    Click("Stop");
    EXPECT_EQ(control.Mode(), MediaControl::ModeStop);
    EXPECT_EQ(EnabledCaptions(), "Prev Play Back Step Next");
    control.SetCommand("close");
    EXPECT_EQ(EnabledCaptions(), "");
    EXPECT_EQ(control.Length(), 0);
}

TEST_F(MediaControlTest, StatusUpdatesRunWhileAFileIsOpen) {
    EXPECT_FALSE(StatusTimer()->isActive());
    OpenFile();
    ASSERT_TRUE(StatusTimer()->isActive());
    EXPECT_EQ(StatusTimer()->interval(), MediaControl::kIdleIntervalMs);
    EXPECT_TRUE(SpinUntil([&] { return updates >= 2; }));

    Click("Play");
    EXPECT_EQ(StatusTimer()->interval(), MediaControl::kSoundingIntervalMs);
    // The play ends by itself; the next update notices and slows down.
    nowNs += 3'000'000'000;
    EXPECT_TRUE(SpinUntil([&] { return StatusTimer()->interval() == MediaControl::kIdleIntervalMs; }));
    EXPECT_EQ(control.Mode(), MediaControl::ModeStop);
    EXPECT_EQ(control.Position(), 2000);

    control.SetCommand("Close");
    EXPECT_FALSE(StatusTimer()->isActive());
    const int before = updates;
    QCoreApplication::processEvents();
    EXPECT_EQ(updates, before);
}

TEST_F(MediaControlTest, StepClickComesBeforeTheMoveSoTheRateCanChange) {
    OpenFile();
    control.SetFrameRate(30);
    int steps = 0, backs = 0;
    QObject::connect(&control, &MediaControl::StepClick, [&] {
        ++steps;
        control.SetFrameRate(25);
    });
    QObject::connect(&control, &MediaControl::BackClick, [&] { ++backs; });
    const int before = updates;
    Click("Step");
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(control.Position(), 40);   // moved at the rate handed over in StepClick
    EXPECT_GT(updates, before);          // the readouts follow at once
    Click("Back");
    EXPECT_EQ(backs, 1);
    EXPECT_EQ(control.Position(), 0);
}

// While a play sounds at a known frame rate, each status update falls just
// after the next frame begins to be heard: every frame is shown once, at
// 24, 29.97 and 60 fps, and at half speed every frame at least once with
// no update more than 50 ms after the one before. The device's clock moves
// by each interval the timer waits.
TEST_F(MediaControlTest, WhilePlayingEachFrameGetsItsOwnStatusUpdate) {
    struct Case {
        FrameRate rate;
        double speed;
    };
    for (const Case c : {Case{24, 1.0}, Case{FrameRate::Fraction(30000, 1001), 1.0}, Case{60, 1.0}, Case{24, 0.5}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " fps at " << c.speed);
        OpenFile();
        control.SetFrameRate(c.rate);
        control.Transport().SetSpeed(c.speed);
        std::vector<int64_t> frames;
        const auto seen = QObject::connect(&control, &MediaControl::StatusUpdate, [&] {
            frames.push_back(FrameOfSample(control.PositionSample(), c.rate, 22050));
        });
        Click("Play");
        ASSERT_EQ(frames, std::vector<int64_t>{0});
        int longest = 0;
        while (frames.size() < 12) {
            const int interval = StatusTimer()->interval();
            longest = std::max(longest, interval);
            nowNs += int64_t{interval} * 1'000'000;
            const std::size_t before = frames.size();
            ASSERT_TRUE(SpinUntil([&] { return frames.size() > before; }));
        }
        QObject::disconnect(seen);
        Click("Stop");
        control.SetCommand("Close");
        EXPECT_LE(longest, MediaControl::kLongestSoundingIntervalMs);
        for (std::size_t i = 1; i < frames.size(); ++i) {
            // Never a frame skipped; at full speed never one shown twice.
            EXPECT_GE(frames[i], frames[i - 1]) << i;
            EXPECT_LE(frames[i], frames[i - 1] + 1) << i;
            if (c.speed == 1.0) {
                EXPECT_EQ(frames[i], frames[i - 1] + 1) << i;
            }
        }
        if (c.speed != 1.0) {
            // 83 ms frames: two updates each, 50 ms apart at most.
            EXPECT_EQ(frames.back(), 5);
        }
    }
}

TEST_F(MediaControlTest, RangeIsReadBackAsSet) {
    OpenFile();
    control.SetFrom(250);
    control.SetTo(1750);
    EXPECT_EQ(control.From(), 250);
    EXPECT_EQ(control.To(), 1750);
    Click("Next");
    EXPECT_EQ(control.Position(), 1750);
    Click("Prev");
    EXPECT_EQ(control.Position(), 250);
}

TEST_F(MediaControlTest, FailedOpenAndUnknownCommandsThrowWithAReason) {
    control.SetFileName(dir.File("missing.wav"));
    try {
        control.SetCommand("Open");
        FAIL();
    } catch (const DeviceError& e) {
        EXPECT_STRNE(e.what(), "");
    }
    EXPECT_EQ(control.Mode(), MediaControl::ModeNotReady);
    EXPECT_THROW(control.SetCommand("Eject"), DeviceError);
}

TEST_F(MediaControlTest, WithoutSoundOutputTheFirstSoundSaysSoOnceAndTheClockRuns) {
    std::vector<QString> told;
    QObject::connect(&control, &MediaControl::Notice, [&](const QString& m) { told.push_back(m); });
    OpenFile();
    control.SetFrameRate(30);
    EXPECT_TRUE(told.empty());   // opening says nothing: nothing sounded yet
    Click("Play");
    ASSERT_EQ(told, std::vector<QString>{MediaControl::kMsgNoOutput});
    nowNs += 500'000'000;
    EXPECT_EQ(control.Position(), 500);   // the readouts still count
    Click("Pause");
    Click("Play");
    Click("Step");
    Click("Back");
    EXPECT_EQ(told.size(), 1u);
}

TEST(MediaControlFailures, OutputFailingIsToldOnceAndLeavesTheTransportStopped) {
    test::FakeMediaDevice device;
    MediaControl control(device);
    std::vector<QString> told;
    int updates = 0;
    QObject::connect(&control, &MediaControl::Notice, [&](const QString& m) { told.push_back(m); });
    QObject::connect(&control, &MediaControl::StatusUpdate, [&] { ++updates; });
    control.SetFileName("sound.wav");
    control.SetCommand("Open");
    control.Button("Play")->click();
    ASSERT_EQ(control.Mode(), MediaControl::ModePlay);
    EXPECT_TRUE(told.empty());

    // The output dies half a second in; the status timer finds out.
    device.position = 22050;
    device.playing = false;
    device.outputFailure = "the sound output stopped responding";
    auto spinUntil = [](auto done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    };
    ASSERT_TRUE(spinUntil([&] { return !told.empty(); }));
    const int after = updates;
    ASSERT_TRUE(spinUntil([&] { return updates >= after + 3; }));   // later updates say nothing more
    EXPECT_EQ(told, std::vector<QString>{"Playback stopped: the sound output stopped responding."});
    EXPECT_EQ(control.Mode(), MediaControl::ModeStop);
    EXPECT_EQ(control.Position(), 500);
    EXPECT_TRUE(control.Button("Play")->isEnabled());

    // An output that will not start is told with its reason, on that press.
    device.failPlay = true;
    control.Button("Play")->click();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], "Couldn't start the sound output: output failed");
    EXPECT_EQ(control.Mode(), MediaControl::ModeStop);
    EXPECT_EQ(control.Position(), 500);
}

TEST(MediaControlFailures, ButtonsSwallowDeviceErrors) {
    test::FakeMediaDevice device;
    MediaControl control(device);
    control.SetFileName("sound.wav");
    control.SetCommand("Open");
    control.SetFrameRate(30);
    device.failPlay = true;
    control.Button("Play")->click();     // would throw inside the handler
    EXPECT_EQ(control.Mode(), MediaControl::ModeStop);
    control.Button("Step")->click();
    EXPECT_EQ(control.Position(), 33);
    EXPECT_TRUE(control.Button("Play")->isEnabled());
}

} // namespace
} // namespace zv
