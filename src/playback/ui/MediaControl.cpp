#include "playback/ui/MediaControl.h"

#include <QHBoxLayout>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cctype>

#include "common/Errors.h"
#include "common/ui/LogCategories.h"
#include "playback/ui/MediaGlyph.h"

namespace zv {

namespace {

bool SameCommand(const std::string& a, const char* b) {
    const std::string other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

MediaControl::MediaControl(MediaDevice& device, QWidget* parent)
    : QWidget(parent), transport_(device), timer_(new QTimer(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto make = [&](const char* caption, MediaGlyph glyph, void (MediaControl::*slot)()) {
        auto* button = new QToolButton(this);
        const QString text = QString::fromLatin1(caption);
        button->setObjectName(text);
        button->setText(text);
        button->setToolTip(text);
        button->setAccessibleName(text);
        button->setIcon(MediaGlyphIcon(glyph));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setMinimumSize(1, 1);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QToolButton::clicked, this, slot);
        layout->addWidget(button);
        return button;
    };
    prev_ = make("Prev", MediaGlyph::Prev, &MediaControl::PressPrev);
    play_ = make("Play", MediaGlyph::Play, &MediaControl::PressPlay);
    pause_ = make("Pause", MediaGlyph::Pause, &MediaControl::PressPause);
    stop_ = make("Stop", MediaGlyph::Stop, &MediaControl::PressStop);
    back_ = make("Back", MediaGlyph::Back, &MediaControl::PressBack);
    step_ = make("Step", MediaGlyph::Step, &MediaControl::PressStep);
    next_ = make("Next", MediaGlyph::Next, &MediaControl::PressNext);
    setMinimumSize(1, 1);

    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &MediaControl::Tick);
    ShowState();
}

void MediaControl::SetFileName(const std::string& path) { transport_.SetFileName(path); }

void MediaControl::SetCommand(const std::string& command) {
    if (SameCommand(command, "Open")) {
        transport_.Open();
    } else if (SameCommand(command, "Close")) {
        transport_.Close();
    } else {
        throw DeviceError("Unknown command: " + command);
    }
    ShowState();
}

int32_t MediaControl::Length() const { return transport_.Length(); }
int32_t MediaControl::Position() const { return transport_.Position(); }
int64_t MediaControl::PositionSample() const { return transport_.PositionSample(); }
TransportMode MediaControl::Mode() const { return transport_.Mode(); }
void MediaControl::SetFrom(int32_t ms) { transport_.SetFrom(ms); }
int32_t MediaControl::From() const { return transport_.From(); }
void MediaControl::SetTo(int32_t ms) { transport_.SetTo(ms); }
int32_t MediaControl::To() const { return transport_.To(); }
void MediaControl::SetFrameRate(FrameRate rate) { transport_.SetFrameRate(rate); }

QAbstractButton* MediaControl::Button(const QString& caption) const {
    return findChild<QAbstractButton*>(caption, Qt::FindDirectChildrenOnly);
}

template <typename Action> void MediaControl::Press(Action action) {
    std::string startFailure;
    try {
        action();
    } catch (const DeviceError& e) {
        // The output did not start: the transport stays stopped, silent.
        startFailure = e.what();
    } catch (...) {
        // Anything else leaves the transport as the action left it; the
        // buttons and readouts show that below.
        LogCurrentError(LogPlayback(), "A transport button");
    }
    try {
        ShowState();
        if (transport_.Mode() != ModeNotReady) emit StatusUpdate();
        TellProblems(startFailure);
    } catch (...) {
        LogCurrentError(LogPlayback(), "Showing the transport's state");
    }
}

void MediaControl::TellProblems(const std::string& startFailure) {
    const std::string lost = transport_.TakeOutputFailure();
    if (!startFailure.empty()) {
        qCInfo(LogPlayback).noquote() << "The sound output did not start:" << QString::fromStdString(startFailure);
        emit Notice(QString::fromStdString(kMsgOutputWontStart + startFailure));
    } else if (!lost.empty()) {
        qCInfo(LogPlayback).noquote() << "The sound output failed while playing:" << QString::fromStdString(lost);
        if (transport_.Mode() == ModePlay || transport_.IsSounding())
            emit Notice(QString::fromStdString(kMsgOutputLost + lost + kMsgOutputLostEnd));
        else
            emit Notice(QString::fromStdString(kMsgOutputFailed + lost + "."));
    }
    if (!silenceTold_ && transport_.IsSounding() && !transport_.HasSoundOutput()) {
        silenceTold_ = true;
        emit Notice(QString::fromLatin1(kMsgNoOutput));
    }
}

void MediaControl::TransportChanged() {
    Press([] {});
}

void MediaControl::PressPrev() { Press([this] { transport_.Prev(); }); }
void MediaControl::PressPlay() { Press([this] { transport_.Play(); }); }
void MediaControl::PressPause() { Press([this] { transport_.Pause(); }); }
void MediaControl::PressStop() { Press([this] { transport_.Stop(); }); }
void MediaControl::PressNext() { Press([this] { transport_.Next(); }); }

void MediaControl::PressBack() {
    Press([this] {
        emit BackClick();
        transport_.Back();
    });
}

void MediaControl::PressStep() {
    Press([this] {
        emit StepClick();
        transport_.Step();
    });
}

void MediaControl::PlayFrame(int64_t frame) {
    Press([this, frame] { transport_.HearFrame(frame); });
}

void MediaControl::Tick() {
    try {
        transport_.Update();
        ShowState();
        if (transport_.Mode() != ModeNotReady) emit StatusUpdate();
        TellProblems({});
    } catch (...) {
        LogCurrentError(LogPlayback(), "The status update");
    }
}

// Enables the buttons the mode allows and paces the status updates.
void MediaControl::ShowState() {
    const MediaTransport::Buttons enabled = transport_.EnabledButtons();
    prev_->setEnabled(enabled.prev);
    play_->setEnabled(enabled.play);
    pause_->setEnabled(enabled.pause);
    stop_->setEnabled(enabled.stop);
    back_->setEnabled(enabled.back);
    step_->setEnabled(enabled.step);
    next_->setEnabled(enabled.next);

    if (transport_.Mode() == ModeNotReady) {
        timer_->stop();
        return;
    }
    int interval = transport_.IsSounding() ? kSoundingIntervalMs : kIdleIntervalMs;
    if (interval == kSoundingIntervalMs)
        if (const std::optional<int64_t> ms = transport_.MsToNextFrame())
            interval = static_cast<int>(
                std::clamp<int64_t>(*ms + kFrameLagMs, kShortestIntervalMs, kLongestSoundingIntervalMs));
    if (!timer_->isActive() || timer_->interval() != interval) timer_->start(interval);
}

} // namespace zv
