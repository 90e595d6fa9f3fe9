// The timeline strip and the status refresh through the shown window: the
// media control's own status update scales and draws the strip, sets the
// labels and hands the selection to the control as its play range.
// The fake device plays 1000 samples a second (1 ms each); the strip is
// 1000 pixels wide, so a 10000 ms sound is 10 ms a pixel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "FakeMediaDevice.h"
#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/PictureBox.h"

namespace zv {
namespace {

constexpr QRgb Back = qRgb(128, 128, 128);
constexpr QRgb Band = qRgb(204, 204, 0);
constexpr QRgb Progress = qRgb(0, 255, 0);
constexpr QRgb StartMark = qRgb(255, 0, 0);
constexpr QRgb EndMark = qRgb(0, 0, 255);

struct Form1Timeline : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<test::FakeMediaDevice>> fake;
    test::FakeMediaDevice& device = *fake.device;
    std::unique_ptr<Form1> form;
    test::TempDir dir;

    void SetUp() override {
        device.sampleRate = 1000;
        device.length = 10000;
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, 1000));
        ASSERT_EQ(form->PicTime->width(), 1000);
    }
    void Open() {
        const std::string path = dir.File("tone.wav");
        test::WriteWav(path, 8000, 2, test::Tone(8000, 800, 440, 0.5));
        fake.fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_EQ(form->MMControl1->Length(), device.length);
    }
    QRgb At(int x, int y) { return form->PicTime->Image().pixel(x, y) | 0xff000000u; }
    // Whether `colour` lies in column x between rows y0 and y1 (inclusive).
    bool ColumnHas(int x, QRgb colour, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            if (At(x, y) == colour) return true;
        return false;
    }
    int CountOf(QRgb colour, QRect area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += At(x, y) == colour;
        return n;
    }
};

TEST_F(Form1Timeline, StatusUpdateDrawsBandProgressAndMarksInTheirColours) {
    Open();
    form->SelStartMs = 2000;
    form->SelEndMs = 6000;
    // Play, then let the sound be heard up to 4000 ms.
    form->MMControl1->Button("Play")->click();
    device.position = 4000;
    ASSERT_TRUE(test::WaitForRefresh(*form));
    ASSERT_EQ(form->MMControl1->Position(), 4000);

    EXPECT_TRUE(form->PicTime->IsUserScaled());
    EXPECT_FLOAT_EQ(form->PicTime->ScaleWidth(), 10000.0f);
    EXPECT_FLOAT_EQ(form->PicTime->ScaleHeight(), 10.0f);
    const int h = form->PicTime->height();
    ASSERT_EQ(h, 17);  // 255 twips at 96 dpi; y is 1.7 pixels a unit

    // The marks: full height at 2000 ms (pixel 200) and 6000 ms (pixel 600).
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(At(200, y), StartMark) << y;
        EXPECT_EQ(At(600, y), EndMark) << y;
    }
    // The band: an outline from y 0 to 2 (rows 0 to about 3) between the marks.
    for (int x : {201, 400, 599}) {
        EXPECT_EQ(At(x, 0), Band) << x;
        EXPECT_TRUE(ColumnHas(x, Band, 3, 4)) << x;
        EXPECT_EQ(At(x, 1), Back) << x;  // transparent inside
    }
    // The progress: from the play-range start (2000) to the position (4000),
    // y 4 to 10 (rows about 7 to the bottom), transparent inside.
    EXPECT_TRUE(ColumnHas(300, Progress, 6, 7));
    EXPECT_EQ(At(300, 12), Back);
    for (int y = 8; y < h; ++y) EXPECT_EQ(At(400, y), Progress) << y;
    // Nothing beyond the position, the band or the marks.
    EXPECT_EQ(CountOf(Progress, QRect(402, 0, 598, h)), 0);
    EXPECT_EQ(CountOf(Band, QRect(602, 0, 398, h)) + CountOf(Band, QRect(0, 0, 199, h)), 0);
    EXPECT_EQ(CountOf(StartMark, QRect(0, 0, 1000, h)), h);
    EXPECT_EQ(CountOf(EndMark, QRect(0, 0, 1000, h)), h);
    EXPECT_EQ(CountOf(Back, QRect(700, 0, 300, h)), 300 * h);

    // The window shows that picture where the strip is.
    QApplication::processEvents();
    const QImage shown = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = form->PicTime->mapTo(form.get(), QPoint(0, 0));
    EXPECT_EQ(shown.pixel(origin + QPoint(200, 8)) | 0xff000000u, StartMark);
    EXPECT_EQ(shown.pixel(origin + QPoint(600, 8)) | 0xff000000u, EndMark);
    EXPECT_EQ(shown.pixel(origin + QPoint(400, 0)) | 0xff000000u, Band);
    EXPECT_EQ(shown.pixel(origin + QPoint(400, 12)) | 0xff000000u, Progress);
    EXPECT_EQ(shown.pixel(origin + QPoint(800, 8)) | 0xff000000u, Back);

    // Labels and the play range follow the selection; the position readout
    // follows the sound.
    EXPECT_EQ(form->LblStartFrame->text(), "Start: 60");
    EXPECT_EQ(form->LblEndFrame->text(), "End: 180");
    EXPECT_EQ(form->LblSelectedTime->text(), "Selected:(Seconds:4 / Frames:120)");
    EXPECT_EQ(form->LabMCIposition->text(), "Time: 0:4 / Frame: 120");
    EXPECT_EQ(form->MMControl1->From(), 2000);
    EXPECT_EQ(form->MMControl1->To(), 6000);
}

TEST_F(Form1Timeline, ProgressMovesWithThePlayAndThePlayRangeIsTheSelection) {
    Open();
    // Before the first refresh the control plays the whole sound.
    EXPECT_EQ(form->MMControl1->From(), 0);
    EXPECT_EQ(form->MMControl1->To(), 10000);
    form->SelStartMs = 1000;
    form->SelEndMs = 3000;
    ASSERT_TRUE(test::WaitForRefresh(*form));
    form->MMControl1->Button("Play")->click();
    ASSERT_FALSE(device.plays.empty());
    EXPECT_EQ(device.plays.back(), std::make_pair(int64_t{1000}, int64_t{3000}));

    // The progress box grows with the position at each status update.
    for (int64_t position : {1500, 2500}) {
        device.position = position;
        ASSERT_TRUE(test::WaitForRefresh(*form));
        const int px = static_cast<int>(position / 10);
        for (int y = 8; y < 17; ++y) EXPECT_EQ(At(px, y), Progress) << position << " row " << y;
        EXPECT_EQ(CountOf(Progress, QRect(px + 2, 0, 1000 - px - 2, 17)), 0) << position;
    }
    // The play ends at the range's end: the progress reaches the end mark.
    device.position = 3000;
    device.playing = false;
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModeStop);
    EXPECT_EQ(form->MMControl1->Position(), 3000);
    EXPECT_EQ(At(300, 12), EndMark);
    EXPECT_TRUE(ColumnHas(299, Progress, 6, 7));
}

TEST_F(Form1Timeline, TypedFrameRateReachesTheLabelsAndStep) {
    Open();
    form->SelStartMs = 1250;
    form->SelEndMs = 3000;
    form->TxtNumFrames->selectAll();
    QTest::keyClicks(form->TxtNumFrames, "25 fps");
    ASSERT_EQ(form->TxtNumFrames->text(), "25 fps");
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(form->FramesPerSecond, 25);
    EXPECT_EQ(form->LblStartFrame->text(), "Start: 31");
    EXPECT_EQ(form->LblEndFrame->text(), "End: 75");
    EXPECT_EQ(form->LblSelectedTime->text(), "Selected:(Seconds:1.8 / Frames:44)");

    // A rate the text gives only now is read by Step itself before it moves.
    form->TxtNumFrames->setText("29.97");
    QTest::mouseClick(form->MMControl1->Button("Step"), Qt::LeftButton);
    EXPECT_EQ(form->FramesPerSecond, 30);
    EXPECT_EQ(form->MMControl1->Position(), 33);

    // No rate at all: the frame figures read 0 and Step does nothing.
    form->TxtNumFrames->setText("abc");
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(form->FramesPerSecond, 0);
    EXPECT_EQ(form->LblStartFrame->text(), "Start: 0");
    EXPECT_EQ(form->LblSelectedTime->text(), "Selected:(Seconds:1.8 / Frames:0)");
    QTest::mouseClick(form->MMControl1->Button("Step"), Qt::LeftButton);
    EXPECT_EQ(form->MMControl1->Position(), 33);
}

TEST_F(Form1Timeline, WithNothingOpenTheStripStaysUnscaledAndUndrawn) {
    form->SelStartMs = 100;
    form->SelEndMs = 200;
    form->RefreshTimeline();
    EXPECT_FALSE(form->PicTime->IsUserScaled());
    const QImage& strip = form->PicTime->Image();
    EXPECT_EQ(CountOf(Back, strip.rect()), strip.width() * strip.height());
    EXPECT_EQ(form->LabMCIposition->text(), "Time: 0:0 / Frame: 0");
    // An empty sound (length 0) leaves it so as well.
    device.length = 0;
    Open();
    form->RefreshTimeline();
    EXPECT_FALSE(form->PicTime->IsUserScaled());
    EXPECT_EQ(CountOf(Back, strip.rect()), strip.width() * strip.height());
}

} // namespace
} // namespace zv
