// The exact frame rates and the timecode view through the shown window,
// with a ten-minute sound on the real sound device.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/Slider.h"

namespace zv {
namespace {

struct Form1FrameRate : ::testing::Test {
    test::FakePlatform fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    QTemporaryDir settings;   // remembered settings of this test only

    void SetUp() override {
        ASSERT_TRUE(settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, 1000));
        // Ten minutes of silence, 8000 samples a second.
        const std::string path = dir.File("ten-minutes.wav");
        test::WriteWav(path, 8000, 1, std::vector<float>(8000 * 600, 0.0f));
        fake.fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_EQ(form->MMControl1->Length(), 600000);
    }
    void TearDown() override {
        form.reset();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    // Types a rate and waits for the status update that reads it.
    void Type(const char* rate) {
        form->TxtNumFrames->setText(QString::fromLatin1(rate));
        ASSERT_TRUE(test::WaitForRefresh(*form));
    }
};

TEST_F(Form1FrameRate, TheSlidersRangesFollowARateTypedAfterOpeningAndTheSelectionStays) {
    EXPECT_EQ(form->ScrollEnd->Maximum(), 18000);   // opened at 30
    form->SelStartMs = 1000;
    Type("29.97");
    EXPECT_EQ(form->ScrollStart->Maximum(), 17982);
    EXPECT_EQ(form->ScrollEnd->Maximum(), 17982);
    EXPECT_EQ(form->ScrollEnd->Value(), 17982);
    EXPECT_EQ(form->ScrollStart->Value(), 30);   // 1000 ms is nearest frame 30 at 29.97
    EXPECT_EQ(form->SelStartMs, 1000);
    EXPECT_EQ(form->SelEndMs, 600000);
    Type("24");
    EXPECT_EQ(form->ScrollEnd->Maximum(), 14400);
    EXPECT_EQ(form->ScrollStart->Value(), 24);
    EXPECT_EQ(form->SelEndMs, 600000);
    // The user's moves of the slider count at the new rate.
    form->ScrollEnd->SetValue(14399);
    form->ScrollEnd_Scroll();
    EXPECT_EQ(form->SelEndMs, 599958);
}

TEST_F(Form1FrameRate, NtscRatesCountTheFramesTheVideoHas) {
    Type("29.97");
    EXPECT_EQ(form->LblTotalTime->text(), "Total Length:(Time: 10:0 / Frames: 17982)");
    EXPECT_EQ(form->LblEndFrame->text(), "End: 17982");
    EXPECT_EQ(form->FramesPerSecond, 30);
    // Step goes to exact frame starts: frame 30 begins at 1001 ms, not 1000.
    QAbstractButton* step = form->MMControl1->Button("Step");
    for (int i = 0; i < 30; ++i) QTest::mouseClick(step, Qt::LeftButton);
    EXPECT_EQ(form->MMControl1->Position(), 1001);
    EXPECT_EQ(form->LabMCIposition->text(), "Time: 0:1 / Frame: 30");

    Type("23.976");
    EXPECT_EQ(form->LblTotalTime->text(), "Total Length:(Time: 10:0 / Frames: 14386)");
    EXPECT_EQ(form->LblEndFrame->text(), "End: 14385");
    // The sliders count frames at the rate of the open.
    form->MnuOpen->trigger();
    EXPECT_EQ(form->ScrollEnd->maximum(), 14385);

    Type("30");
    EXPECT_EQ(form->LblTotalTime->text(), "Total Length:(Time: 10:0 / Frames: 18000)");
    EXPECT_EQ(form->LblEndFrame->text(), "End: 18000");
}

TEST_F(Form1FrameRate, ShowTimecodeIsOffAtFirstAndRemembered) {
    Type("29.97");
    ASSERT_TRUE(form->MnuShowTimecode->isCheckable());
    EXPECT_FALSE(form->MnuShowTimecode->isChecked());
    EXPECT_EQ(form->MnuView->title(), "View");

    form->MnuShowTimecode->trigger();
    EXPECT_EQ(form->LblTotalTime->text(), "Total Length:(Time: 10:0 / Frames: 17982 / Timecode: 00:10:00;00)");
    EXPECT_EQ(form->LabMCIposition->text(), "Time: 0:0 / Frame: 0 / Timecode: 00:00:00;00");
    Type("25");
    EXPECT_EQ(form->LblTotalTime->text(), "Total Length:(Time: 10:0 / Frames: 15000 / Timecode: 00:10:00:00)");

    // A new start remembers it; switched off, the captions are as before.
    form = std::make_unique<Form1>(fake.platform);
    EXPECT_TRUE(form->MnuShowTimecode->isChecked());
    form->MnuShowTimecode->trigger();
    form->ShowTimes();
    EXPECT_EQ(form->LabMCIposition->text(), "Time: 0:0 / Frame: 0");
    form = std::make_unique<Form1>(fake.platform);
    EXPECT_FALSE(form->MnuShowTimecode->isChecked());
}

} // namespace
} // namespace zv
