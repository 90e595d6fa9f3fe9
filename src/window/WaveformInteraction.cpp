#include "window/WaveformInteraction.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "common/FrameTime.h"
#include "common/ui/LogCategories.h"
#include "playback/MediaTransport.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/Slider.h"
#include "window/WaveKeys.h"

namespace zv {

namespace {

constexpr const char* kShowPeaksKey = "view/showPeaks";
// One wheel notch (120 eighths of a degree) scrolls an eighth of the box,
// and with Ctrl zooms by the square root of 2 (two notches: twice as close).
constexpr double kNotch = 120.0;
constexpr double kScrollPerNotch = 1.0 / 8.0;
constexpr double kZoomPerNotch = 1.4142135623730951;
// How often a waiting scrub frame checks whether the one sounding is heard.
constexpr int kScrubPollMs = 2;

QSettings Settings() { return QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")); }

QColor Colour(unsigned rgb, int alpha = 255) {
    return QColor(static_cast<int>(rgb >> 16 & 0xff), static_cast<int>(rgb >> 8 & 0xff), static_cast<int>(rgb & 0xff),
                  alpha);
}

int32_t ToLong(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

WaveformInteraction::WaveformInteraction(Form1& form)
    : QObject(&form), form_(form), scrubber_(form.MMControl1->Transport()), keys_(new WaveKeys(this)) {
    showPeaks_ = RememberedShowPeaks();
    form_.PicWave->installEventFilter(this);
    form_.PicWave->AddOverlay([this](QPainter& p) { Paint(p); });
    form_.installEventFilter(keys_);

    scrubTimer_.setTimerType(Qt::PreciseTimer);
    scrubTimer_.setInterval(kScrubPollMs);
    connect(&scrubTimer_, &QTimer::timeout, this, [this] {
        try {
            if (scrubber_.Poll()) form_.MMControl1->TransportChanged();
        } catch (...) {
            LogCurrentError(LogPlayback(), "Sounding a scrubbed frame");
        }
        if (!scrubber_.Waiting()) scrubTimer_.stop();
    });
    connect(form_.MMControl1, &MediaControl::StatusUpdate, this, [this] { StatusUpdated(); });

    MediaControl& control = *form_.MMControl1;
    keys_->Add(Qt::Key_Space, [this] { PlayOrPause(); });
    keys_->Add(Qt::Key_Right, [&control] {
        if (QAbstractButton* b = control.Button(QStringLiteral("Step"))) b->click();
    });
    keys_->Add(Qt::Key_Left, [&control] {
        if (QAbstractButton* b = control.Button(QStringLiteral("Back"))) b->click();
    });
    keys_->Add(Qt::Key_Home, [this] { GoToSelectionStart(); });
    keys_->Add(Qt::Key_End, [this] { GoToSelectionEnd(); });
    keys_->Add(Qt::Key_I, [this] { SetSelectionStartHere(); });
    keys_->Add(Qt::Key_O, [this] { SetSelectionEndHere(); });

    // The buttons' tool tips name their keys.
    const char* tips[][2] = {{"Prev", "Prev (Home)"}, {"Play", "Play (Space)"}, {"Pause", "Pause (Space)"},
                             {"Back", "Back (Left)"}, {"Step", "Step (Right)"}, {"Next", "Next (End)"}};
    for (const auto& tip : tips)
        if (QAbstractButton* b = control.Button(QString::fromLatin1(tip[0]))) b->setToolTip(QString::fromLatin1(tip[1]));
}

WaveformInteraction::~WaveformInteraction() = default;

bool WaveformInteraction::RememberedShowPeaks() { return Settings().value(kShowPeaksKey, false).toBool(); }

bool WaveformInteraction::Loaded() const {
    return form_.Sound.WavLoaded && form_.Sound.NumSamples > 0 && form_.Sound.WavFormat.nSamplesPerSec > 0;
}

int32_t WaveformInteraction::SampleRate() const { return form_.Sound.WavFormat.nSamplesPerSec; }

void WaveformInteraction::SoundLoaded() {
    scrubber_.Release();
    scrubTimer_.stop();
    panning_ = false;
    view_.Reset(form_.Sound.NumSamples);
    form_.PicWave->update();
}

void WaveformInteraction::PeaksMade(PeakSummary&& summary) {
    const bool shown = showPeaks_ && summary.Ready();
    peaks_ = std::move(summary);
    if (shown) Redraw();
}

void WaveformInteraction::SyncView() {
    view_.SetWidth(form_.PicWave->width());
    if (!form_.Sound.WavLoaded) return;
    form_.Sound.ViewStart = ToLong(view_.Start());
    form_.Sound.ViewEnd = ToLong(view_.End());
}

void WaveformInteraction::Redraw() {
    try {
        form_.DrawWaves();
    } catch (...) {
        // As after an open: the picture stays as far as it got.
        LogCurrentError(LogSound(), "Drawing the waveform's view");
    }
    form_.PicWave->update();
}

void WaveformInteraction::ZoomIn() {
    if (!Loaded()) return;
    view_.ZoomIn();
    Redraw();
}

void WaveformInteraction::ZoomOut() {
    if (!Loaded()) return;
    view_.ZoomOut();
    Redraw();
}

void WaveformInteraction::ZoomToSelection() {
    if (!Loaded()) return;
    const int64_t from = MsToSamples(std::min(form_.SelStartMs, form_.SelEndMs), SampleRate());
    const int64_t to = MsToSamples(std::max(form_.SelStartMs, form_.SelEndMs), SampleRate());
    view_.ZoomTo(from, to);
    Redraw();
}

void WaveformInteraction::ShowWholeSound() {
    view_.ShowWhole();
    Redraw();
}

void WaveformInteraction::SetShowPeaks(bool on) {
    if (on == showPeaks_) return;
    showPeaks_ = on;
    Settings().setValue(kShowPeaksKey, on);
    Redraw();
}

// ---- Keys ----

void WaveformInteraction::PlayOrPause() {
    MediaControl& control = *form_.MMControl1;
    const bool playing = control.Mode() == MediaControl::ModePlay;
    if (QAbstractButton* b = control.Button(playing ? QStringLiteral("Pause") : QStringLiteral("Play"))) b->click();
}

void WaveformInteraction::GoToSelectionStart() {
    if (form_.MMControl1->Mode() == MediaControl::ModeNotReady) return;
    form_.MMControl1->SetFrom(form_.SelStartMs);
    form_.MMControl1->Transport().Prev();
    form_.MMControl1->TransportChanged();
}

void WaveformInteraction::GoToSelectionEnd() {
    if (form_.MMControl1->Mode() == MediaControl::ModeNotReady) return;
    form_.MMControl1->SetTo(form_.SelEndMs);
    form_.MMControl1->Transport().Next();
    form_.MMControl1->TransportChanged();
}

// As if the slider had been moved to the frame being heard: the slider's
// own rules apply (it stays in its range, the start stays before the end).
void WaveformInteraction::SetSelectionStartHere() {
    if (form_.MMControl1->Mode() == MediaControl::ModeNotReady) return;
    form_.ReadFrameRate();
    const FrameRate rate = form_.FrameRateNow();
    if (!rate.IsPositive()) return;
    form_.ScrollStart->SetValue(ToLong(FrameAtMs(form_.MMControl1->Position(), rate)));
    form_.ScrollStart_Scroll();
    form_.RefreshTimeline();
}

void WaveformInteraction::SetSelectionEndHere() {
    if (form_.MMControl1->Mode() == MediaControl::ModeNotReady) return;
    form_.ReadFrameRate();
    const FrameRate rate = form_.FrameRateNow();
    if (!rate.IsPositive()) return;
    form_.ScrollEnd->SetValue(ToLong(FrameAtMs(form_.MMControl1->Position(), rate)));
    form_.ScrollEnd_Scroll();
    form_.RefreshTimeline();
}

// ---- Mouse and wheel ----

int64_t WaveformInteraction::FrameUnder(double x) {
    if (!Loaded()) return -1;
    form_.ReadFrameRate();
    const FrameRate rate = form_.FrameRateNow();
    if (!rate.IsPositive()) return -1;
    view_.SetWidth(form_.PicWave->width());
    const int64_t sample = view_.FrameAt(x);
    return FrameAtMs(SamplesToMs(sample, SampleRate()), rate);
}

bool WaveformInteraction::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_.PicWave) return QObject::eventFilter(watched, event);
    try {
        switch (event->type()) {
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (!Loaded()) return false;
            const QPoint delta = wheel->angleDelta();
            const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / kNotch;
            view_.SetWidth(form_.PicWave->width());
            if (wheel->modifiers() & Qt::ControlModifier) view_.ZoomAround(std::pow(kZoomPerNotch, notches), wheel->position().x());
            else view_.ScrollByPixels(-notches * kScrollPerNotch * view_.Width());
            Redraw();
            wheel->accept();
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::MiddleButton && Loaded()) {
                panning_ = true;
                panX_ = mouse->position().x();
                panStart_ = view_.Start();
            } else if (mouse->button() == Qt::LeftButton) {
                const int64_t frame = FrameUnder(mouse->position().x());
                if (frame >= 0) {
                    scrubber_.Press(frame);
                    form_.MMControl1->TransportChanged();
                }
            }
            return false;   // the box still reports the press
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (panning_ && (mouse->buttons() & Qt::MiddleButton)) {
                view_.MoveStartTo(panStart_ - std::llround((mouse->position().x() - panX_) * view_.FramesPerPixel()));
                Redraw();
            } else if (scrubber_.Active() && (mouse->buttons() & Qt::LeftButton)) {
                const int64_t frame = FrameUnder(mouse->position().x());
                const int64_t before = scrubber_.Current();
                if (frame >= 0) scrubber_.Move(frame);
                if (scrubber_.Current() != before) form_.MMControl1->TransportChanged();
                if (scrubber_.Waiting() && !scrubTimer_.isActive()) scrubTimer_.start();
            }
            return false;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::MiddleButton) panning_ = false;
            if (mouse->button() == Qt::LeftButton && scrubber_.Active()) {
                scrubber_.Release();
                scrubTimer_.stop();
                form_.MMControl1->TransportChanged();
            }
            return false;
        }
        default:
            break;
        }
    } catch (...) {
        // A failing output leaves the transport stopped; the buttons show it.
        LogCurrentError(LogWindow(), "A mouse or wheel event on the waveform");
    }
    return QObject::eventFilter(watched, event);
}

// ---- Overlays ----

double WaveformInteraction::PixelOfMs(int64_t ms) const { return view_.PixelOf(MsToSamples(ms, SampleRate())); }

void WaveformInteraction::StatusUpdated() {
    if (!Loaded()) return;
    PictureBox& box = *form_.PicWave;
    if (form_.SelStartMs != shownSelStart_ || form_.SelEndMs != shownSelEnd_ ||
        !(form_.FrameRateNow() == shownRate_)) {
        box.update();
        return;
    }
    const int32_t position = form_.MMControl1->Position();
    const double x = std::floor(PixelOfMs(position));
    if (x == shownPlayX_) return;
    // Playing across the right edge of a zoomed view turns the page: the
    // line goes on from the left edge.
    if (form_.MMControl1->Mode() == MediaControl::ModePlay && !view_.IsWhole() && shownPlayX_ >= 0 &&
        shownPlayX_ < view_.Width() && x >= view_.Width()) {
        view_.MoveStartTo(MsToSamples(position, SampleRate()));
        Redraw();
        return;
    }
    // Only the strips under the old and the new line.
    box.update(QRect(static_cast<int>(std::clamp(shownPlayX_, -4.0, 1e6)) - 2, 0, 5, box.height()));
    box.update(QRect(static_cast<int>(std::clamp(x, -4.0, 1e6)) - 2, 0, 5, box.height()));
}

void WaveformInteraction::Paint(QPainter& p) {
    shownSelStart_ = form_.SelStartMs;
    shownSelEnd_ = form_.SelEndMs;
    shownRate_ = form_.FrameRateNow();
    shownPlayX_ = -1;
    if (!Loaded() || form_.MMControl1->Mode() == MediaControl::ModeNotReady) return;
    view_.SetWidth(form_.PicWave->width());
    const int h = form_.PicWave->height();
    p.setRenderHint(QPainter::Antialiasing, false);
    PaintGrid(p);
    const auto line = [&](double x, unsigned rgb) {
        if (x < -1.0 || x > view_.Width() + 1.0) return;
        p.setPen(QPen(Colour(rgb), 1.0));
        // A time on the sound's last edge is shown in the box's last column.
        const double px = std::clamp(std::floor(x), 0.0, view_.Width() - 1.0) + 0.5;
        p.drawLine(QPointF(px, 0), QPointF(px, h));
    };
    line(PixelOfMs(form_.SelStartMs), kSelStartRgb);
    line(PixelOfMs(form_.SelEndMs), kSelEndRgb);
    shownPlayX_ = std::floor(PixelOfMs(form_.MMControl1->Position()));
    line(shownPlayX_, kPlayLineRgb);
}

void WaveformInteraction::PaintGrid(QPainter& p) {
    const FrameRate fps = form_.FrameRateNow();
    const int32_t rate = SampleRate();
    if (!fps.IsPositive() || view_.Span() <= 0) return;
    // A frame lasts rate x denominator / numerator samples.
    const double framePixels = static_cast<double>(rate) * fps.Denominator() / fps.Numerator() / view_.FramesPerPixel();
    if (framePixels < kMinGridPixels) return;
    const int h = form_.PicWave->height();
    const QFontMetrics metrics(p.font());
    // Label every frame whose number fits before the next label: every
    // frame, or every 2nd, 5th, 10th, ...
    const int64_t lastFrame = FrameAtMs(SamplesToMs(view_.End(), rate), fps);
    const int labelWidth = metrics.horizontalAdvance(QString::number(lastFrame)) + 4;
    int64_t every = 1;
    for (int64_t decade = 1; decade < (int64_t{1} << 40); decade *= 10) {
        const int64_t steps[] = {decade, 2 * decade, 5 * decade};
        const auto fits = std::find_if(std::begin(steps), std::end(steps),
                                       [&](int64_t k) { return static_cast<double>(k) * framePixels >= labelWidth; });
        if (fits != std::end(steps)) {
            every = *fits;
            break;
        }
    }
    p.setPen(QPen(Colour(kGridRgb, 110), 1.0));
    const QColor text = Colour(kGridRgb);
    for (int64_t n = FrameAtMs(SamplesToMs(view_.Start(), rate), fps);; ++n) {
        const int64_t sample = FrameStartSample(n, fps, rate);
        if (sample > view_.End()) break;
        const double x = std::floor(view_.PixelOf(sample)) + 0.5;
        if (x < -1.0) continue;
        p.setPen(QPen(Colour(kGridRgb, 110), 1.0));
        p.drawLine(QPointF(x, 0), QPointF(x, h));
        if (n % every == 0) {
            p.setPen(text);
            p.drawText(QPointF(x + 2, metrics.ascent() + 1), QString::number(n));
        }
    }
}

} // namespace zv
