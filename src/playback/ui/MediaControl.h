#pragma once
// MMControl1: the media control. A bar of transport buttons (Prev, Play,
// Pause, Stop, Back, Step, Next; no Record, no Eject) over a MediaDevice,
// with its own timer that raises StatusUpdate over and over while a file is
// open: just after each animation frame begins to be heard while a play
// sounds (about every 20 ms without a frame rate, and for the frame of a
// Step or Back), every 200 ms otherwise. The logic
// lives in MediaTransport (see there for what each button does); this widget
// wires buttons and timer to it.
// All times are 32-bit signed milliseconds.
//
// Signals:
//   StatusUpdate(): the timer's tick, and after every button
//   StepClick():    the Step button was pressed, raised before the control
//                   moves, so a handler can still hand it a new frame rate
//                   (SetFrameRate) for this very step
//   BackClick():    the same for the Back button
// Every button handler and the timer catch all errors: none leaves them.
// What the user must hear of comes out as Notice(message), once each: the
// sound output that cannot start, or fails while playing (the transport is
// then stopped where the sound broke off), and, the first time something
// sounds, a device that has no sound output and plays in silence.
#include <QWidget>
#include <cstdint>
#include <string>

#include "playback/MediaTransport.h"

class QAbstractButton;
class QTimer;

namespace zv {

class MediaDevice;

class MediaControl : public QWidget {
    Q_OBJECT
public:
    // The modes Mode() reports, by their short names.
    static constexpr TransportMode ModeNotReady = TransportMode::NotReady;
    static constexpr TransportMode ModeStop = TransportMode::Stop;
    static constexpr TransportMode ModePlay = TransportMode::Play;
    static constexpr TransportMode ModePause = TransportMode::Pause;

    // The texts of Notice. A start failure is followed by the device's reason.
    static constexpr const char* kMsgOutputWontStart = "Couldn't start the sound output: ";
    static constexpr const char* kMsgOutputFailed = "Playback stopped: ";   // + the device's words + "."
    // When the play goes on in silence after the loss (the device's words between).
    static constexpr const char* kMsgOutputLost = "The sound output was lost (";
    static constexpr const char* kMsgOutputLostEnd =
        "). Zorvane goes on in silence and tries the sound output again at the next Play.";
    static constexpr const char* kMsgNoOutput =
        "No sound output is available, so Zorvane plays in silence. The times still count.";

    // Status update intervals (ms): while sounding, and otherwise.
    static constexpr int kSoundingIntervalMs = 20;
    static constexpr int kIdleIntervalMs = 200;
    // While a play sounds at a known frame rate, each status update falls
    // this long after the next animation frame begins to be heard (so every
    // frame is shown once, and no update is spent between two of the same
    // frame), but within these bounds (ms).
    static constexpr int kFrameLagMs = 2;
    static constexpr int kShortestIntervalMs = 5;
    static constexpr int kLongestSoundingIntervalMs = 50;

    // `device` is not owned and must outlive the control.
    explicit MediaControl(MediaDevice& device, QWidget* parent = nullptr);

    void SetFileName(const std::string& path);
    // "Open" opens FileName (finished on return; throws DeviceError with the
    // device's reason when it cannot, and whatever was open stays open);
    // "Close" closes (harmless when nothing is open). Case does not matter;
    // any other command throws DeviceError.
    void SetCommand(const std::string& command);
    int32_t Length() const;     // ms; 0 with nothing open
    int32_t Position() const;   // ms being heard now; 0 with nothing open
    int64_t PositionSample() const;   // the same as a sample frame of the file
    TransportMode Mode() const;       // ModeNotReady with nothing open
    void SetFrom(int32_t ms);   // play-range start, read back as set
    int32_t From() const;
    void SetTo(int32_t ms);     // play-range end, read back as set
    int32_t To() const;
    // True while sound is still on its way to the listener (a play, or the
    // frame of a Step or Back, not yet heard to its end).
    bool IsSounding() const { return transport_.IsSounding(); }
    // The frame rate Step and Back move by (animation frames per second).
    void SetFrameRate(FrameRate rate);

    // Goes to animation frame `frame` and plays it once, as Step does,
    // then shows the new state (MediaTransport::HearFrame).
    void PlayFrame(int64_t frame);

    // The button with this caption ("Prev", "Play", ...), or null.
    QAbstractButton* Button(const QString& caption) const;

    // The transport under the buttons, for the window's own ways of moving
    // and sounding (clicks, scrubs and keys on the waveform).
    MediaTransport& Transport() { return transport_; }
    // Shows such a change at once: the buttons, the status timer's pace and
    // one status update (as after a button press). Never throws.
    void TransportChanged();

signals:
    void StatusUpdate();
    void StepClick();
    void BackClick();
    // Something the user is to be told; the window decides how.
    void Notice(const QString& message);

private:
    void PressPrev();
    void PressPlay();
    void PressPause();
    void PressStop();
    void PressBack();
    void PressStep();
    void PressNext();
    void Tick();
    // Runs a button's action, then shows the new state at once.
    template <typename Action> void Press(Action action);
    void ShowState();
    // Emits Notice for what went wrong since the last call: `startFailure`
    // (the reason the output did not start), a failure while playing, or,
    // once, a device without sound output.
    void TellProblems(const std::string& startFailure);

    MediaTransport transport_;
    QTimer* timer_ = nullptr;
    bool silenceTold_ = false;
    QAbstractButton* prev_ = nullptr;
    QAbstractButton* play_ = nullptr;
    QAbstractButton* pause_ = nullptr;
    QAbstractButton* stop_ = nullptr;
    QAbstractButton* back_ = nullptr;
    QAbstractButton* step_ = nullptr;
    QAbstractButton* next_ = nullptr;
};

} // namespace zv
