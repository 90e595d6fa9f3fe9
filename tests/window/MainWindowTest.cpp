// The window as the benchmarks drive it through MainWindow.h: File > Open
// with the platform's dialog, what it reads back, and nothing done to (and
// no crash on) a window it did not make.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <memory>

#include "FakeMediaDevice.h"
#include "FakePlatform.h"
#include "TestSounds.h"
#include "playback/ui/MediaControl.h"
#include "session/Session.h"
#include "sound/SoundData.h"
#include "window/MainWindow.h"
#include "window/PictureBox.h"

namespace zv {
namespace {

TEST(MainWindowDriving, OpensTheFileTheDialogGivesAndReadsTheWindowBack) {
    test::FakePlatformWith<std::unique_ptr<test::FakeMediaDevice>> fake;
    fake.device->sampleRate = 1000;
    fake.device->length = 100;
    test::TempDir dir;
    const std::string wav = dir.File("tone.wav");
    test::WriteWav(wav, 8000, 2, test::Tone(8000, 800, 440, 0.5));
    const std::unique_ptr<QMainWindow> window = MakeMainWindow(fake.platform);
    QMainWindow& form = *window;

    const MainWindowControls controls = ControlsOf(form);
    ASSERT_NE(controls.waveform, nullptr);
    ASSERT_NE(controls.strip, nullptr);
    ASSERT_NE(controls.panel, nullptr);
    ASSERT_NE(controls.media, nullptr);
    EXPECT_NE(controls.waveform, controls.strip);
    ASSERT_NE(SharedState(form), nullptr);
    EXPECT_FALSE(OpenSound(form)->WavLoaded);
    EXPECT_EQ(OpenFileName(form), "");

    // The user cancels: nothing opens.
    ChooseFileToOpen(form);
    EXPECT_EQ(fake.fileDialog.shown, 1);
    EXPECT_FALSE(OpenSound(form)->WavLoaded);

    fake.fileDialog.answer = wav;
    ChooseFileToOpen(form);
    EXPECT_FALSE(IsOpening(form));   // a small WAV opens at once
    EXPECT_TRUE(fake.messages.texts.empty());
    EXPECT_TRUE(OpenSound(form)->WavLoaded);
    EXPECT_EQ(OpenSound(form)->NumSamples, 800);
    EXPECT_EQ(OpenFileName(form), wav);
    EXPECT_EQ(controls.media->Length(), 100);

    // The selection moved through the shared state shows on the strip's readouts.
    SharedState(form)->SetSelectionEndMs(50);
    RefreshTimeLine(form);
    EXPECT_EQ(SharedState(form)->SelectionEndMs(), 50);
}

TEST(MainWindowDriving, AnotherWindowIsLeftAlone) {
    QMainWindow other;
    ChooseFileToOpen(other);
    RefreshTimeLine(other);
    EXPECT_FALSE(IsOpening(other));
    EXPECT_EQ(OpenSound(other), nullptr);
    EXPECT_EQ(OpenFileName(other), "");
    EXPECT_EQ(SharedState(other), nullptr);
    const MainWindowControls none = ControlsOf(other);
    EXPECT_EQ(none.waveform, nullptr);
    EXPECT_EQ(none.strip, nullptr);
    EXPECT_EQ(none.panel, nullptr);
    EXPECT_EQ(none.media, nullptr);
}

} // namespace
} // namespace zv
