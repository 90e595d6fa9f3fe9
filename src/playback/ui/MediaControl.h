#pragma once
// MMControl1: the media control. A bar of transport buttons (Prev, Play,
// Pause, Stop, Back, Step, Next; no Record, no Eject) over a MediaDevice,
// with its own timer that raises the status update (event 37) over and over
// while a file is open: about every 20 ms while it sounds, every 200 ms
// otherwise. The logic lives in MediaTransport (see there for what each
// button does); this widget wires buttons and timer to it.
// All times are 32-bit signed milliseconds.
//
// Events of the original control and the signals standing for them:
//   event 37 -> StatusUpdate()
//   event 13 -> StepClick(): the Step button was pressed, raised before the
//               control moves, so a handler can still hand it a new frame
//               rate (SetFrameRate) for this very step
//   event 16 -> BackClick(): the same for the Back button
// Every button handler and the timer catch all errors: none leaves them.
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
    // MCI mode values reported by Mode().
    enum : int32_t { ModeNotReady = MediaTransport::ModeNotReady, ModeStop = MediaTransport::ModeStop,
                     ModePlay = MediaTransport::ModePlay, ModeRecord = MediaTransport::ModeRecord,
                     ModeSeek = MediaTransport::ModeSeek, ModePause = MediaTransport::ModePause,
                     ModeOpen = MediaTransport::ModeOpen };

    // Status update intervals (ms): while sounding, and otherwise.
    static constexpr int kSoundingIntervalMs = 20;
    static constexpr int kIdleIntervalMs = 200;

    // `device` is not owned and must outlive the control.
    explicit MediaControl(MediaDevice& device, QWidget* parent = nullptr);

    void SetDeviceType(const std::string& type);   // "WaveAudio"
    void SetFileName(const std::string& path);
    // "Open" opens FileName (finished on return; throws DeviceError with the
    // device's reason when it cannot, and whatever was open stays open);
    // "Close" closes (harmless when nothing is open). Case does not matter;
    // any other command throws DeviceError.
    void SetCommand(const std::string& command);
    int32_t Length() const;     // ms; 0 with nothing open
    int32_t Position() const;   // ms being heard now; 0 with nothing open
    int32_t Mode() const;       // ModeNotReady with nothing open
    void SetFrom(int32_t ms);   // play-range start, read back as set
    int32_t From() const;
    void SetTo(int32_t ms);     // play-range end, read back as set
    int32_t To() const;
    // The frame rate Step and Back move by (animation frames per second).
    void SetFrameRate(FrameRate rate);

    // The button with this caption ("Prev", "Play", ...), or null.
    QAbstractButton* Button(const QString& caption) const;

    // The transport under the buttons, for the window's own ways of moving
    // and sounding (clicks, scrubs and keys on the waveform).
    MediaTransport& Transport() { return transport_; }
    // Shows such a change at once: the buttons, the status timer's pace and
    // one status update (as after a button press). Never throws.
    void TransportChanged();

signals:
    void StatusUpdate();        // event 37
    void StepClick();           // stands for event 13
    void BackClick();           // stands for event 16

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

    MediaTransport transport_;
    QTimer* timer_ = nullptr;
    QAbstractButton* prev_ = nullptr;
    QAbstractButton* play_ = nullptr;
    QAbstractButton* pause_ = nullptr;
    QAbstractButton* stop_ = nullptr;
    QAbstractButton* back_ = nullptr;
    QAbstractButton* step_ = nullptr;
    QAbstractButton* next_ = nullptr;
};

} // namespace zv
