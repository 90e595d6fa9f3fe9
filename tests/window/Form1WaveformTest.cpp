// The waveform a user sees after File > Open Wav File: the box's kept picture
// and the window as painted, for a stereo and a mono file.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <memory>

#include "FakeMediaDevice.h"
#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "window/Form1.h"
#include "window/PictureBox.h"

namespace zv {
namespace {

constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Green = qRgb(0, 255, 0);
constexpr QRgb Back = qRgb(64, 0, 64);

// Pixels of each colour in rows [top, bottom) of an image; `other` counts
// those neither red, green nor the box's background.
struct Counts {
    int red = 0, green = 0, back = 0, other = 0;
};

Counts Count(const QImage& image, QRect area) {
    Counts c;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xff000000u;
            if (p == Red) ++c.red;
            else if (p == Green) ++c.green;
            else if (p == Back) ++c.back;
            else ++c.other;
        }
    return c;
}

struct Form1Waveform : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<test::FakeMediaDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;

    void SetUp() override {
        fake.device->sampleRate = 8000;
        fake.device->length = 16000;
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, form->centralWidget()->width()));
    }
    void Open(int channels) {
        const std::string path = dir.File("tone.wav");
        // 0.9 of full scale: each channel's trace fills most of its half.
        test::WriteWav(path, 8000, channels, test::Tone(8000, 16000, 220, 0.9));
        fake.fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_TRUE(form->Sound.WavLoaded);
        ASSERT_TRUE(fake.messages.texts.empty());
    }
    // The box as painted in the window, in the window's pixels.
    QImage Painted() {
        QApplication::processEvents();
        return form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QRect BoxInWindow() const {
        return QRect(form->PicWave->mapTo(form.get(), QPoint(0, 0)), form->PicWave->size());
    }
};

TEST_F(Form1Waveform, StereoIsRedInTheUpperHalfAndGreenInTheLowerHalfOnly) {
    Open(2);
    const QImage& picture = form->PicWave->Image();
    const int w = picture.width(), h = picture.height();
    ASSERT_EQ(picture.size(), form->PicWave->size() * form->PicWave->devicePixelRatioF());
    ASSERT_GT(h, 100);
    const Counts upper = Count(picture, QRect(0, 0, w, h / 2));
    const Counts lower = Count(picture, QRect(0, h / 2 + 1, w, h - h / 2 - 1));
    // The traces run the whole width, each in its own half and its own colour.
    EXPECT_GT(upper.red, w);
    EXPECT_EQ(upper.green, 0);
    EXPECT_GT(lower.green, w);
    EXPECT_EQ(lower.red, 0);
    EXPECT_EQ(upper.other + lower.other, 0);
    for (int x : {0, w / 2, w - 1}) {
        bool red = false, green = false;
        for (int y = 0; y < h; ++y) {
            const QRgb p = picture.pixel(x, y) | 0xff000000u;
            red |= p == Red;
            green |= p == Green;
        }
        EXPECT_TRUE(red && green) << "column " << x;
    }
    // 0.9 of full scale around the centres (a quarter and three quarters
    // down): the traces keep a margin of about 0.1 x a quarter to the edges.
    const int margin = h / 4 / 10 - 2;
    EXPECT_EQ(Count(picture, QRect(0, 0, w, margin)).red, 0);
    EXPECT_EQ(Count(picture, QRect(0, h - margin, w, margin)).green, 0);

    // The window paints the same picture where the box is, and nothing of
    // the waveform outside it: the file name bar above it stays free of it.
    const QImage window = Painted();
    const QRect box = BoxInWindow();
    const Counts shownUpper = Count(window, QRect(box.left(), box.top(), box.width(), box.height() / 2));
    EXPECT_GT(shownUpper.red, w);
    EXPECT_EQ(shownUpper.green, 0);
    const QRect nameBar(0, 0, form->width(), box.top());
    const Counts above = Count(window, nameBar);
    EXPECT_EQ(above.red + above.green, 0);
    EXPECT_EQ(form->LabFilePath->text().toStdString(), dir.File("tone.wav"));
}

TEST_F(Form1Waveform, MonoIsOneGreenTraceAroundTheMiddle) {
    Open(1);
    const QImage& picture = form->PicWave->Image();
    const int w = picture.width(), h = picture.height();
    const Counts all = Count(picture, picture.rect());
    EXPECT_EQ(all.red, 0);
    EXPECT_EQ(all.other, 0);
    EXPECT_GT(all.green, w);
    // Centred on h / 2, reaching 0.9 of the half height each way: the top and
    // bottom tenths stay free.
    const int band = h / 2 - h / 2 / 10 + 2;
    EXPECT_EQ(Count(picture, QRect(0, 0, w, h / 2 - band)).green, 0);
    EXPECT_EQ(Count(picture, QRect(0, h / 2 + band, w, h)).green, 0);
}

TEST_F(Form1Waveform, NewSizeRedrawsTheTracesForIt) {
    Open(2);
    const int clears = form->PicWave->ClearCount();
    form->resize(form->width() + 200, form->height() + 100);
    QApplication::processEvents();
    EXPECT_GT(form->PicWave->ClearCount(), clears);
    const QImage& picture = form->PicWave->Image();
    const int w = picture.width(), h = picture.height();
    ASSERT_EQ(w, form->PicWave->width());
    // The right end of the wider box carries both traces too.
    const Counts right = Count(picture, QRect(w - 20, 0, 20, h));
    EXPECT_GT(right.red, 0);
    EXPECT_GT(right.green, 0);
    EXPECT_EQ(Count(picture, QRect(0, 0, w, h / 2)).green, 0);
    EXPECT_EQ(Count(picture, QRect(0, h / 2 + 1, w, h)).red, 0);
}

} // namespace
} // namespace zv
