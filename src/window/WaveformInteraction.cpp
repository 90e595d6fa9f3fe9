#include "window/WaveformInteraction.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/FrameTime.h"
#include "common/ui/LogCategories.h"
#include "playback/MediaTransport.h"
#include "playback/ui/MediaControl.h"
#include "session/Session.h"
#include "sound/SoundData.h"
#include "analysis/SpectrogramMaking.h"
#include "spectrum/Spectrogram.h"
#include "waveview/layers/BeatsLayer.h"
#include "waveview/layers/FrameGridLayer.h"
#include "waveview/layers/MarksLayer.h"
#include "waveview/layers/PlayLineLayer.h"
#include "waveview/layers/SelectionLayer.h"
#include "waveview/layers/SpectrogramLayer.h"
#include "waveview/layers/WaveformLayer.h"
#include "document/SoundDocument.h"
#include "window/CharacterMenus.h"
#include "window/JobRunner.h"
#include "window/PainterCanvas.h"
#include "window/PictureBox.h"
#include "window/WaveKeys.h"

namespace zv {

namespace {

constexpr const char* kShowPeaksKey = "view/showPeaks";
constexpr const char* kSpectrogramKey = "view/spectrogram";
// One wheel notch (120 eighths of a degree) scrolls an eighth of the box,
// and with Ctrl zooms by the square root of 2 (two notches: twice as close).
constexpr double kNotch = 120.0;
constexpr double kScrollPerNotch = 1.0 / 8.0;
constexpr double kZoomPerNotch = 1.4142135623730951;
// How often a waiting scrub frame checks whether the one sounding is heard.
constexpr int kScrubPollMs = 2;

QSettings Settings() { return QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")); }

int32_t ToLong(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

WaveformInteraction::WaveformInteraction(QWidget& window, PictureBox& box, MediaControl& control, SoundData& sound,
                                         const SoundDocument& document, QMenu& channelsMenu, Session& session,
                                         WaveformHost& host)
    : QObject(&window), window_(window), box_(box), control_(control), sound_(sound), document_(document),
      channelsMenu_(channelsMenu), session_(session), host_(host),
      spectrumJobs_(std::make_unique<JobRunner>(&window)), scrubber_(control.Transport()), keys_(new WaveKeys(this)) {
    // The box's layers, bottom first: one line each.
    waveform_ = &layers_.Emplace<WaveformLayer>(sound_);
    spectrogram_ = &layers_.Emplace<SpectrogramLayer>(spectra_, [this](const SpectrogramKey& k) { WantSpectrogram(k); });
    // The dialogue's lanes, each character's shown once its tracks have
    // items; the grid runs through them.
    characterLanesIndex_ = layers_.size();
    characterLanes_ = &layers_.Emplace<CharacterLanesLayer>(document_);
    layers_.Emplace<FrameGridLayer>();
    layers_.Emplace<BeatsLayer>(document_);
    layers_.Emplace<SelectionLayer>();
    layers_.Emplace<MarksLayer>(document_.Marks());
    // The play line over everything: a mark at the frame being heard
    // must not hide where the sound is.
    layers_.Emplace<PlayLineLayer>();

    showPeaks_ = RememberedShowPeaks();
    showSpectrogram_ = RememberedShowSpectrogram();
    spectrogram_->SetOn(showSpectrogram_);
    box_.installEventFilter(this);
    box_.AddOverlay([this](QPainter& p) { Paint(p); });
    window_.installEventFilter(keys_);
    FillChannelsMenu();

    scrubTimer_.setTimerType(Qt::PreciseTimer);
    scrubTimer_.setInterval(kScrubPollMs);
    connect(&scrubTimer_, &QTimer::timeout, this, [this] {
        try {
            if (scrubber_.Poll()) control_.TransportChanged();
        } catch (...) {
            LogCurrentError(LogPlayback(), "Sounding a scrubbed frame");
        }
        if (!scrubber_.Waiting()) scrubTimer_.stop();
    });
    connect(&control_, &MediaControl::StatusUpdate, this, [this] {
        try {
            StatusUpdated();
        } catch (...) {
            LogCurrentError(LogWindow(), "Following the position on the waveform");
        }
    });

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

bool WaveformInteraction::RememberedShowSpectrogram() {
    return Settings().value(kSpectrogramKey, false).toBool();
}

bool WaveformInteraction::Loaded() const {
    const SoundData& sound = sound_;
    return sound.WavLoaded && sound.NumSamples > 0 && sound.WavFormat.nSamplesPerSec > 0;
}

int32_t WaveformInteraction::SampleRate() const { return sound_.WavFormat.nSamplesPerSec; }

int64_t WaveformInteraction::PositionSample() const {
    const int32_t ms = control_.Position();
    const int64_t sample = control_.PositionSample();
    // The transport's own sample, unless the two disagree (played on meanwhile).
    if (std::llabs(SamplesToMs(sample, SampleRate()) - ms) > 1) return MsToSamples(ms, SampleRate());
    return sample;
}

void WaveformInteraction::SoundLoaded() {
    scrubber_.Release();
    scrubTimer_.stop();
    panning_ = false;
    followed_ = -1;
    view_.Reset(sound_.NumSamples);
    DropSpectra();
    channels_ = {};
    waveform_->SetChannels(channels_);
    FillChannelsMenu();
    box_.update();
}

void WaveformInteraction::PeaksMade(PeakSummary&& summary) {
    // An empty summary comes before the record changes: the spectrogram
    // job reading the record must stop first.
    if (!summary.Ready()) DropSpectra();
    const bool shown = showPeaks_ && summary.Ready();
    peaks_ = std::move(summary);
    if (shown) Redraw();
}

void WaveformInteraction::SyncView() {
    view_.SetWidth(box_.width());
    if (!sound_.WavLoaded) return;
    sound_.ViewStart = ToLong(view_.Start());
    sound_.ViewEnd = ToLong(view_.End());
    session_.SetView(view_.Start(), view_.End());
}

LayerScene WaveformInteraction::Scene() const {
    LayerScene scene{view_};
    scene.height = box_.height();
    scene.hiddenBelow = HiddenBelow();
    scene.sampleRate = SampleRate();
    scene.fps = session_.Rate();
    scene.transportReady = Loaded() && control_.Mode() != MediaControl::ModeNotReady;
    if (scene.transportReady) {
        scene.positionSample = PositionSample();
        scene.selStartSample = session_.SelectionStart();
        scene.selEndSample = session_.SelectionEnd();
    }
    return scene;
}

void WaveformInteraction::DrawPicture(float width, float height) {
    SyncView();
    waveform_->SetPeaks(showPeaks_ ? &PeaksForDrawing() : nullptr);
    LayerScene scene = Scene();
    scene.pictureWidth = width;
    scene.pictureHeight = height;   // the stack takes the lanes off
    drawnLanes_ = layers_.LanesHeight();
    layers_.DrawPicture(box_, scene);
}

void WaveformInteraction::TracksChanged() {
    if (layers_.LanesHeight() != drawnLanes_ && Loaded()) Redraw();
    else box_.update();
}

LayerArea WaveformInteraction::CharacterLanesArea() const {
    const LayerStack::Layout layout = layers_.LayOut(box_.height(), HiddenBelow());
    return layout.lanes[characterLanesIndex_];
}

std::optional<CharacterLanesLayer::LaneRow> WaveformInteraction::LaneRowAt(double y) const {
    if (!Loaded()) return std::nullopt;
    return characterLanes_->RowAt(CharacterLanesArea(), y);
}

std::optional<WaveformInteraction::EditableLane> WaveformInteraction::EditableLaneAt(double y) const {
    if (!laneEditing_) return std::nullopt;
    const auto row = LaneRowAt(y);
    if (!row) return std::nullopt;
    if (row->row == CharacterLanesLayer::Row::Words) return EditableLane{LaneEditing::Lane::Words, row->character};
    if (row->row == CharacterLanesLayer::Row::Phonemes)
        return EditableLane{LaneEditing::Lane::Phonemes, row->character};
    return std::nullopt;
}

bool WaveformInteraction::ToggleTagAt(double y) {
    const auto row = LaneRowAt(y);
    if (!row || row->row != CharacterLanesLayer::Row::Tag) return false;
    characterLanes_->ToggleCollapsed(row->character);
    TracksChanged();
    return true;
}

bool WaveformInteraction::CharacterMenuAt(QPointF at, const QPoint& where) {
    if (!characterMenus_) return false;
    const auto row = LaneRowAt(at.y());
    if (!row) return false;
    if (row->row == CharacterLanesLayer::Row::Tag) {
        characterMenus_->TagMenu(row->character, where);
        return true;
    }
    if (row->row != CharacterLanesLayer::Row::Words) return false;
    const Track* words = document_.Find(CharacterList::WordsTrack(row->character));
    if (!words) return false;
    view_.SetWidth(box_.width());
    const auto grip = LaneEditing::GripAt(words->Items(), Scene(), at.x());
    if (!grip) return false;
    characterMenus_->WordMenu(row->character, grip->index, where);
    return true;
}

void WaveformInteraction::Redraw() {
    try {
        host_.DrawWaves();
    } catch (...) {
        // As after an open: the picture stays as far as it got.
        LogCurrentError(LogSound(), "Drawing the waveform's view");
    }
    box_.update();
}

void WaveformInteraction::ZoomIn() {
    if (!Loaded()) return;
    view_.SetWidth(box_.width());
    if (control_.Mode() == MediaControl::ModeNotReady) view_.ZoomIn();
    else view_.ZoomKeeping(2.0, PositionSample());
    Redraw();
}

void WaveformInteraction::ZoomOut() {
    if (!Loaded()) return;
    view_.SetWidth(box_.width());
    if (control_.Mode() == MediaControl::ModeNotReady) view_.ZoomOut();
    else view_.ZoomKeeping(0.5, PositionSample());
    Redraw();
}

void WaveformInteraction::ZoomToSelection() {
    if (!Loaded()) return;
    const int64_t start = session_.SelectionStart(), end = session_.SelectionEnd();
    const int64_t from = std::min(start, end), to = std::max(start, end);
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

void WaveformInteraction::SetShowSpectrogram(bool on) {
    if (on == showSpectrogram_) return;
    showSpectrogram_ = on;
    spectrogram_->SetOn(on);
    Settings().setValue(kSpectrogramKey, on);
    box_.update();
}

void WaveformInteraction::DropSpectra() {
    if (spectrumJob_ != 0) spectrumJobs_->Abandon(spectrumJob_);
    spectrumJob_ = 0;
    ++spectrumTicket_;
    spectra_.Clear();
    failedKey_ = {};
}

void WaveformInteraction::WantSpectrogram(const SpectrogramKey& key) {
    if (!Loaded() || key == failedKey_) return;
    if (spectrumJob_ != 0) {
        if (key == spectrumKey_) return;
        // A view left before its image came: that image is not wanted now.
        // The job stops within a few columns (well under a millisecond).
        spectrumJobs_->Abandon(spectrumJob_);
        spectrumJob_ = 0;
    }
    const uint64_t ticket = ++spectrumTicket_;
    const SoundData* record = &sound_;   // DropSpectra stops the job before the record changes
    const SpectrogramRequest request = key.Request();
    spectrumKey_ = key;
    spectrumJob_ = spectrumJobs_->StartAnalysis<SpectrogramMaking>(
        std::make_unique<SpectrogramMaking>(*record, request),
        [this, key, ticket](SpectrogramMaking& made) {
            if (ticket != spectrumTicket_) return;   // dropped meanwhile
            spectrumJob_ = 0;
            spectra_.Put(key, std::move(made.Image()));
            box_.update();
        },
        [this, key, ticket](JobOutcome outcome, const std::string& reason) {
            if (ticket != spectrumTicket_) return;
            spectrumJob_ = 0;
            if (outcome != JobOutcome::Failed) return;
            failedKey_ = key;
            qCWarning(LogSound, "Making the spectrogram: %s", reason.c_str());
        });
}

void WaveformInteraction::SetChannels(DrawnChannels channels) {
    if (channels == channels_) return;
    channels_ = channels;
    waveform_->SetChannels(channels_);
    FillChannelsMenu();
    Redraw();
}

// View > Channels: the open sound's channels. One or two are what is drawn
// and nothing to choose; of more, the upper (red) and the lower (green)
// trace each show the channel checked for it.
void WaveformInteraction::FillChannelsMenu() {
    QMenu& menu = channelsMenu_;
    menu.clear();
    const int count = sound_.WavLoaded ? sound_.WavFormat.nChannels : 0;
    menu.setEnabled(count > 0);
    if (count <= 2) {
        for (int c = 0; c < count; ++c) {
            QAction* a = menu.addAction(QStringLiteral("Channel %1").arg(c + 1));
            a->setCheckable(true);
            a->setChecked(true);
            a->setEnabled(false);
        }
        return;
    }
    const auto group = [&](const QString& caption, int chosen, bool upper) {
        auto* exclusive = new QActionGroup(&menu);
        for (int c = 0; c < count; ++c) {
            QAction* a = menu.addAction(caption.arg(c + 1));
            a->setCheckable(true);
            a->setChecked(c == chosen);
            exclusive->addAction(a);
            connect(a, &QAction::triggered, this, [this, c, upper] {
                try {
                    DrawnChannels next = channels_;
                    (upper ? next.upper : next.lower) = c;
                    SetChannels(next);
                } catch (...) {
                    LogCurrentError(LogWindow(), "Choosing the channels drawn");
                }
            });
        }
    };
    group(QStringLiteral("Upper: Channel %1"), channels_.upper, true);
    menu.addSeparator();
    group(QStringLiteral("Lower: Channel %1"), channels_.lower, false);
}

// ---- Keys ----

void WaveformInteraction::PlayOrPause() {
    MediaControl& control = control_;
    const bool playing = control.Mode() == MediaControl::ModePlay;
    if (QAbstractButton* b = control.Button(playing ? QStringLiteral("Pause") : QStringLiteral("Play"))) b->click();
}

void WaveformInteraction::GoToSelectionStart() {
    MediaControl& control = control_;
    if (control.Mode() == MediaControl::ModeNotReady) return;
    control.SetFrom(session_.SelectionStartMs());
    control.Transport().Prev();
    control.TransportChanged();
}

void WaveformInteraction::GoToSelectionEnd() {
    MediaControl& control = control_;
    if (control.Mode() == MediaControl::ModeNotReady) return;
    control.SetTo(session_.SelectionEndMs());
    control.Transport().Next();
    control.TransportChanged();
}

// As if the slider had been moved to the frame being heard: the slider's
// own rules apply (it stays in its range, the start stays before the end).
void WaveformInteraction::SetSelectionStartHere() {
    if (control_.Mode() == MediaControl::ModeNotReady) return;
    const FrameRate rate = session_.Rate();
    if (!rate.IsPositive()) return;
    host_.MoveStartSlider(ToLong(FrameAtMs(control_.Position(), rate)));
}

void WaveformInteraction::SetSelectionEndHere() {
    if (control_.Mode() == MediaControl::ModeNotReady) return;
    const FrameRate rate = session_.Rate();
    if (!rate.IsPositive()) return;
    host_.MoveEndSlider(ToLong(FrameAtMs(control_.Position(), rate)));
}

// ---- Mouse and wheel ----

int64_t WaveformInteraction::FrameUnder(double x) {
    if (!Loaded()) return -1;
    const FrameRate rate = session_.Rate();
    if (!rate.IsPositive()) return -1;
    view_.SetWidth(box_.width());
    const int64_t sample = view_.FrameAt(x);
    return FrameAtMs(SamplesToMs(sample, SampleRate()), rate);
}

bool WaveformInteraction::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &box_) return QObject::eventFilter(watched, event);
    try {
        switch (event->type()) {
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (!Loaded()) return false;
            const QPoint delta = wheel->angleDelta();
            const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / kNotch;
            view_.SetWidth(box_.width());
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
                if (ToggleTagAt(mouse->position().y())) return true;
                if (const auto lane = EditableLaneAt(mouse->position().y())) {
                    view_.SetWidth(box_.width());
                    laneEditing_->Press(lane->lane, Scene(), mouse->position().x(), lane->character);
                    return true;   // the lanes do not scrub
                }
                const int64_t frame = FrameUnder(mouse->position().x());
                if (frame >= 0) {
                    scrubber_.Press(frame);
                    control_.TransportChanged();
                }
            }
            return false;   // the box still reports the press
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (panning_ && (mouse->buttons() & Qt::MiddleButton)) {
                view_.MoveStartTo(panStart_ - std::llround((mouse->position().x() - panX_) * view_.FramesPerPixel()));
                Redraw();
            } else if (laneEditing_ && laneEditing_->Active() && (mouse->buttons() & Qt::LeftButton)) {
                view_.SetWidth(box_.width());
                laneEditing_->Move(Scene(), mouse->position().x(), mouse->modifiers() & Qt::ShiftModifier);
                return true;
            } else if (scrubber_.Active() && (mouse->buttons() & Qt::LeftButton)) {
                const int64_t frame = FrameUnder(mouse->position().x());
                const int64_t before = scrubber_.Current();
                if (frame >= 0) scrubber_.Move(frame);
                if (scrubber_.Current() != before) control_.TransportChanged();
                if (scrubber_.Waiting() && !scrubTimer_.isActive()) scrubTimer_.start();
            }
            return false;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::MiddleButton) panning_ = false;
            if (mouse->button() == Qt::LeftButton && laneEditing_ && laneEditing_->Active()) {
                laneEditing_->Release();
                return true;
            }
            if (mouse->button() == Qt::LeftButton && scrubber_.Active()) {
                scrubber_.Release();
                scrubTimer_.stop();
                control_.TransportChanged();
            }
            return false;
        }
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return false;
            // The second click of a quick pair on a tag is a click of its own.
            if (ToggleTagAt(mouse->position().y())) return true;
            const auto lane = EditableLaneAt(mouse->position().y());
            if (!lane) return false;
            view_.SetWidth(box_.width());
            laneEditing_->DoubleClick(lane->lane, Scene(), mouse->position().x(), lane->character);
            return true;
        }
        case QEvent::ContextMenu: {
            auto* menu = static_cast<QContextMenuEvent*>(event);
            if (!Loaded()) return false;
            if (CharacterMenuAt(QPointF(menu->pos()), menu->globalPos())) return true;
            view_.SetWidth(box_.width());
            host_.ContextMenu(view_.FrameAt(menu->pos().x()), menu->globalPos());
            return true;
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

void WaveformInteraction::StatusUpdated() {
    if (!Loaded()) return;
    PictureBox& box = box_;
    view_.SetWidth(box.width());
    const int64_t position = PositionSample();
    const bool moved = position != followed_;
    followed_ = position;
    const double x = std::floor(view_.PixelOf(position));
    if (moved && !view_.Shows(position)) {
        if (control_.Mode() == MediaControl::ModePlay) {
            // Playing across the right edge of a zoomed view turns the
            // page: the line goes on from the left edge. A play heard
            // outside the view (scrolled away from) leaves the view alone.
            if (shownPlayX_ >= 0 && shownPlayX_ < view_.Width() && x >= view_.Width()) {
                view_.MoveStartTo(position);
                Redraw();
                return;
            }
        } else if (view_.ScrollToShow(position)) {
            // Step, Back, Home, End, a mark gone to: the view comes along.
            Redraw();
            return;
        }
    }
    if (session_.SelectionStart() != shownSelStart_ || session_.SelectionEnd() != shownSelEnd_ ||
        !(session_.Rate() == shownRate_)) {
        box.update();
        return;
    }
    if (x == shownPlayX_) return;
    // Only the strips under the old and the new line.
    box.update(QRect(static_cast<int>(std::clamp(shownPlayX_, -4.0, 1e6)) - 2, 0, 5, box.height()));
    box.update(QRect(static_cast<int>(std::clamp(x, -4.0, 1e6)) - 2, 0, 5, box.height()));
}

void WaveformInteraction::Paint(QPainter& p) {
    shownSelStart_ = session_.SelectionStart();
    shownSelEnd_ = session_.SelectionEnd();
    shownRate_ = session_.Rate();
    shownPlayX_ = -1;
    if (!Loaded()) return;
    view_.SetWidth(box_.width());
    const LayerScene scene = Scene();
    if (scene.transportReady) shownPlayX_ = std::floor(view_.PixelOf(scene.positionSample));
    PainterCanvas canvas(p);
    layers_.DrawScreen(canvas, scene);
}

} // namespace zv
