// Finding the frame through the shown window on the silent device: the View
// menu zooms the waveform and gives back the opened picture, the overlays
// stay out of the box's picture, the single keys step, play and set the
// selection unless the focused control takes them, a click hears the frame
// under the pointer, the wheel zooms and scrolls, and "Show Peaks" is
// remembered.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QWheelEvent>
#include <cmath>
#include <fstream>
#include <memory>

#include "document/SoundDocument.h"
#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "playback/MediaTransport.h"
#include "playback/system/SilentDevice.h"
#include "playback/ui/MediaControl.h"
#include "sound/WavBytes.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/Slider.h"
#include "spectrum/Spectrogram.h"
#include "window/WaveformInteraction.h"
#include "waveview/layers/ViewColours.h"

namespace zv {
namespace {

// Pixels neither red, green nor the box's purple.
int OtherColours(const QImage& image) {
    int other = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xff000000u;
            if (p != qRgb(255, 0, 0) && p != qRgb(0, 255, 0) && p != qRgb(64, 0, 64)) ++other;
        }
    return other;
}

struct Form1View : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, 1000));
        // 3 s of 44.1 kHz stereo: 90 frames at 30 fps, 1470 samples each.
        const std::string path = dir.File("tone.wav");
        test::WriteWav(path, 44100, 2, test::Tone(44100, 3 * 44100, 330, 0.7));
        fake.fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_EQ(form->MMControl1->Length(), 3000);
        ASSERT_TRUE(form->Sound.WavLoaded);
    }
    QString Readout() const { return form->LabMCIposition->text(); }
    QImage Painted() {
        QApplication::processEvents();
        return form->PicWave->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    void Key(QWidget* w, Qt::Key key, int times = 1) {
        for (int i = 0; i < times; ++i) QTest::keyClick(w, key);
    }
};

TEST_F(Form1View, ViewMenuZoomsInAndShowWholeSoundGivesBackTheOpenedPicture) {
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[2]->menu(), form->MnuView);
    EXPECT_EQ(form->MnuView->title(), "View");
    QStringList captions;
    for (QAction* a : form->MnuView->actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"Zoom In", "Zoom Out", "Zoom to Selection", "Show Whole Sound", "Show Peaks",
                                     "Spectrogram", "Show Timecode", "Snap to Beats", "Channels", "Mouth Preview"}));
    EXPECT_EQ(form->MnuZoomIn->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl++"), QKeySequence("+")}));
    EXPECT_EQ(form->MnuZoomOut->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+-"), QKeySequence("-")}));
    EXPECT_EQ(form->MnuShowWholeSound->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+0"), QKeySequence("0")}));
    EXPECT_TRUE(form->MnuShowPeaks->isCheckable());
    EXPECT_FALSE(form->MnuShowPeaks->isChecked());   // first start

    const QImage opened = form->PicWave->Image().copy();
    for (int i = 0; i < 3; ++i) form->MnuZoomIn->trigger();
    EXPECT_NEAR(form->Sound.ViewEnd - form->Sound.ViewStart, 3 * 44100 / 8.0, 1.0);
    const QImage zoomed = form->PicWave->Image().copy();
    EXPECT_NE(zoomed, opened);
    // A frame is 89 pixels wide now: the grid and its numbers are painted on
    // screen, over the picture, and the picture keeps the renderer's colours only.
    EXPECT_EQ(OtherColours(zoomed), 0);
    EXPECT_GT(OtherColours(Painted()), form->PicWave->height() * 5);

    form->MnuShowWholeSound->trigger();
    EXPECT_EQ(form->Sound.ViewStart, 0);
    EXPECT_EQ(form->Sound.ViewEnd, form->Sound.NumSamples);
    EXPECT_EQ(form->PicWave->Image(), opened);

    // The same through the keys, with the waveform focused.
    form->PicWave->setFocus();
    Key(form->PicWave, Qt::Key_Plus, 2);
    EXPECT_EQ(form->Sound.ViewEnd - form->Sound.ViewStart, 3 * 44100 / 4);
    Key(form->PicWave, Qt::Key_Minus);
    EXPECT_EQ(form->Sound.ViewEnd - form->Sound.ViewStart, 3 * 44100 / 2);
    Key(form->PicWave, Qt::Key_0);
    EXPECT_EQ(form->PicWave->Image(), opened);
}

TEST_F(Form1View, KeysStepPlayAndSetTheSelectionUnlessTheFocusedControlTakesThem) {
    form->PicWave->setFocus();
    Key(form->PicWave, Qt::Key_Right, 3);
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 3");
    Key(form->PicWave, Qt::Key_Left);
    EXPECT_EQ(Readout(), "Time: 0:0 / Frame: 2");
    // I sets the start here, as if its slider had moved to frame 2.
    Key(form->PicWave, Qt::Key_I);
    EXPECT_EQ(form->SelStartMs, 67);
    EXPECT_EQ(form->ScrollStart->value(), 2);
    EXPECT_EQ(form->LblStartFrame->text(), "Start: 2");
    Key(form->PicWave, Qt::Key_Right, 10);
    Key(form->PicWave, Qt::Key_O);
    EXPECT_EQ(form->SelEndMs, 400);
    EXPECT_EQ(form->ScrollEnd->value(), 12);
    EXPECT_EQ(form->LblEndFrame->text(), "End: 12");
    Key(form->PicWave, Qt::Key_Home);
    EXPECT_EQ(form->MMControl1->Position(), 67);
    Key(form->PicWave, Qt::Key_End);
    EXPECT_EQ(form->MMControl1->Position(), 400);

    Key(form->PicWave, Qt::Key_Home);
    Key(form->PicWave, Qt::Key_Space);
    EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModePlay);
    Key(form->PicWave, Qt::Key_Space);
    EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModePause);

    // The frame-rate box keeps its text keys, a slider its arrows.
    form->TxtNumFrames->setFocus();
    form->TxtNumFrames->end(false);
    Key(form->TxtNumFrames, Qt::Key_0);
    EXPECT_EQ(form->TxtNumFrames->text(), "300");
    form->TxtNumFrames->setText("30");
    const int32_t position = form->MMControl1->Position();
    form->ScrollEnd->setFocus();
    Key(form->ScrollEnd, Qt::Key_Left);
    EXPECT_EQ(form->ScrollEnd->value(), 11);
    EXPECT_EQ(form->MMControl1->Position(), position);

    // The buttons' tool tips name their keys.
    EXPECT_EQ(form->MMControl1->Button("Play")->toolTip(), "Play (Space)");
    EXPECT_EQ(form->MMControl1->Button("Step")->toolTip(), "Step (Right)");
    EXPECT_EQ(form->MMControl1->Button("Back")->toolTip(), "Back (Left)");
}

TEST_F(Form1View, ClickHearsTheFrameUnderThePointerAtAnyZoom) {
    const QPoint middle(form->PicWave->width() / 2, form->PicWave->height() / 2);
    QTest::mouseClick(form->PicWave, Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_TRUE(Readout().endsWith("/ Frame: 45")) << Readout().toStdString();
    EXPECT_EQ(form->MMControl1->Position(), 1500);
    EXPECT_TRUE(form->MMControl1->Transport().IsSounding());
    EXPECT_NE(form->MMControl1->Mode(), MediaControl::ModePlay);   // one frame, not a play

    // Zoomed to frames 60..75 (the selection), the middle is frame 67.
    form->SelStartMs = 2000;
    form->SelEndMs = 2500;
    form->MnuZoomToSelection->trigger();
    QTest::mouseClick(form->PicWave, Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(form->MMControl1->Position(), 2233);
    EXPECT_TRUE(Readout().endsWith("/ Frame: 67")) << Readout().toStdString();
}

TEST_F(Form1View, CtrlWheelZoomsAroundThePointerAndTheWheelScrolls) {
    const WaveView& view = form->Waveform().View();
    const QPointF at(250, 20);
    const int64_t under = view.FrameAt(at.x());
    const auto wheel = [&](int dy, Qt::KeyboardModifiers mods) {
        QWheelEvent e(at, form->PicWave->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->PicWave, &e);
    };
    wheel(240, Qt::ControlModifier);   // two notches: twice as close
    EXPECT_EQ(view.Span(), 3 * 44100 / 2);
    EXPECT_NEAR(static_cast<double>(view.FrameAt(at.x())), static_cast<double>(under), 2.0);
    EXPECT_EQ(form->Sound.ViewStart, view.Start());
    const int64_t start = view.Start();
    wheel(-120, Qt::NoModifier);   // towards the end
    EXPECT_GT(view.Start(), start);
    wheel(1200, Qt::ShiftModifier);
    EXPECT_EQ(view.Start(), 0);
    EXPECT_EQ(view.Span(), 3 * 44100 / 2);

    // Dragging with the middle button pans: the sound follows the pointer.
    const auto mouse = [&](QEvent::Type type, double x, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF pos(x, 20);
        QMouseEvent e(type, pos, form->PicWave->mapToGlobal(pos), button, held, Qt::NoModifier);
        QApplication::sendEvent(form->PicWave, &e);
    };
    mouse(QEvent::MouseButtonPress, 600, Qt::MiddleButton, Qt::MiddleButton);
    mouse(QEvent::MouseMove, 400, Qt::NoButton, Qt::MiddleButton);
    mouse(QEvent::MouseButtonRelease, 400, Qt::MiddleButton, Qt::NoButton);
    EXPECT_NEAR(static_cast<double>(view.Start()), 200 * view.FramesPerPixel(), 1.0);
    EXPECT_EQ(form->Sound.ViewStart, view.Start());
    EXPECT_FALSE(form->MMControl1->Transport().IsSounding());   // panning hears nothing

    // Playing across the view's right edge turns the page.
    const int64_t before = view.Start();
    form->SelStartMs = 1700;   // just inside the right edge of the view (frames ~0.2..1.7 s)
    QTest::keyClick(form->PicWave, Qt::Key_Home);
    QTest::keyClick(form->PicWave, Qt::Key_Space);
    for (int i = 0; i < 300 && view.Start() == before; ++i) QTest::qWait(10);
    EXPECT_GT(view.Start(), before);
    QTest::keyClick(form->PicWave, Qt::Key_Space);
}

TEST_F(Form1View, FourZoomInsAfterAStepKeepThePlayLineInViewAndStepsBringTheViewAlong) {
    const WaveView& view = form->Waveform().View();
    form->PicWave->setFocus();
    Key(form->PicWave, Qt::Key_Right);   // frame 1, near the left edge
    const int64_t position = form->MMControl1->PositionSample();
    const double x = view.PixelOf(position);
    ASSERT_LT(x, 20.0);
    for (int i = 0; i < 4; ++i) form->MnuZoomIn->trigger();
    EXPECT_NEAR(static_cast<double>(view.Span()), 3 * 44100 / 16.0, 1.0);
    EXPECT_TRUE(view.Shows(position));
    EXPECT_NEAR(view.PixelOf(position), x, 1.0);
    // The play line is painted where it was.
    const QImage shown = Painted();
    const QRgb amber = qRgb(kPlayLineColour.r, kPlayLineColour.g, kPlayLineColour.b);
    const int column = static_cast<int>(std::floor(view.PixelOf(position)));
    int amberRows = 0;
    for (int y = 0; y < shown.height(); ++y) amberRows += (shown.pixel(column, y) | 0xff000000u) == amber;
    EXPECT_GT(amberRows, shown.height() / 2);

    // Stepping on past the right edge: the view comes along.
    for (int i = 0; i < 10; ++i) {
        Key(form->PicWave, Qt::Key_Right);
        EXPECT_TRUE(view.Shows(form->MMControl1->PositionSample())) << "step " << i;
    }
    EXPECT_GT(view.Start(), 0);
    // End goes to the selection's end (the sound's end): shown too.
    Key(form->PicWave, Qt::Key_End);
    EXPECT_TRUE(view.Shows(form->MMControl1->PositionSample()));
    EXPECT_EQ(form->Sound.ViewEnd, view.End());
    // Scrolled away from a still position, the view stays; a zoom then
    // centres on the position.
    form->MnuShowWholeSound->trigger();
    for (int i = 0; i < 3; ++i) form->MnuZoomIn->trigger();
    form->SelStartMs = 1500;   // the middle of the sound, out of this view
    Key(form->PicWave, Qt::Key_Home);
    const int64_t home = form->MMControl1->PositionSample();
    QWheelEvent away(QPointF(500, 20), form->PicWave->mapToGlobal(QPointF(500, 20)), QPoint(), QPoint(0, -1200),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->PicWave, &away);
    QTest::qWait(250);   // a status update or so
    EXPECT_FALSE(view.Shows(home));
    form->MnuZoomIn->trigger();
    EXPECT_TRUE(view.Shows(home));
    EXPECT_NEAR(view.PixelOf(home), view.Width() / 2.0, 1.0);
}

// A mark at the frame being heard lies under the play line: after stepping
// to a marked frame and zooming in, the amber line still shows.
TEST_F(Form1View, ThePlayLineShowsOverAMarkAtTheFrameBeingHeard) {
    const WaveView& view = form->Waveform().View();
    form->PicWave->setFocus();
    Key(form->PicWave, Qt::Key_Right, 3);
    form->MnuAddMark->trigger();
    ASSERT_EQ(form->Document().Marks().size(), 1u);
    for (int i = 0; i < 4; ++i) form->MnuZoomIn->trigger();
    const int64_t position = form->MMControl1->PositionSample();
    ASSERT_TRUE(view.Shows(position));
    const QImage shown = Painted();
    const QRgb amber = qRgb(kPlayLineColour.r, kPlayLineColour.g, kPlayLineColour.b);
    const int column = static_cast<int>(std::floor(view.PixelOf(position)));
    int amberRows = 0;
    for (int y = 0; y < shown.height(); ++y) amberRows += (shown.pixel(column, y) | 0xff000000u) == amber;
    EXPECT_GT(amberRows, shown.height() / 2);
}

TEST_F(Form1View, ChannelsChoosesTheTwoChannelsDrawnAndAnOpenResetsIt) {
    // The stereo tone: its two channels, nothing to choose.
    QStringList captions;
    for (QAction* a : form->MnuChannels->actions()) {
        captions << a->text();
        EXPECT_FALSE(a->isEnabled());
        EXPECT_TRUE(a->isChecked());
    }
    EXPECT_EQ(captions, QStringList({"Channel 1", "Channel 2"}));

    // Six channels: all silent but the third (a loud tone) and the sixth (a soft one).
    std::string data;
    for (int i = 0; i < 16000; ++i) {
        const double t = i / 8000.0;
        const auto loud = static_cast<int16_t>(std::lround(26000 * std::sin(2 * M_PI * 220 * t + 0.3)));
        const auto soft = static_cast<int16_t>(std::lround(13000 * std::sin(2 * M_PI * 330 * t + 0.3)));
        const int16_t frame[6] = {0, 0, loud, 0, 0, soft};
        for (const int16_t v : frame) data += test::Le16(static_cast<uint16_t>(v));
    }
    const std::string six = dir.File("six.wav");
    {
        std::ofstream out(six, std::ios::binary);
        out << test::Wav(6, 16, data);
    }
    fake.fileDialog.answer = six;
    form->MnuOpen->trigger();
    ASSERT_TRUE(form->Sound.WavLoaded);
    ASSERT_EQ(form->Sound.WavFormat.nChannels, 6);
    // The rows a colour reaches in the box's picture.
    const auto reach = [&](QRgb colour) {
        const QImage& picture = form->PicWave->Image();
        int top = picture.height(), bottom = -1;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if ((picture.pixel(x, y) | 0xff000000u) == colour) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return std::pair{top, bottom};
    };
    const int h = form->PicWave->Image().height();
    // By default the first two: two flat lines.
    EXPECT_LE(reach(qRgb(255, 0, 0)).second - reach(qRgb(255, 0, 0)).first, 1);
    EXPECT_LE(reach(qRgb(0, 255, 0)).second - reach(qRgb(0, 255, 0)).first, 1);

    const auto choose = [&](const QString& caption) {
        for (QAction* a : form->MnuChannels->actions())
            if (a->text() == caption) {
                ASSERT_TRUE(a->isEnabled());
                a->trigger();
                return;
            }
        FAIL() << caption.toStdString();
    };
    choose("Upper: Channel 3");
    choose("Lower: Channel 6");
    EXPECT_EQ(form->Waveform().Channels(), (DrawnChannels{2, 5}));
    const auto [redTop, redBottom] = reach(qRgb(255, 0, 0));
    const auto [greenTop, greenBottom] = reach(qRgb(0, 255, 0));
    // The loud tone fills most of the upper half, the soft one half as much of the lower.
    EXPECT_NEAR(redBottom - redTop, 0.8 * h / 2, h / 20.0);
    EXPECT_LT(redBottom, h / 2);
    EXPECT_NEAR(greenBottom - greenTop, 0.4 * h / 2, h / 20.0);
    EXPECT_GT(greenTop, h / 2);
    int checked = 0;
    for (QAction* a : form->MnuChannels->actions()) checked += a->isChecked();
    EXPECT_EQ(checked, 2);

    // Opened again: the first two.
    form->MnuOpen->trigger();
    EXPECT_EQ(form->Waveform().Channels(), DrawnChannels{});
    EXPECT_LE(reach(qRgb(255, 0, 0)).second - reach(qRgb(255, 0, 0)).first, 1);
}

TEST_F(Form1View, ShowPeaksDrawsTheRendererColoursAndIsRemembered) {
    // The summary is made by a job during the load; it comes back soon.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Waveform().Peaks().Ready(); }, 10000));
    const QImage opened = form->PicWave->Image().copy();
    form->MnuShowPeaks->trigger();
    EXPECT_TRUE(form->Waveform().ShowPeaks());
    const QImage peaks = form->PicWave->Image().copy();
    EXPECT_NE(peaks, opened);
    EXPECT_EQ(OtherColours(peaks), 0);
    // Each trace keeps to its half, at the scale of today's picture: the
    // 0.7 tone reaches about 0.7 of a quarter of the box from its centre.
    const int h = peaks.height(), w = peaks.width();
    int greenAbove = 0, redBelow = 0, greenTop = h, greenTopBefore = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = peaks.pixel(x, y) | 0xff000000u, q = opened.pixel(x, y) | 0xff000000u;
            if (p == qRgb(0, 255, 0)) {
                greenAbove += y < h / 2;
                greenTop = std::min(greenTop, y);
            }
            redBelow += y > h / 2 && p == qRgb(255, 0, 0);
            if (q == qRgb(0, 255, 0)) greenTopBefore = std::min(greenTopBefore, y);
        }
    EXPECT_EQ(greenAbove, 0);
    EXPECT_EQ(redBelow, 0);
    EXPECT_NEAR(greenTop, greenTopBefore, 2);
    // The next start shows peaks too; turned off, today's picture is back.
    {
        Form1 again(fake.platform);
        EXPECT_TRUE(again.MnuShowPeaks->isChecked());
        EXPECT_TRUE(again.Waveform().ShowPeaks());
    }
    form->MnuShowPeaks->trigger();
    EXPECT_EQ(form->PicWave->Image(), opened);
    Form1 third(fake.platform);
    EXPECT_FALSE(third.MnuShowPeaks->isChecked());
}

// View > Spectrogram over the 330 Hz tone: made by a job, painted in place
// of the waveform with the tone's row brightest, kept per view (the same
// view again takes no job, another zoom makes its own), remembered.
TEST_F(Form1View, SpectrogramIsMadeInTheBackgroundKeptPerViewAndRemembered) {
    EXPECT_TRUE(form->MnuSpectrogram->isCheckable());
    EXPECT_FALSE(form->MnuSpectrogram->isChecked());   // first start
    const QImage waveform = Painted();
    EXPECT_EQ(form->Waveform().Spectra().size(), 0u);   // off: nothing made

    form->MnuSpectrogram->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Waveform().Spectra().size() == 1; }, 10000));
    const QImage shown = Painted();
    EXPECT_NE(shown, waveform);
    // The brightest row of the middle column lies on 330 Hz of the log axis.
    const int x = shown.width() / 2, h = shown.height();
    int brightest = 0, best = -1;
    for (int y = 0; y < h; ++y) {
        const QColor c = QColor::fromRgb(shown.pixel(x, y));
        const int sum = c.red() + c.green() + c.blue();
        if (sum > best) best = sum, brightest = y;
    }
    const double row = (SpectrogramAxis::RowOf(330) + 0.5) * h / SpectrogramAxis::kRows;
    EXPECT_NEAR(brightest, row, h / 16.0);   // 330 Hz is a few bins wide: many rows

    form->MnuZoomIn->trigger();
    Painted();
    EXPECT_TRUE(form->Waveform().MakingSpectrogram());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Waveform().Spectra().size() == 2; }, 10000));
    form->MnuShowWholeSound->trigger();
    Painted();
    EXPECT_FALSE(form->Waveform().MakingSpectrogram());   // from the cache
    EXPECT_EQ(Painted(), shown);
    {
        Form1 again(fake.platform);
        EXPECT_TRUE(again.MnuSpectrogram->isChecked());
    }
    // Opening a sound drops the images of the one before.
    form->MnuOpen->trigger();
    EXPECT_LE(form->Waveform().Spectra().size(), 1u);
    form->MnuSpectrogram->trigger();
    EXPECT_FALSE(form->Waveform().ShowSpectrogram());
}

} // namespace
} // namespace zv

namespace zv {
namespace {

TEST_F(Form1View, TransportMenuFollowsViewLoopsWithLAndKeepsTheSpeedChosen) {
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_GE(menus.size(), 4);
    EXPECT_EQ(menus[3]->menu(), form->MnuTransport);
    QStringList captions;
    for (QAction* a : form->MnuTransport->actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"Play/Pause\tSpace", "Loop Selection\tL", "Normal Speed", "Half Speed",
                                     "Quarter Speed", "Play Slowly\tShift+Space", "Step\tRight", "Back\tLeft"}));
    EXPECT_TRUE(form->MnuNormalSpeed->isChecked());

    // L on the waveform turns the loop on: a play of the selection goes round it.
    form->PicWave->setFocus();
    QTest::keyClick(form->PicWave, Qt::Key_L);
    EXPECT_TRUE(form->MnuLoopSelection->isChecked());
    EXPECT_TRUE(form->MMControl1->Transport().Loop());
    // Shift+Space plays at the last slow speed (half at first), and it is kept.
    QTest::keyClick(form->PicWave, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModePlay);
    EXPECT_EQ(form->MMControl1->Transport().Speed(), 0.5);
    EXPECT_TRUE(form->MnuHalfSpeed->isChecked());
    form->MnuQuarterSpeed->trigger();
    EXPECT_EQ(form->MMControl1->Transport().Speed(), 0.25);
    form.reset();
    form = std::make_unique<Form1>(fake.platform);
    EXPECT_TRUE(form->MnuQuarterSpeed->isChecked());
    EXPECT_EQ(form->MMControl1->Transport().Speed(), 0.25);
    form->MnuNormalSpeed->trigger();   // the next test starts at normal speed
}

} // namespace
} // namespace zv
