// The window's handlers driven the way Qt drives them (signals, button
// clicks, slider actions, resizes) with values at and beyond the limits of
// their types: huge media lengths and positions, frame rates at the 16-bit
// limits, selections at the 32-bit limits, mouse positions that are huge or
// not numbers, slider moves to the ends of a 32-bit range, extreme window
// sizes. Nothing may escape a handler, and what is shown stays sensible:
// a caption whose figure overflows keeps what it showed before.
// The device counts 1000 sample frames a second: samples are milliseconds.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <initializer_list>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "FakeMediaDevice.h"
#include "FakePlatform.h"
#include "TestSounds.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/Slider.h"

namespace zv {
namespace {

constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A speaker volume control whose range is the whole 32-bit range.
struct FullRangeMixer : Mixer {
    std::vector<int32_t> written;
    bool Open() override { return true; }
    bool FindVolumeControl(int32_t& minimum, int32_t& maximum, int32_t& current) override {
        minimum = kMin32;
        maximum = kMax32;
        current = 0;
        return true;
    }
    bool SetVolume(int32_t value) override {
        written.push_back(value);
        return true;
    }
};

std::string Text(const QLabel* label) { return label->text().toStdString(); }

void ExpectLayoutFollows(Form1& form, QSize before, int clears);

struct Form1Robust : ::testing::Test {
    test::RecordingMessageBox messages;
    test::ScriptedFileDialog dialog;
    test::FakeMediaDevice device;
    FullRangeMixer mixer;
    test::RecordingStarter starter;
    Platform platform{messages, dialog, device, mixer, starter};
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    std::string wav = dir.File("tone.wav");

    void SetUp() override {
        device.sampleRate = 1000;
        test::WriteWav(wav, 8000, 2, test::Tone(8000, 800, 440, 0.5));
        form = std::make_unique<Form1>(platform);
        form->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        // Whatever happened, the window still works: a plain selection at
        // 30 frames a second shows as it should.
        form->TxtNumFrames->setText("30");
        Open(wav, 10000);
        form->SelStartMs = 0;
        form->SelEndMs = 1500;
        Refresh();
        EXPECT_EQ(form->FramesPerSecond, 30);
        EXPECT_EQ(Text(form->LblStartFrame), "Start: 0");
        EXPECT_EQ(Text(form->LblEndFrame), "End: 45");
        EXPECT_EQ(Text(form->LblSelectedTime), "Selected:(Seconds:1.5 / Frames:45)");
        EXPECT_EQ(Text(form->LblTotalTime), "Total Length:(Time: 0:10 / Frames: 300)");
        EXPECT_TRUE(messages.texts.empty());
    }

    // The user picks `path` in File > Open; the device reports `samples`.
    void Open(const std::string& path, int64_t samples) {
        device.length = samples;
        dialog.answer = path;
        form->MnuOpen->trigger();
    }
    // The media control's status update (event 37).
    void Refresh() { emit form->MMControl1->StatusUpdate(); }
    // Resizes the window's client area to each size in turn: the layout
    // follows, and a status update then draws the strip at that width.
    void ResizeThrough(std::initializer_list<QSize> sizes) {
        const int menuH = form->height() - form->centralWidget()->height();
        for (const QSize& size : sizes) {
            SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
            const QSize before = form->centralWidget()->size();
            const int clears = form->PicWave->ClearCount();
            form->resize(size.width(), size.height() + menuH);
            QApplication::processEvents();
            ExpectLayoutFollows(*form, before, clears);
            Refresh();
            (void)form->PicTime->Image();
        }
    }
    void Click(const char* button) { form->MMControl1->Button(button)->click(); }

    struct Captions {
        std::string start, end, selected, total, position;
    };
    Captions Shown() const {
        return {Text(form->LblStartFrame), Text(form->LblEndFrame), Text(form->LblSelectedTime),
                Text(form->LblTotalTime), Text(form->LabMCIposition)};
    }
};

TEST_F(Form1Robust, HugeLengthsOpenPlayAndRefreshWithoutLosingTheCaptions) {
    Open(wav, 1500);
    Refresh();
    const std::string end = Text(form->LblEndFrame), selected = Text(form->LblSelectedTime);
    ASSERT_EQ(end, "End: 45");

    const int64_t lengths[] = {kMax32 - 1, kMax32, int64_t{kMax32} + 1, int64_t{1} << 32, int64_t{1} << 40,
                               kMax64 / 1000, kMax64};
    for (const int64_t samples : lengths) {
        SCOPED_TRACE(samples);
        Open(wav, samples);
        const int32_t ms = static_cast<int32_t>(std::min<int64_t>(samples, kMax32));
        // The length is held as 32-bit ms: beyond that it reads as the largest.
        EXPECT_EQ(form->MMControl1->Length(), ms);
        EXPECT_EQ(form->WavFileName, wav);
        EXPECT_EQ(form->SelStartMs, 0);
        EXPECT_EQ(form->SelEndMs, ms);
        // ms x 30 leaves 32 bits: the sliders keep their ranges.
        EXPECT_EQ(form->ScrollEnd->maximum(), 45);
        EXPECT_EQ(Text(form->LblTotalTime), "Total Length:(Time: 35791:23 / Frames: 64424509)");

        Refresh();
        EXPECT_EQ(Text(form->LblStartFrame), "Start: 0");
        EXPECT_EQ(Text(form->LblEndFrame), end);
        EXPECT_EQ(Text(form->LblSelectedTime), selected);
        EXPECT_FLOAT_EQ(form->PicTime->ScaleWidth(), static_cast<float>(ms));
        EXPECT_EQ(form->MMControl1->To(), ms);

        // The whole range plays; Step, Back, Next and Prev move within it.
        Click("Play");
        ASSERT_FALSE(device.plays.empty());
        EXPECT_EQ(device.plays.back(), std::make_pair(int64_t{0}, int64_t{ms}));
        EXPECT_EQ(form->MMControl1->Mode(), MediaControl::ModePlay);
        Click("Step");
        Click("Back");
        Click("Next");
        EXPECT_EQ(form->MMControl1->Position(), ms);
        Click("Step");   // at the end: stays
        EXPECT_EQ(form->MMControl1->Position(), ms);
        Click("Prev");
        EXPECT_EQ(form->MMControl1->Position(), 0);
        Refresh();
        EXPECT_EQ(Text(form->LabMCIposition), "Time: 0:0 / Frame: 0");
    }
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(Form1Robust, OpenWhoseWaveformOverflowsStillResetsTheSelection) {
    // 0xFFFFFFFF bytes of 4-byte frames: the byte offset of frame 2^29 leaves
    // 32 bits, so the waveform cannot be drawn to its end.
    const std::string huge = std::string(ZORVANE_SOURCE_DIR) + "/fuzz/corpus/wav/data_size_ffffffff.wav";
    Open(wav, 150000);
    form->SelStartMs = 1000;
    form->ScrollEnd->setValue(7);
    Open(huge, 90000);
    EXPECT_TRUE(form->Sound.WavLoaded);
    EXPECT_EQ(form->Sound.NumSamples, 1073741824);
    EXPECT_EQ(form->WavFileName, huge);
    EXPECT_EQ(form->SelStartMs, 0);
    EXPECT_EQ(form->SelEndMs, 90000);
    EXPECT_EQ(form->ScrollEnd->maximum(), 2700);
    EXPECT_EQ(form->ScrollEnd->value(), 2700);
    EXPECT_EQ(form->ScrollStart->maximum(), 2700);
    // A resize redraws as far as it can and lays out everything before that.
    form->resize(900, 700);
    QApplication::processEvents();
    EXPECT_FLOAT_EQ(form->Geometry(form->ScrollEnd).Width, form->ScaleWidth() / 2.0f);
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(Form1Robust, FrameRatesAtThe16BitLimits) {
    Open(wav, 60000);
    Refresh();
    ASSERT_EQ(Text(form->LblEndFrame), "End: 1800");

    // Typed and read on the next status update.
    form->TxtNumFrames->setText("32767");
    Refresh();
    EXPECT_EQ(form->FramesPerSecond, 32767);
    EXPECT_EQ(Text(form->LblStartFrame), "Start: 0");
    EXPECT_EQ(Text(form->LblEndFrame), "End: 1966020");
    EXPECT_EQ(Text(form->LblSelectedTime), "Selected:(Seconds:60 / Frames:1966020)");
    EXPECT_EQ(Text(form->LblTotalTime), "Total Length:(Time: 1:0 / Frames: 1966020)");

    // A right click where 32767 x t still fits 32 bits (up to 65537 ms)
    // moves the end; beyond that nothing moves.
    emit form->PicTime->MouseDown(2, 0, 59000.0f, 5.0f);
    emit form->PicTime->MouseUp(2, 0, 59000.0f, 5.0f);
    EXPECT_EQ(form->SelEndMs, 59000);
    Refresh();
    EXPECT_EQ(Text(form->LblEndFrame), "End: 1933253");
    EXPECT_EQ(Text(form->LblSelectedTime), "Selected:(Seconds:59 / Frames:1933253)");
    Open(wav, 70000);
    Refresh();
    EXPECT_EQ(form->SelEndMs, 70000);
    // 70000 x 32767 overflows: the end and the selected figure stay at 59000.
    EXPECT_EQ(Text(form->LblEndFrame), "End: 1933253");
    EXPECT_EQ(Text(form->LblSelectedTime), "Selected:(Seconds:59 / Frames:1933253)");
    EXPECT_EQ(Text(form->LblTotalTime), "Total Length:(Time: 1:10 / Frames: 2293690)");
    // The ranges followed the typed rate for the 60 s file; the new open's
    // frame count overflowed, so they stay.
    EXPECT_EQ(form->ScrollEnd->maximum(), 1966020);
    emit form->PicTime->MouseDown(1, 0, 69999.0f, 5.0f);
    emit form->PicTime->MouseUp(1, 0, 69999.0f, 5.0f);
    EXPECT_EQ(form->SelStartMs, 0);

    // Step and Back read the rate first and move by frames of 1/32767 s.
    Click("Step");
    EXPECT_EQ(form->MMControl1->Position(), 1);
    Click("Back");
    EXPECT_EQ(form->MMControl1->Position(), 0);

    form->TxtNumFrames->setText("-32768");
    Click("Step");   // a negative rate: Step does nothing
    EXPECT_EQ(form->FramesPerSecond, -32768);
    EXPECT_EQ(form->MMControl1->Position(), 0);
    form->SelEndMs = 60000;
    Refresh();
    EXPECT_EQ(Text(form->LblStartFrame), "Start: 0");
    EXPECT_EQ(Text(form->LblEndFrame), "End: -1966080");
    EXPECT_EQ(Text(form->LblSelectedTime), "Selected:(Seconds:60 / Frames:-1966080)");
    EXPECT_EQ(Text(form->LblTotalTime), "Total Length:(Time: 1:10 / Frames: -2293760)");

    // Numbers beyond 16 bits keep the rate as it was.
    for (const char* text : {"32768", "-32769", "32767.5", "1e308", "-1e999", "&HFFFF", "99999999999999999999"}) {
        SCOPED_TRACE(text);
        form->TxtNumFrames->setText(QString::fromLatin1(text));
        Refresh();
        EXPECT_EQ(form->FramesPerSecond, -32768);
        emit form->MMControl1->StepClick();
        emit form->MMControl1->BackClick();
        EXPECT_EQ(form->FramesPerSecond, -32768);
    }
    form->TxtNumFrames->setText("&H7FFF");
    emit form->MMControl1->StepClick();
    EXPECT_EQ(form->FramesPerSecond, 32767);

    // The sliders at rates of 0 and below convert nothing.
    form->TxtNumFrames->setText("0");
    Refresh();
    const int32_t start = form->SelStartMs, endMs = form->SelEndMs;
    form->ScrollStart->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    form->ScrollEnd->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(form->SelStartMs, start);
    EXPECT_EQ(form->SelEndMs, endMs);
    EXPECT_EQ(Text(form->LblEndFrame), "End: 0");
}

TEST_F(Form1Robust, SelectionsAtThe32BitLimits) {
    Open(wav, 60000);
    Refresh();
    const Captions before = Shown();
    const int clears = form->PicTime->ClearCount();

    // Every figure overflows at 30 frames a second: the captions stay, the
    // strip is redrawn and the play range follows the selection.
    for (const auto& [start, end] : {std::pair{kMin32, kMax32}, std::pair{kMax32, kMin32},
                                     std::pair{kMin32, kMin32}, std::pair{kMax32, kMax32}}) {
        SCOPED_TRACE(testing::Message() << start << ".." << end);
        form->SelStartMs = start;
        form->SelEndMs = end;
        Refresh();
        const Captions now = Shown();
        EXPECT_EQ(now.start, before.start);
        EXPECT_EQ(now.end, before.end);
        EXPECT_EQ(now.selected, before.selected);
        EXPECT_EQ(now.total, before.total);
        EXPECT_EQ(form->MMControl1->From(), start);
        EXPECT_EQ(form->MMControl1->To(), end);
        EXPECT_GT(form->PicTime->ClearCount(), clears);
        (void)form->PicTime->Image();   // the strip's shapes drawn, clipped to it

        // Play plays what of the range lies in the sound; Prev and Next stop
        // at its ends.
        device.plays.clear();
        Click("Play");
        if (start != end) {
            ASSERT_EQ(device.plays.size(), 1u);
            EXPECT_EQ(device.plays.back(), std::make_pair(int64_t{0}, int64_t{60000}));
        } else {
            EXPECT_TRUE(device.plays.empty());
        }
        Click("Stop");
        Click("Prev");
        EXPECT_EQ(form->MMControl1->Position(), start == kMin32 ? 0 : 60000);
        Click("Next");
        EXPECT_EQ(form->MMControl1->Position(), end == kMin32 ? 0 : 60000);
    }

    // At 1 frame a second the frame numbers fit; the length still does not.
    form->TxtNumFrames->setText("1");
    form->SelStartMs = kMin32;
    form->SelEndMs = kMax32;
    Refresh();
    EXPECT_EQ(Text(form->LblStartFrame), "Start: -2147484");
    EXPECT_EQ(Text(form->LblEndFrame), "End: 2147483");
    EXPECT_EQ(Text(form->LblSelectedTime), before.selected);
    form->SelStartMs = -2147483000;
    form->SelEndMs = -2147482000;
    Refresh();
    EXPECT_EQ(Text(form->LblSelectedTime), "Selected:(Seconds:1 / Frames:1)");

    // The mouse cannot move an edge past the other one at the limits.
    form->SelStartMs = kMax32;
    form->SelEndMs = kMin32;
    emit form->PicTime->MouseDown(1, 0, 30000.0f, 5.0f);
    emit form->PicTime->MouseMove(2, 0, 30000.0f, 5.0f);
    emit form->PicTime->MouseUp(1, 0, 30000.0f, 5.0f);
    EXPECT_EQ(form->SelStartMs, kMax32);
    EXPECT_EQ(form->SelEndMs, kMin32);
    EXPECT_FALSE(form->Dragging);
}

TEST_F(Form1Robust, MouseAtPositionsThatAreHugeOrNotNumbers) {
    Open(wav, 60000);
    form->SelStartMs = 1000;
    form->SelEndMs = 2000;
    Refresh();
    ASSERT_FLOAT_EQ(form->PicTime->ScaleWidth(), 60000.0f);
    const float xs[] = {kNaN, -kNaN, kInf, -kInf, std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                        1e30f, -1e30f, 2147483648.0f, -2147483648.0f, 60000.5f, 0.999f, 0.0f, -0.0f,
                        std::numeric_limits<float>::denorm_min()};
    const int16_t buttons[] = {0, 1, 2, 3, 4, -1, 32767, -32768};
    for (const float x : xs)
        for (const int16_t b : buttons) {
            SCOPED_TRACE(testing::Message() << "x " << x << " button " << b);
            emit form->PicTime->MouseDown(b, 0, x, kNaN);
            EXPECT_TRUE(form->Dragging);
            emit form->PicTime->MouseMove(b, -1, x, kInf);
            emit form->PicTime->MouseUp(b, 32767, x, -kInf);
            EXPECT_FALSE(form->Dragging);
            EXPECT_EQ(form->SelStartMs, 1000);
            EXPECT_EQ(form->SelEndMs, 2000);
        }

    // Real mouse events far outside the strip, as a grab reports them.
    for (const double px : {1e9, -1e9, 1e300, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(px);
        const QPointF at(px, px);
        QMouseEvent press(QEvent::MouseButtonPress, at, form->PicTime->mapToGlobal(QPointF(0, 0)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->PicTime, &press);
        QMouseEvent move(QEvent::MouseMove, at, form->PicTime->mapToGlobal(QPointF(0, 0)), Qt::NoButton,
                         Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(form->PicTime, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, at, form->PicTime->mapToGlobal(QPointF(0, 0)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form->PicTime, &release);
        EXPECT_EQ(form->SelStartMs, 1000);
        EXPECT_EQ(form->SelEndMs, 2000);
        EXPECT_FALSE(form->Dragging);
    }

    // On a strip scaled to the largest length, the last floats below its
    // width round beyond 32 bits or overflow the frames: nothing moves.
    Open(wav, int64_t{1} << 40);
    Refresh();
    for (const float x : {2147483648.0f, 2147483520.0f, 2147483392.0f}) {
        SCOPED_TRACE(x);
        emit form->PicTime->MouseDown(2, 0, x, 5.0f);
        emit form->PicTime->MouseUp(2, 0, x, 5.0f);
        emit form->PicTime->MouseDown(1, 0, x, 5.0f);
        emit form->PicTime->MouseUp(1, 0, x, 5.0f);
        EXPECT_EQ(form->SelStartMs, 0);
        EXPECT_EQ(form->SelEndMs, kMax32);
    }
    // At one frame a second the product fits, and the end moves.
    form->TxtNumFrames->setText("1");
    Refresh();
    form->SelEndMs = 5;
    emit form->PicTime->MouseDown(2, 0, 2147483520.0f, 5.0f);
    emit form->PicTime->MouseUp(2, 0, 2147483520.0f, 5.0f);
    EXPECT_EQ(form->SelEndMs, 2147483520);
}

TEST_F(Form1Robust, SliderMovesToTheEndsOfThe32BitRange) {
    Open(wav, 60000);
    form->SelStartMs = 1000;
    form->SelEndMs = 2000;
    // The handlers must take whatever a slider can hold.
    for (Slider* s : {form->ScrollStart, form->ScrollEnd}) {
        s->setRange(kMin32, kMax32);
        s->setPageStep(kMax32);
    }
    form->ScrollStart->setValue(0);
    form->ScrollEnd->setValue(0);

    // value x 1000 leaves 32 bits: the selection stays.
    form->ScrollEnd->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(form->ScrollEnd->value(), kMax32);
    EXPECT_EQ(form->SelEndMs, 2000);
    // The start pushed onto the end goes back one frame.
    form->ScrollStart->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(form->ScrollStart->value(), kMax32 - 1);
    EXPECT_EQ(form->SelStartMs, 1000);
    // The end pushed below the start goes one frame past it.
    form->ScrollEnd->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(form->ScrollEnd->value(), kMax32);
    EXPECT_EQ(form->SelEndMs, 2000);
    form->ScrollStart->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(form->ScrollStart->value(), kMin32);
    EXPECT_EQ(form->SelStartMs, 1000);
    // The end moved down onto a start at the bottom goes one above it; a
    // start moved up against an end at the bottom has nowhere to go back to.
    form->ScrollEnd->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(form->ScrollEnd->value(), kMin32 + 1);
    form->ScrollEnd->setValue(kMin32);
    form->ScrollStart->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(form->ScrollStart->value(), -1);
    form->ScrollStart->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(form->ScrollStart->value(), kMax32);
    EXPECT_EQ(form->ScrollEnd->value(), kMin32);
    EXPECT_EQ(form->SelStartMs, 1000);
    EXPECT_EQ(form->SelEndMs, 2000);

    // Within reach, the moves still convert.
    form->ScrollStart->setValue(-2147483);
    form->ScrollEnd->setValue(0);
    form->ScrollStart->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form->SelStartMs, -71582733);   // -2147482 frames at 30 a second
    form->ScrollEnd->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form->SelEndMs, 33);

    // The volume slider over a control of the whole 32-bit range.
    ASSERT_EQ(form->VolSlider->minimum(), kMin32);
    ASSERT_EQ(form->VolSlider->maximum(), kMax32);
    form->VolSlider->setPageStep(kMax32);
    for (const auto action : {QAbstractSlider::SliderToMaximum, QAbstractSlider::SliderPageStepAdd,
                              QAbstractSlider::SliderToMinimum, QAbstractSlider::SliderPageStepSub,
                              QAbstractSlider::SliderSingleStepSub}) {
        form->VolSlider->triggerAction(action);
        emit form->VolSlider->MouseMove();
        QApplication::processEvents();
    }
    ASSERT_FALSE(mixer.written.empty());
    EXPECT_EQ(mixer.written.back(), kMin32);
    EXPECT_EQ(form->VolSlider->value(), kMin32);

    Refresh();   // the strip and captions with a selection set by the sliders
    EXPECT_EQ(Text(form->LblStartFrame), "Start: -2147482");
}

// Whatever size the window got, the layout follows it to the end: the
// panel docked, the waveform box above it and drawn afresh.
void ExpectLayoutFollows(Form1& form, QSize before, int clears) {
    const float W = form.ScaleWidth(), H = form.ScaleHeight();
    EXPECT_EQ(form.Geometry(form.Picture1), (TwipsRect{0.0f, H - Form1::PanelHeight, W, Form1::PanelHeight}));
    EXPECT_EQ(form.Geometry(form.PicWave).Height, H >= Form1::PanelHeight ? H - Form1::PanelHeight : 0.0f);
    EXPECT_EQ(form.Geometry(form.ScrollEnd), (TwipsRect{W / 2.0f, 720.0f, W / 2.0f, 315.0f}));
    if (form.centralWidget()->size() != before) {
        EXPECT_GT(form.PicWave->ClearCount(), clears);
    }
    const QImage& wave = form.PicWave->Image();
    if (form.PicWave->height() == 0) {
        EXPECT_TRUE(wave.isNull());
    } else {
        EXPECT_EQ(wave.size(), form.PicWave->size() * form.PicWave->devicePixelRatioF());
    }
}

TEST_F(Form1Robust, ExtremeWindowSizes) {
    Open(wav, 100000);
    // Down to what the window allows, and out to the 32767 pixels an X
    // window can have along one side.
    ResizeThrough({{1, 1}, {0, 0}, {60, 40}, {32767, 120}, {120, 32767}, {5000, 3000}, {700, 620}});
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(Form1Robust, WindowSizesWithTheLargestSoundLoaded) {
    // 2147483647 one-byte frames: the view spans the whole 32-bit range.
    // (Drawing it reads one page of the block per point: sizes stay modest.)
    const std::string largest = std::string(ZORVANE_SOURCE_DIR) + "/fuzz/corpus/wav/frames_int32_max.wav";
    Open(largest, int64_t{1} << 40);
    ASSERT_EQ(form->Sound.NumSamples, kMax32);
    ASSERT_EQ(form->SelEndMs, kMax32);
    ResizeThrough({{1, 1}, {1600, 400}, {300, 1200}});
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(Form1Robust, ReadoutsAtExtremePositions) {
    Open(wav, int64_t{1} << 40);
    Click("Play");
    ASSERT_TRUE(device.playing);
    const struct {
        int64_t sample;
        const char* caption;
    } positions[] = {
        {kMax32 - 1, "Time: 35791:24 / Frame: 64424509"},
        {kMax32, "Time: 35791:24 / Frame: 64424509"},
        {int64_t{kMax32} + 1, "Time: 35791:24 / Frame: 64424509"},
        {int64_t{1} << 40, "Time: 35791:24 / Frame: 64424509"},
        {kMax64, "Time: 35791:24 / Frame: 64424509"},
        {-1, "Time: 0:0 / Frame: 0"},
        {-1501, "Time: -1:58 / Frame: -45"},
        {kMin32, "Time: -35792:36 / Frame: -64424509"},
        {int64_t{kMin32} - 1, "Time: -35792:36 / Frame: -64424509"},
        {kMin64, "Time: -35792:36 / Frame: -64424509"},
    };
    for (const auto& p : positions) {
        SCOPED_TRACE(p.sample);
        device.position = p.sample;
        Refresh();
        EXPECT_EQ(Text(form->LabMCIposition), p.caption);
        EXPECT_EQ(Text(form->LblTotalTime), "Total Length:(Time: 35791:23 / Frames: 64424509)");
        (void)form->PicTime->Image();   // the progress box from 0 to there, clipped
    }
    // At the 16-bit frame rates too.
    for (const char* rate : {"32767", "-32768"}) {
        SCOPED_TRACE(rate);
        form->TxtNumFrames->setText(QString::fromLatin1(rate));
        device.position = kMax64;
        Refresh();
        EXPECT_EQ(Text(form->LabMCIposition), rate[0] == '-' ? "Time: 35791:24 / Frame: -70368744145"
                                                                : "Time: 35791:24 / Frame: 70366596661");
    }
    // Stopped out there, Back goes to the start of the last frame (at 30 a
    // second, 2147483633 ms) and Step finds no frame starting after it.
    Click("Stop");
    EXPECT_FALSE(device.playing);
    EXPECT_EQ(form->MMControl1->Position(), kMax32);
    form->TxtNumFrames->setText("30");
    Click("Back");
    EXPECT_EQ(form->MMControl1->Position(), 2147483633);
    Click("Step");
    EXPECT_EQ(form->MMControl1->Position(), 2147483633);
    form->TxtNumFrames->setText("32767");
    Click("Step");
    EXPECT_EQ(form->MMControl1->Position(), 2147483634);
}

} // namespace
} // namespace zv
