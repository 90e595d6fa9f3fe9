#pragma once
// The volume slider's Qt side: sets the slider up from the speaker volume
// control and writes the slider's changes to it, one write per event-loop
// pass at most (each write waits for the sound server; the latest value wins).
//
// Form1 owns one and calls:
//   SetupVolume(*VolSlider)   once at start-up (Form_Load);
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

    // Opens the mixer; on finding the volume control gives `slider` its range
    // and the current volume as its value. Otherwise the slider keeps its
    // settings ("Couldn't open the mixer." is shown through `messages` when
    // the mixer could not be opened).
    void SetupVolume(QSlider& slider);

    // The slider's value may have changed: queues a write of it, done at the
    // next pass of the event loop. Does nothing without a volume control.
    void SliderMoved(const QSlider& slider);

    // The same for a value in hand.
    void SliderMoved(int value);

    const SpeakerVolume& Volume() const { return volume_; }

private:
    void WritePendingVolume();

    SpeakerVolume volume_;
    MessageBox& messages_;
};

} // namespace zv
