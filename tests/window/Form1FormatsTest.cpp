// Film-grade and compressed sound files through the window with the real
// device: each opens with no message, shows its 3 s / 90 frames and paints
// the rows the 16-bit WAV of the same sound paints; a broken compressed file
// is refused with a reason and loses nothing; the command line's path or URL
// and a file dropped on the window open like File > Open.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "FakePlatform.h"
#include "TestSounds.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/WaveformInteraction.h"

namespace zv {
namespace {

constexpr int32_t kRate = 48000;
constexpr char kThreeSeconds[] = "Total Length:(Time: 0:3 / Frames: 90)";

// The first and last pixel rows holding each trace's colour.
struct Rows {
    int redTop = -1, redBottom = -1, greenTop = -1, greenBottom = -1;
};

Rows RowsOf(const QImage& image) {
    Rows r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xff000000u;
            if (p == qRgb(255, 0, 0)) {
                if (r.redTop < 0) r.redTop = y;
                r.redBottom = y;
            } else if (p == qRgb(0, 255, 0)) {
                if (r.greenTop < 0) r.greenTop = y;
                r.greenBottom = y;
            }
        }
    return r;
}

struct Form1Formats : ::testing::Test {
    test::FakePlatform fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    std::vector<float> tone = test::Tone(kRate, 3 * kRate, 440, 0.5);

    void SetUp() override { form = std::make_unique<Form1>(fake.platform); }
    std::string Write(const char* name, int format, int channels) {
        const std::string path = dir.File(name);
        test::WriteSound(path, format, kRate, channels, tone);
        return path;
    }
    // Opens as the menu does; a compressed file's decode runs as a job
    // while the event loop turns.
    void Open(const std::string& path) {
        form->OpenSoundFile(path);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Opening(); }, 20000));
    }
    Rows OpenAndLook(const std::string& path) {
        Open(path);
        return RowsOf(form->PicWave->Image());
    }
};

TEST_F(Form1Formats, EachFormatOpensWithItsLengthAndTheSixteenBitPicture) {
    const Rows stereo = OpenAndLook(Write("ref2.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2));
    const Rows mono = OpenAndLook(Write("ref1.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1));
    ASSERT_GE(stereo.redTop, 0);
    ASSERT_GT(stereo.greenTop, stereo.redBottom);
    ASSERT_LT(mono.redTop, 0);
    struct Case {
        const char* name;
        int format;
        int channels;
    };
    for (const Case& c : {Case{"plain24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2},
                          Case{"extensible24.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2},
                          Case{"extensible32.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_32, 2},
                          Case{"float32mono.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1},
                          Case{"float64.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 2},
                          Case{"rf64.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_24, 2},
                          Case{"six.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 6},
                          Case{"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2},
                          Case{"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2},
                          Case{"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2}}) {
        SCOPED_TRACE(c.name);
        const std::string path = Write(c.name, c.format, c.channels);
        const Rows got = OpenAndLook(path);
        EXPECT_TRUE(fake.messages.texts.empty());
        EXPECT_EQ(form->WavFileName, path);
        EXPECT_TRUE(fake.device->IsOpen());
        EXPECT_EQ(form->LblTotalTime->text(), kThreeSeconds);
        const Rows& want = c.channels == 1 ? mono : stereo;
        EXPECT_NEAR(got.redTop, want.redTop, 2);
        EXPECT_NEAR(got.redBottom, want.redBottom, 2);
        EXPECT_NEAR(got.greenTop, want.greenTop, 2);
        EXPECT_NEAR(got.greenBottom, want.greenBottom, 2);
    }
}

TEST_F(Form1Formats, ABrokenCompressedFileIsRefusedWithAReasonAndLosesNothing) {
    const std::string good = Write("good.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2);
    Open(good);
    ASSERT_TRUE(form->Sound.WavLoaded);
    const Rows before = RowsOf(form->PicWave->Image());
    const std::string bad = dir.File("bad.flac");
    test::WriteText(bad, std::string("fLaC") + std::string(4000, '\x55'));
    Open(bad);
    ASSERT_EQ(fake.messages.texts.size(), 1u);
    EXPECT_EQ(fake.messages.texts[0].rfind("Couldn't open " + bad + ": ", 0), 0u) << fake.messages.texts[0];
    EXPECT_GT(fake.messages.texts[0].size(), ("Couldn't open " + bad + ": ").size());
    // The good file is still open, drawn and playable.
    EXPECT_EQ(form->WavFileName, good);
    EXPECT_EQ(form->LabFilePath->text().toStdString(), good);
    EXPECT_TRUE(fake.device->IsOpen());
    EXPECT_EQ(fake.device->LengthSamples(), 3 * kRate);
    EXPECT_TRUE(form->Sound.WavLoaded);
    EXPECT_EQ(form->Sound.NumSamples, 3 * kRate);
    EXPECT_EQ(RowsOf(form->PicWave->Image()).redTop, before.redTop);
}

TEST_F(Form1Formats, CommandLineUrlRelativePathAndDropOpenLikeTheMenu) {
    const std::string flac = Write("cli.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2);
    form->OpenGivenFile(QUrl::fromLocalFile(QString::fromStdString(flac)).toString());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->WavFileName == flac; }, 20000));
    EXPECT_EQ(form->LblTotalTime->text(), kThreeSeconds);

    const std::string wav = Write("relative.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2);
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.File("")));
    form->OpenGivenFile(QStringLiteral("relative.wav"));
    QDir::setCurrent(before);
    EXPECT_EQ(form->WavFileName, wav);   // the full path, as the dialog gives it

    // A file dragged from a file manager and dropped on the window.
    const std::string mp3 = Write("dropped.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2);
    form->show();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(mp3))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->WavFileName == mp3; }, 20000));
    EXPECT_EQ(form->WavFileName, mp3);
    EXPECT_TRUE(fake.messages.texts.empty());
}

TEST_F(Form1Formats, ADecodeCancelledOrLeftByQuittingLosesNothing) {
    const std::string good = Write("kept.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2);
    Open(good);
    ASSERT_EQ(form->WavFileName, good);
    const Rows before = RowsOf(form->PicWave->Image());
    const std::string other = Write("other.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2);
    const std::string wav = Write("meanwhile.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1);

    // The decode runs while the window answers; a second open waits its turn.
    form->OpenSoundFile(other);
    ASSERT_TRUE(form->Opening());
    form->OpenSoundFile(wav);
    EXPECT_EQ(form->WavFileName, good);
    auto* progress = form->findChild<QProgressDialog*>(QStringLiteral("JobProgress"));
    ASSERT_NE(progress, nullptr);
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();      // the progress bar's Cancel
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Opening(); }, 20000));
    QTest::qWait(50);     // nothing of the cancelled decode comes later
    EXPECT_TRUE(fake.messages.texts.empty());
    EXPECT_EQ(form->WavFileName, good);
    EXPECT_EQ(form->LabFilePath->text().toStdString(), good);
    EXPECT_TRUE(fake.device->IsOpen());
    EXPECT_EQ(fake.device->LengthSamples(), 3 * kRate);
    EXPECT_TRUE(form->Sound.WavLoaded);
    EXPECT_EQ(form->Sound.NumSamples, 3 * kRate);
    EXPECT_EQ(RowsOf(form->PicWave->Image()).redTop, before.redTop);

    // Opened again after the cancel, it opens.
    Open(other);
    EXPECT_EQ(form->WavFileName, other);

    // The window closing while a decode runs stops it; nothing is left behind.
    form->OpenSoundFile(good);
    ASSERT_TRUE(form->Opening());
    form.reset();
}

TEST_F(Form1Formats, ABigWavIsReadAsAJobWithItsSummaryAndACancelKeepsThePreviousFile) {
    const std::string small = Write("small.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2);
    Open(small);
    ASSERT_EQ(form->WavFileName, small);
    // 40 MiB of 16-bit stereo: more than a screen refresh to read.
    const int32_t frames = 10'500'000;
    const std::string big = dir.File("big.wav");
    test::WriteWav(big, kRate, 2, test::Tone(kRate, frames, 220, 0.5));
    form->OpenSoundFile(big);
    ASSERT_TRUE(form->Opening());
    auto* progress = form->findChild<QProgressDialog*>(QStringLiteral("JobProgress"));
    ASSERT_NE(progress, nullptr);
    progress->findChild<QPushButton*>()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Opening(); }, 20000));
    QTest::qWait(50);
    EXPECT_TRUE(fake.messages.texts.empty());
    EXPECT_EQ(form->WavFileName, small);
    EXPECT_EQ(form->Sound.NumSamples, 3 * kRate);
    EXPECT_EQ(fake.device->LengthSamples(), 3 * kRate);

    // Read to its end, it opens with the summary made in its read.
    Open(big);
    EXPECT_TRUE(fake.messages.texts.empty());
    EXPECT_EQ(form->WavFileName, big);
    EXPECT_TRUE(form->Sound.WavLoaded);
    EXPECT_EQ(form->Sound.NumSamples, frames);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Waveform().Peaks().Ready(); }, 10000));
    EXPECT_EQ(form->Waveform().Peaks().Frames(), frames);
    const PeakSummary::Range r = form->Waveform().Peaks().Query(0, 0, frames);
    EXPECT_NEAR(r.high, 16384, 2);   // the 0.5 tone's crest
}

}  // namespace
}  // namespace zv
