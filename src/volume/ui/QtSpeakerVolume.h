#pragma once
// The volume slider's Qt side: sets the slider up from the speaker volume
// control and writes the slider's changes to it, one write per event-loop
// pass at most (each write waits for the sound server; the latest value wins).
//
// Form1 owns one and calls:
//   SetupVolume(*VolSlider)   once at start-up (Form_Load); the slider is
//                             set up then, or once the mixer is ready;
//   SliderMoved(*VolSlider)   on the slider's Scroll (the user changed the
//                             value: drag, keys, track click, wheel) and on
//                             its MouseMove. A move that leaves the value as
//                             it was writes nothing.
// Neither throws: what the mixer raises is logged (zorvane.mixer) and
// passed over.
#include <QObject>

#include "volume/SpeakerVolume.h"

class QSlider;

namespace zv {

class Mixer;
class MessageBox;

class QtSpeakerVolume : public QObject {
    Q_OBJECT
public:
    // `mixer` and `messages` are not owned and must outlive this object.
    QtSpeakerVolume(Mixer& mixer, MessageBox& messages, QObject* parent = nullptr);

    // Once the mixer is ready (Mixer::Ready: at once, or later from the event
    // loop while it is still being opened in the background), opens it; on
    // finding the volume control gives `slider` its range and the current
    // volume as its value. Otherwise the slider keeps its settings
    // ("Couldn't open the mixer." is shown through `messages` when the mixer
    // could not be opened).
    void SetupVolume(QSlider& slider);

    // The slider's value may have changed: queues a write of it, done at the
    // next pass of the event loop. Does nothing without a volume control.
    void SliderMoved(const QSlider& slider);

    // The same for a value in hand.
    void SliderMoved(int value);

    const SpeakerVolume& Volume() const { return volume_; }

private:
    void WritePendingVolume();

    // The mixer's readiness is checked every kReadyCheckMs, at most
    // kMaxReadyChecks times (2 s).
    static constexpr int kReadyCheckMs = 10;
    static constexpr int kMaxReadyChecks = 200;

    Mixer& mixer_;
    SpeakerVolume volume_;
    int readyChecks_ = 0;
    MessageBox& messages_;
};

} // namespace zv
