// Selection by mouse and sliders through the real widgets: mouse events on
// the timeline strip (its user scale and button codes decide what X and the
// button are) and key presses on the selection sliders. The fake device
// plays 1000 samples a second; the strip is 1000 pixels wide, so a 10000 ms
// sound is 10 ms a pixel and whole pixels give exact times.
#include <gtest/gtest.h>

#include <QLabel>
#include <cmath>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSlider>
#include <memory>

#include "FakeMediaDevice.h"
#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/Slider.h"

namespace zv {
namespace {

struct Form1Selection : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<test::FakeMediaDevice>> fake;
    test::FakeMediaDevice& device = *fake.device;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    PictureBox* strip = nullptr;

    void SetUp() override {
        device.sampleRate = 1000;
        form = std::make_unique<Form1>(fake.platform);
        strip = form->PicTime;
        ASSERT_TRUE(test::ShowWithClientWidth(*form, 1000));
        ASSERT_EQ(strip->width(), 1000);
    }
    // Opens a file of `lengthMs` and waits for the refresh that scales the strip.
    void Open(int64_t lengthMs) {
        device.length = lengthMs;
        const std::string path = dir.File("tone.wav");
        test::WriteWav(path, 8000, 2, test::Tone(8000, 800, 440, 0.5));
        fake.fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_TRUE(test::WaitForRefresh(*form));
        ASSERT_FLOAT_EQ(strip->ScaleWidth(), static_cast<float>(lengthMs));
    }
    QPoint At(int ms) const { return QPoint(ms / 10, 8); }
    void Click(Qt::MouseButton button, int ms) { QTest::mouseClick(strip, button, Qt::NoModifier, At(ms)); }
    void ExpectSelection(int32_t startMs, int32_t endMs, int32_t startFrames, int32_t endFrames) {
        EXPECT_EQ(form->SelStartMs, startMs);
        EXPECT_EQ(form->SelEndMs, endMs);
        EXPECT_EQ(form->ScrollStart->value(), startFrames);
        EXPECT_EQ(form->ScrollEnd->value(), endFrames);
    }
};

TEST_F(Form1Selection, LeftClickSetsTheStartRightClickTheEndAndTheRefreshFollows) {
    Open(10000);
    ExpectSelection(0, 10000, 0, 300);
    const int clears = strip->ClearCount();
    Click(Qt::LeftButton, 2500);
    ExpectSelection(2500, 10000, 75, 300);
    Click(Qt::RightButton, 8000);
    ExpectSelection(2500, 8000, 75, 240);
    EXPECT_FALSE(form->Dragging);
    // The handlers draw nothing; the next status update shows the selection.
    EXPECT_EQ(strip->ClearCount(), clears);
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(form->LblStartFrame->text(), "Start: 75");
    EXPECT_EQ(form->LblEndFrame->text(), "End: 240");
    EXPECT_EQ(form->LblSelectedTime->text(), "Selected:(Seconds:5.5 / Frames:165)");
    EXPECT_EQ(form->MMControl1->From(), 2500);
    EXPECT_EQ(form->MMControl1->To(), 8000);
    EXPECT_EQ(strip->Image().pixel(250, 8) | 0xff000000u, qRgb(255, 0, 0));
    EXPECT_EQ(strip->Image().pixel(800, 8) | 0xff000000u, qRgb(0, 0, 255));
}

TEST_F(Form1Selection, ClicksOnTheWrongSideOrOffTheScaleOrWithOtherButtonsChangeNothing) {
    Open(10000);
    Click(Qt::LeftButton, 2500);
    Click(Qt::RightButton, 8000);
    // Start at or beyond the end, end at or before the start.
    Click(Qt::LeftButton, 9000);
    Click(Qt::LeftButton, 8000);
    Click(Qt::RightButton, 1000);
    Click(Qt::RightButton, 2500);
    ExpectSelection(2500, 8000, 75, 240);
    // X below 1: the strip's first pixel is X 0..10; 0.05 px is X 0.5.
    Click(Qt::LeftButton, 0);
    test::SendStripMouse(*form, QEvent::MouseButtonPress, {0.05, 8}, Qt::LeftButton, Qt::LeftButton);
    test::SendStripMouse(*form, QEvent::MouseButtonRelease, {0.05, 8}, Qt::LeftButton, Qt::NoButton);
    // Beyond the scale: right of the strip.
    test::SendStripMouse(*form, QEvent::MouseButtonPress, {1000.5, 8}, Qt::RightButton, Qt::RightButton);
    test::SendStripMouse(*form, QEvent::MouseButtonRelease, {1000.5, 8}, Qt::RightButton, Qt::NoButton);
    ExpectSelection(2500, 8000, 75, 240);
    // The middle button, pressed and dragged.
    QTest::mousePress(strip, Qt::MiddleButton, Qt::NoModifier, At(5000));
    QTest::mouseMove(strip, At(6000));
    QTest::mouseRelease(strip, Qt::MiddleButton, Qt::NoModifier, At(6000));
    ExpectSelection(2500, 8000, 75, 240);
    // Both buttons: the left press moves the start; a move with both held
    // (button code 3) moves nothing; the right press at the start itself is
    // on the wrong side.
    QTest::mousePress(strip, Qt::LeftButton, Qt::NoModifier, At(3000));
    ExpectSelection(3000, 8000, 90, 240);
    QTest::mousePress(strip, Qt::RightButton, Qt::NoModifier, At(3000));
    QTest::mouseMove(strip, At(4000));
    QTest::mouseMove(strip, At(6000));
    QTest::mouseRelease(strip, Qt::RightButton, Qt::NoModifier, At(6000));
    QTest::mouseRelease(strip, Qt::LeftButton, Qt::NoModifier, At(6000));
    ExpectSelection(3000, 8000, 90, 240);
    EXPECT_FALSE(form->Dragging);
    // A move with the left button held that did not begin with a press on
    // the strip (no drag under way) moves nothing either.
    test::SendStripMouse(*form, QEvent::MouseMove, QPointF(At(5000)), Qt::NoButton, Qt::LeftButton);
    ExpectSelection(3000, 8000, 90, 240);
}

TEST_F(Form1Selection, DragsMoveTheEdgesAndStopAtTheLastPlaceOnTheRightSide) {
    Open(10000);
    Click(Qt::RightButton, 8000);
    // Left drag towards and past the end: the start stays at the last X left of it.
    QTest::mousePress(strip, Qt::LeftButton, Qt::NoModifier, At(7000));
    EXPECT_TRUE(form->Dragging);
    QTest::mouseMove(strip, At(7900));
    ExpectSelection(7900, 8000, 237, 240);
    QTest::mouseMove(strip, At(8100));
    QTest::mouseMove(strip, QPoint(1200, 8));   // off the strip: beyond the scale
    ExpectSelection(7900, 8000, 237, 240);
    QTest::mouseRelease(strip, Qt::LeftButton, Qt::NoModifier, QPoint(1200, 8));
    EXPECT_FALSE(form->Dragging);
    // Right drag back towards and past the start.
    QTest::mousePress(strip, Qt::RightButton, Qt::NoModifier, At(9000));
    ExpectSelection(7900, 9000, 237, 270);
    QTest::mouseMove(strip, At(8000));
    QTest::mouseMove(strip, At(7000));
    ExpectSelection(7900, 8000, 237, 240);
    QTest::mouseRelease(strip, Qt::RightButton, Qt::NoModifier, At(7000));
    // The left edge: a drag to X below 1 stops at the last X at or above it.
    QTest::mousePress(strip, Qt::LeftButton, Qt::NoModifier, At(500));
    QTest::mouseMove(strip, At(10));
    QTest::mouseMove(strip, QPoint(-5, 8));
    QTest::mouseRelease(strip, Qt::LeftButton, Qt::NoModifier, QPoint(-5, 8));
    ExpectSelection(10, 8000, 0, 240);
}

TEST_F(Form1Selection, SubPixelXJustLeftOfTheEndRoundsOntoIt) {
    Open(10000);
    Click(Qt::RightButton, 1000);
    ExpectSelection(0, 1000, 0, 30);
    // X 999.6 lies left of the end: allowed, and rounds onto it.
    test::SendStripMouse(*form, QEvent::MouseButtonPress, {99.96, 8}, Qt::LeftButton, Qt::LeftButton);
    test::SendStripMouse(*form, QEvent::MouseButtonRelease, {99.96, 8}, Qt::LeftButton, Qt::NoButton);
    ExpectSelection(1000, 1000, 30, 30);
}

TEST_F(Form1Selection, BeforeTheFirstRefreshXIsInTheStripsOwnUnits) {
    device.length = 100000;
    fake.fileDialog.answer = dir.File("tone.wav");
    test::WriteWav(*fake.fileDialog.answer, 8000, 2, test::Tone(8000, 800, 440, 0.5));
    form->MnuOpen->trigger();
    ASSERT_FALSE(strip->IsUserScaled());
    // Twips: a pixel is 1440 / dpi of them (15 at 96 dpi).
    const double twipsPerPixel = static_cast<double>(strip->ScaleWidth()) / strip->width();
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(100, 8));
    const auto expected = static_cast<int32_t>(std::nearbyint(100 * twipsPerPixel));
    EXPECT_EQ(form->SelStartMs, expected);
    EXPECT_EQ(form->ScrollStart->value(), static_cast<int32_t>(std::nearbyint(expected * 30 / 1000.0)));
    if (form->logicalDpiX() == 96) {
        EXPECT_EQ(form->SelStartMs, 1500);
    }
}

TEST_F(Form1Selection, FrameBeyondTheSliderRangeIsClampedWhileTheMsAreSet) {
    Open(1020);   // 30.6 frames: the sliders end at 30
    EXPECT_EQ(form->ScrollEnd->maximum(), 30);
    // Pixel 997 of 1000 is X 1016.94: t = 1017, frames round(30.51) = 31.
    QTest::mouseClick(strip, Qt::RightButton, Qt::NoModifier, QPoint(997, 8));
    EXPECT_EQ(form->SelEndMs, 1017);
    EXPECT_EQ(form->ScrollEnd->value(), 30);
}

TEST_F(Form1Selection, SliderKeysPushBackToOneFrameApartAndSetTheMs) {
    Open(10000);
    Click(Qt::LeftButton, 2500);
    Click(Qt::RightButton, 8000);
    // The start slider's End key: at or past the end slider it is pushed back
    // to one frame before it, and the start in ms is kept.
    QTest::keyClick(form->ScrollStart, Qt::Key_End);
    ExpectSelection(2500, 8000, 239, 240);
    // The end slider's Home key: pushed to one frame after the start.
    QTest::keyClick(form->ScrollEnd, Qt::Key_Home);
    ExpectSelection(2500, 8000, 239, 240);
    // Moves that keep them apart set the ms: 238 frames at 30 fps is 7933.3 ms.
    QTest::keyClick(form->ScrollStart, Qt::Key_Left);
    QTest::keyClick(form->ScrollEnd, Qt::Key_Right);
    ExpectSelection(7933, 8033, 238, 241);
    // Values the program sets raise nothing.
    form->ScrollStart->setValue(10);
    EXPECT_EQ(form->SelStartMs, 7933);
}

// The centre of a slider's thumb, from the style that draws it.
QPoint ThumbCentre(Slider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown = slider->invertedAppearance();
    option.subControls = QStyle::SC_All;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

TEST_F(Form1Selection, DraggingAThumbPastTheOtherPushesItBack) {
    Open(10000);
    Click(Qt::LeftButton, 2500);
    Click(Qt::RightButton, 8000);
    Slider* start = form->ScrollStart;
    const QPoint grip = ThumbCentre(start);
    QTest::mousePress(start, Qt::LeftButton, Qt::NoModifier, grip);
    ASSERT_TRUE(start->isSliderDown());
    // Halfway along the track: about frame 150, whose ms are taken.
    QTest::mouseMove(start, QPoint(start->width() / 2, grip.y()));
    const int32_t middle = start->value();
    EXPECT_NEAR(middle, 150, 10);
    EXPECT_EQ(form->SelStartMs, static_cast<int32_t>(std::nearbyint(middle * 1000 / 30.0)));
    // To the far end, past the end slider's 240, and let go there.
    QTest::mouseMove(start, QPoint(start->width() - 1, grip.y()));
    QTest::mouseRelease(start, Qt::LeftButton, Qt::NoModifier, QPoint(start->width() - 1, grip.y()));
    EXPECT_FALSE(start->isSliderDown());
    EXPECT_EQ(start->value(), 239);
    EXPECT_EQ(form->SelStartMs, static_cast<int32_t>(std::nearbyint(middle * 1000 / 30.0)));
    EXPECT_EQ(form->ScrollEnd->value(), 240);

    // The end thumb dragged to the far left is pushed to one frame after the start.
    Slider* end = form->ScrollEnd;
    const QPoint endGrip = ThumbCentre(end);
    QTest::mousePress(end, Qt::LeftButton, Qt::NoModifier, endGrip);
    QTest::mouseMove(end, QPoint(0, endGrip.y()));
    QTest::mouseRelease(end, Qt::LeftButton, Qt::NoModifier, QPoint(0, endGrip.y()));
    EXPECT_EQ(end->value(), 240);
    EXPECT_EQ(start->value(), 239);
    EXPECT_EQ(form->SelEndMs, 8000);
}

// A slider on frame f selects from the first sample of frame f, and the
// labels read the frame the slider shows: with the start slider on frame 1
// of a 3-second sound, "Start: 1" and every frame but the first selected.
TEST_F(Form1Selection, TheStartSliderOnFrameOneReadsFrameOneAtWholeAndNtscRates) {
    device.sampleRate = 44100;
    device.length = 3 * 44100;   // samples: 3000 ms
    const std::string path = dir.File("three.wav");
    test::WriteWav(path, 44100, 1, test::Tone(44100, 3 * 44100, 440, 0.5));
    fake.fileDialog.answer = path;
    form->MnuOpen->trigger();
    struct Case {
        const char* rate;
        int32_t frames;         // of the sound, the sliders' maximum
        int64_t firstSample;    // of frame 1
        const char* selected;
    };
    for (const Case& c : {Case{"30", 90, 1470, "Selected:(Seconds:3 / Frames:89)"},
                          Case{"24", 72, 1838, "Selected:(Seconds:3 / Frames:71)"},
                          Case{"29.97", 89, 1471, "Selected:(Seconds:3 / Frames:88)"}}) {
        SCOPED_TRACE(c.rate);
        form->TxtNumFrames->setText(c.rate);
        ASSERT_EQ(form->ScrollEnd->maximum(), c.frames);
        ASSERT_EQ(form->ScrollEnd->value(), c.frames);
        form->ScrollStart->setValue(0);
        QTest::keyClick(form->ScrollStart, Qt::Key_Right);
        ASSERT_EQ(form->ScrollStart->value(), 1);
        EXPECT_EQ(form->State().SelectionStart(), c.firstSample);
        ASSERT_TRUE(test::WaitForRefresh(*form));
        EXPECT_EQ(form->LblStartFrame->text().toStdString(), "Start: 1");
        EXPECT_EQ(form->LblEndFrame->text().toStdString(), "End: " + std::to_string(c.frames));
        EXPECT_EQ(form->LblSelectedTime->text().toStdString(), c.selected);
    }
}

TEST_F(Form1Selection, SliderAtTwentyFiveFramesASecond) {
    Open(10000);
    form->TxtNumFrames->setText("25");
    ASSERT_TRUE(test::WaitForRefresh(*form));
    ASSERT_EQ(form->FramesPerSecond, 25);
    form->ScrollStart->setValue(49);
    QTest::keyClick(form->ScrollStart, Qt::Key_Right);
    EXPECT_EQ(form->ScrollStart->value(), 50);
    EXPECT_EQ(form->SelStartMs, 2000);
    // A left click now uses 25 fps for the slider: 3000 ms is frame 75. The
    // sliders' ranges followed the rate: the end is frame 250 of 250.
    Click(Qt::LeftButton, 3000);
    ExpectSelection(3000, 10000, 75, 250);
    // With no frame rate the slider still moves, the ms stay.
    form->TxtNumFrames->setText("");
    ASSERT_TRUE(test::WaitForRefresh(*form));
    ASSERT_EQ(form->FramesPerSecond, 0);
    QTest::keyClick(form->ScrollStart, Qt::Key_Right);
    EXPECT_EQ(form->ScrollStart->value(), 76);
    EXPECT_EQ(form->SelStartMs, 3000);
}

} // namespace
} // namespace zv
