// The layout that follows the client size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "FakePlatform.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/LineShape.h"
#include "window/PictureBox.h"
#include "window/Slider.h"

namespace zv {
namespace {

struct Form1Layout : ::testing::Test {
    test::FakePlatform fake;
    std::unique_ptr<Form1> form;
    int frameH = 0;  // window height above the client area (the menu bar)
    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        form->show();
        QApplication::processEvents();
        frameH = form->height() - form->centralWidget()->height();
    }
    // Resizes the window so that its client area is w x h pixels.
    void ClientPixels(int w, int h) {
        form->resize(w, h + frameH);
        QApplication::processEvents();
        ASSERT_EQ(form->centralWidget()->size(), QSize(w, h));
    }
    double DpiX() const { return form->logicalDpiX(); }
    double DpiY() const { return form->logicalDpiY(); }
};

// The complete layout for a client area of W x H twips: each control's
// twips exactly as computed, and its pixels rounded from them.
void ExpectLayout(const Form1& f, float W, float H) {
    SCOPED_TRACE(testing::Message() << "W " << W << " H " << H);
    const float half = W / 2.0f;
    const auto q3 = static_cast<float>(W * 0.75), q1 = static_cast<float>(W * 0.25);
    const std::vector<std::pair<const QWidget*, TwipsRect>> table{
        {f.LabFilePath, {0, 0, W, 255}},
        {f.PicWave, {0, 240, W, H >= 2295.0f ? H - 2295.0f : 0.0f}},
        {f.Picture1, {0, H - 2295.0f, W, 2295}},
        {f.PicTime, {0, 0, W, 255}},
        {f.LabMCIposition, {0, 240, W, 255}},
        {f.LblStartFrame, {0, 480, half, 255}},
        {f.LblEndFrame, {half, 480, half, 255}},
        {f.ScrollStart, {0, 720, half, 315}},
        {f.ScrollEnd, {half, 720, half, 315}},
        {f.MMControl1, {0, 1140, q3, 330}},
        {f.VolSlider, {q3, 1140, q1, 315}},
        {f.LblTotalTime, {0, 1500, W, 255}},
        {f.LblSelectedTime, {0, 1740, W, 195}},
        {f.Label1, {60, 1980, 2055, 255}},
        {f.TxtNumFrames, {1740, 1980, 555, 255}},
    };
    for (const auto& [control, twips] : table) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_EQ(f.Geometry(control), twips);
        EXPECT_EQ(control->geometry(), ToPixelRect(twips, f.logicalDpiX(), f.logicalDpiY()));
    }
    EXPECT_FLOAT_EQ(f.RedLine->X1(), 0.0f);
    EXPECT_FLOAT_EQ(f.RedLine->Y1(), 1080.0f);
    EXPECT_FLOAT_EQ(f.RedLine->X2(), W);
    EXPECT_FLOAT_EQ(f.RedLine->Y2(), 1080.0f);
}

TEST_F(Form1Layout, DesignSize) {
    ExpectLayout(*form, 10485, 9315);
    // The waveform box is redrawn for its size: the whole box is background.
    const QImage& img = form->PicWave->Image();
    EXPECT_EQ(img.size(), form->PicWave->size() * form->PicWave->devicePixelRatioF());
}

TEST_F(Form1Layout, OddWidthHalvesMeetExactlyInTwipsAndPixels) {
    ClientPixels(PixelEdge(10485, DpiX()), PixelEdge(9315, DpiY()));
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
    if (DpiX() == 96.0) {
        EXPECT_FLOAT_EQ(form->Geometry(form->LblStartFrame).Width, 5242.5f);
    }
    const auto& start = form->Geometry(form->ScrollStart);
    const auto& end = form->Geometry(form->ScrollEnd);
    EXPECT_EQ(start.Left + start.Width, end.Left);
    EXPECT_EQ(form->ScrollStart->geometry().right() + 1, form->ScrollEnd->geometry().left());
    EXPECT_EQ(form->LblStartFrame->geometry().right() + 1, form->LblEndFrame->geometry().left());
    EXPECT_EQ(form->LblEndFrame->geometry().right() + 1, form->Picture1->width());
    EXPECT_EQ(form->MMControl1->geometry().right() + 1, form->VolSlider->geometry().left());
    EXPECT_EQ(form->VolSlider->geometry().right() + 1, form->Picture1->width());
}

TEST_F(Form1Layout, WideAndTallFollowsTheWidthAndKeepsThePanelDocked) {
    ClientPixels(1201, 800);
    const float W = form->ScaleWidth(), H = form->ScaleHeight();
    ExpectLayout(*form, W, H);
    EXPECT_EQ(form->Picture1->geometry().bottom() + 1, form->centralWidget()->height());
    EXPECT_EQ(form->Picture1->width(), 1201);
    // Narrower again: no trace of the wide layout is left.
    ClientPixels(500, 400);
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
}

TEST_F(Form1Layout, HeightOfExactlyThePanel) {
    const int h = PixelEdge(2295, DpiY());
    ClientPixels(640, h);
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
    if (DpiY() == 96.0) {
        EXPECT_FLOAT_EQ(form->Geometry(form->PicWave).Height, 0.0f);
    }
    EXPECT_EQ(form->PicWave->height(), 0);
    EXPECT_EQ(form->Picture1->y(), 0);
}

TEST_F(Form1Layout, ShorterThanThePanelStillFollowsTheWidth) {
    const int clears = form->PicWave->ClearCount();
    ClientPixels(900, 50);
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
    EXPECT_FLOAT_EQ(form->Geometry(form->PicWave).Height, 0.0f);
    EXPECT_LT(form->Picture1->y(), 0);  // docked at the bottom, its top cut off
    // Only the width changes while short: the panel follows it all the same.
    ClientPixels(400, 50);
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
    EXPECT_EQ(form->PicWave->ClearCount(), clears + 2);
    // Tall again: the full layout.
    ClientPixels(700, 600);
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
    EXPECT_GT(form->PicWave->height(), 0);
}

TEST_F(Form1Layout, EachResizeRedrawsTheWaveformOnce) {
    int clears = form->PicWave->ClearCount();
    for (const QSize s : {QSize(700, 500), QSize(710, 500), QSize(710, 520), QSize(300, 200)}) {
        ClientPixels(s.width(), s.height());
        EXPECT_EQ(form->PicWave->ClearCount(), clears + 1) << s.width() << "x" << s.height();
        clears = form->PicWave->ClearCount();
    }
    // Unchanged size: no resize, no redraw.
    ClientPixels(300, 200);
    EXPECT_EQ(form->PicWave->ClearCount(), clears);
}

TEST_F(Form1Layout, MinimiseAndRestoreGiveTheCompleteLayoutAndARedraw) {
    ClientPixels(800, 600);
    const int clears = form->PicWave->ClearCount();
    form->showMinimized();
    QApplication::processEvents();
    form->showNormal();
    QApplication::processEvents();
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
    EXPECT_GT(form->PicWave->ClearCount(), clears);
    // The picture survives, whatever the window manager does meanwhile.
    EXPECT_FALSE(form->PicWave->Image().isNull());
}

TEST_F(Form1Layout, TimelineStripLiesInFrontOfTheWaveformAndTakesTheMouse) {
    // PicWave's lowest 240 twips reach under the panel's top band.
    const QRect wave = form->PicWave->geometry();
    const QRect strip(form->Picture1->mapTo(form->centralWidget(), form->PicTime->pos()), form->PicTime->size());
    ASSERT_TRUE(wave.intersects(strip));
    const QPoint overlap = wave.intersected(strip).center();
    EXPECT_EQ(form->centralWidget()->childAt(overlap), form->PicTime);
    // The divider line takes no clicks: the panel beneath gets them.
    const QPoint onLine = form->RedLine->geometry().center();
    EXPECT_NE(form->Picture1->childAt(onLine), form->RedLine);
}

TEST_F(Form1Layout, FailingRedrawEndsTheRunQuietlyWithTheLayoutKept) {
    // An empty loaded sound makes the renderer divide by zero.
    form->Sound.WavLoaded = true;
    form->Sound.NumSamples = 0;
    form->Sound.ViewStart = 0;
    form->Sound.ViewEnd = 0;
    ClientPixels(820, 560);
    EXPECT_NO_THROW(form->Form_Resize());
    ExpectLayout(*form, form->ScaleWidth(), form->ScaleHeight());
    form->Sound.WavLoaded = false;
}

} // namespace
} // namespace zv
