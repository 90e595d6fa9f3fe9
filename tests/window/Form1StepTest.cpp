// Step and Back through the shown window on the silent device: the buttons
// read the typed frame rate first, move by one animation frame and the
// position readout shows that frame at once. Playing on it says once that
// there is no sound output.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "playback/system/SilentDevice.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"

namespace zv {
namespace {

struct Form1Step : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, form->centralWidget()->width()));
        const std::string path = dir.File("tone.wav");
        test::WriteWav(path, 44100, 2, test::Tone(44100, 44100, 440, 0.5));
        fake.fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_EQ(form->MMControl1->Length(), 1000);
    }
    void Press(const char* caption, int times = 1) {
        QAbstractButton* button = form->MMControl1->Button(QString::fromLatin1(caption));
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(button->isEnabled()) << caption << " press " << i;
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    QString Readout() const { return form->LabMCIposition->text(); }
};

TEST_F(Form1Step, FiveStepsShowFrameFiveAndBackReturns) {
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 0");
    Press("Step", 5);
    EXPECT_EQ(form->MMControl1->Position(), 167);
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 5");
    Press("Back", 2);
    EXPECT_EQ(form->MMControl1->Position(), 100);
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 3");
    // The readout still shows it after the frame has sounded.
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 3");
}

TEST_F(Form1Step, TypedRateIsReadByTheButtonsThemselves) {
    form->TxtNumFrames->setText("25");
    Press("Step", 2);
    EXPECT_EQ(form->FramesPerSecond, 25);
    EXPECT_EQ(form->MMControl1->Position(), 80);
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 2");
    // Back at 0 stays at 0.
    Press("Back", 3);
    EXPECT_EQ(form->MMControl1->Position(), 0);
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 0");
    // No rate: nothing moves.
    form->TxtNumFrames->setText("0");
    Press("Step");
    EXPECT_EQ(form->MMControl1->Position(), 0);
}

// The device the system gives when there is no sound server: the first
// sound says so once, in the window's message box, and the readout counts.
TEST_F(Form1Step, WithoutSoundOutputPlayTellsOnceAndTheReadoutStillCounts) {
    EXPECT_TRUE(fake.messages.texts.empty());
    Press("Play");
    ASSERT_EQ(fake.messages.texts, std::vector<std::string>{MediaControl::kMsgNoOutput});
    QElapsedTimer waited;
    waited.start();
    while (form->MMControl1->Position() < 100 && waited.elapsed() < 10000) QTest::qWait(10);
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_NE(Readout(), "Time: 0:0 / Frame: 0");
    Press("Stop");
    Press("Play");
    Press("Step");
    EXPECT_EQ(fake.messages.texts.size(), 1u);
}

TEST_F(Form1Step, StepAtTheEndStaysThere) {
    Press("Next");
    EXPECT_EQ(form->MMControl1->Position(), 1000);
    Press("Step");
    EXPECT_EQ(form->MMControl1->Position(), 1000);
    EXPECT_EQ(Readout(), "Time: 0:1 / Frame: 30");
}

} // namespace
} // namespace zv
