// The window on the real sound output, recorded from a null sink of the
// test's own: a selection made with the mouse on the strip reaches the media
// control at the next status update, and Play then sounds exactly that
// stretch; Step pressed five times sounds five frames. Skipped when the test
// script's sound stack is not running.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <cmath>
#include <memory>

#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "playback/PulseSink.h"
#include "playback/system/PortAudioDevice.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"

namespace zv {
namespace {

constexpr int32_t kRate = 44100;
constexpr int kThreshold = 300;
constexpr int kLoud = 12288;   // above the quiet part's peak, below the loud part's

// Where the loud part begins in a burst, in ms from the burst's start.
double QuietMs(const std::vector<int16_t>& recording, const test::Burst& burst) {
    for (int64_t i = burst.start; i < burst.end; ++i)
        if (std::abs(static_cast<int>(recording[static_cast<size_t>(i)])) > kLoud)
            return static_cast<double>(i - burst.start) / 44.1;
    return burst.Ms();
}

struct Form1RealSound : ::testing::Test {
    std::unique_ptr<test::PrivateSink> sink;
    std::unique_ptr<test::FakePlatform> fake;   // the real media device
    std::unique_ptr<Form1> form;
    test::TempDir dir;

    void SetUp() override {
        ZV_NEED_SOUND_STACK();
        sink = std::make_unique<test::PrivateSink>();   // before the device: its output goes there
        fake = std::make_unique<test::FakePlatform>();
        ASSERT_NE(dynamic_cast<PortAudioDevice*>(fake->device.get()), nullptr);
        form = std::make_unique<Form1>(fake->platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, 1000));
        // 4000 ms: quiet up to 1500 ms, loud after it, so the recording
        // shows which part of the file was heard. 4 ms a strip pixel.
        const std::string path = dir.File("edge.wav");
        std::vector<float> samples = test::Tone(kRate, 4 * kRate, 1000.0, 0.15);
        const std::vector<float> loud = test::Tone(kRate, 4 * kRate, 1000.0, 0.6);
        const auto edge = static_cast<std::ptrdiff_t>(kRate * 3 / 2);
        std::copy(loud.begin() + edge, loud.end(), samples.begin() + edge);
        test::WriteWav(path, kRate, 2, samples);
        fake->fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_EQ(form->MMControl1->Length(), 4000);
        ASSERT_TRUE(test::WaitForRefresh(*form));
    }
    void TearDown() override {
        form.reset();
        fake.reset();
    }
    // Processes events (the control's status updates) until it stops sounding.
    void WaitForStop() {
        (void)QTest::qWaitFor([this] {
            return !form->MMControl1->IsSounding() && form->MMControl1->Mode() != MediaControl::ModePlay;
        }, 60000);
    }
};

TEST_F(Form1RealSound, PlayAfterARefreshSoundsExactlyTheSelection) {
    QTest::mouseClick(form->PicTime, Qt::LeftButton, Qt::NoModifier, QPoint(250, 8));
    QTest::mouseClick(form->PicTime, Qt::RightButton, Qt::NoModifier, QPoint(500, 8));
    ASSERT_EQ(form->SelStartMs, 1000);
    ASSERT_EQ(form->SelEndMs, 2000);
    ASSERT_TRUE(test::WaitForRefresh(*form));
    ASSERT_EQ(form->MMControl1->From(), 1000);
    ASSERT_EQ(form->MMControl1->To(), 2000);

    test::MonitorRecording recording(sink->Name());
    QTest::mouseClick(form->MMControl1->Button("Play"), Qt::LeftButton);
    EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModePlay);
    WaitForStop();
    EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModeStop);
    EXPECT_EQ(form->MMControl1->Position(), 2000);
    const std::vector<int16_t> samples = recording.StopAfter(1000);   // the sink's tail reaches the monitor

    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_EQ(bursts.size(), 1u);
    EXPECT_NEAR(bursts[0].Ms(), 1000.0, 10.0);
    // 1000..1500 ms of the file is quiet: the stretch began at the start.
    EXPECT_NEAR(QuietMs(samples, bursts[0]), 500.0, 5.0);
    std::printf("measured: selection %.2f ms, quiet part %.2f ms\n", bursts[0].Ms(), QuietMs(samples, bursts[0]));
}

TEST_F(Form1RealSound, FiveStepsShowFrameFiveAndSoundFiveFrames) {
    test::MonitorRecording recording(sink->Name());
    QAbstractButton* step = form->MMControl1->Button("Step");
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(step, Qt::LeftButton);
        WaitForStop();   // each frame sounds in full before the next press
    }
    EXPECT_EQ(form->LabMCIposition->text(), "Time: 0:0 / Frame: 5");
    EXPECT_EQ(form->MMControl1->Position(), 167);
    const std::vector<int16_t> samples = recording.StopAfter(1000);   // the sink's tail reaches the monitor

    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_EQ(bursts.size(), 5u);
    // The first frame starts the output from rest: the null sink mixes its
    // first milliseconds into a span its monitor has already passed on, so
    // the monitor may miss part of its start (a real sink plays it all).
    // It may be shorter, never longer; the frames after it are exact.
    EXPECT_LE(std::lround(bursts[0].Ms()), 34) << bursts[0].Ms();
    for (size_t i = 1; i < bursts.size(); ++i) {
        const long ms = std::lround(bursts[i].Ms());
        EXPECT_TRUE(ms == 33 || ms == 34) << bursts[i].Ms() << " ms, frame " << i + 1;
    }
}

} // namespace
} // namespace zv
