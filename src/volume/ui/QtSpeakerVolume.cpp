#include "volume/ui/QtSpeakerVolume.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QSlider>

#include "common/MessageBox.h"
#include "common/ui/LogCategories.h"
#include "volume/Mixer.h"

namespace zv {

QtSpeakerVolume::QtSpeakerVolume(Mixer& mixer, MessageBox& messages, QObject* parent)
    : QObject(parent), mixer_(mixer), volume_(mixer), messages_(messages) {}

void QtSpeakerVolume::SetupVolume(QSlider& slider) {
    // A mixer still opening in the background is waited for on the event
    // loop, so the window shows meanwhile; after kMaxReadyChecks the set-up
    // goes ahead and opens it there and then.
    if (!mixer_.Ready() && readyChecks_ < kMaxReadyChecks) {
        ++readyChecks_;
        QTimer::singleShot(kReadyCheckMs, this, [this, target = QPointer<QSlider>(&slider)] {
            if (target) SetupVolume(*target);
        });
        return;
    }
    try {
        const SpeakerVolume::Setup setup = volume_.SetupVolume();
        ShowReport(messages_, setup.failure);
        if (const auto& settings = setup.slider) {
            slider.setRange(settings->minimum, settings->maximum);
            slider.setValue(settings->value);
        }
    } catch (...) {
        // Runs inside Form_Load: the program goes on without volume control.
        LogCurrentError(LogMixer(), "Setting up the volume slider");
    }
}

void QtSpeakerVolume::SliderMoved(const QSlider& slider) { SliderMoved(slider.value()); }

void QtSpeakerVolume::SliderMoved(int value) {
    // A queued call runs after the events already waiting, so every move of
    // this pass lands in the one write.
    if (volume_.SliderMoved(value))
        QMetaObject::invokeMethod(this, &QtSpeakerVolume::WritePendingVolume, Qt::QueuedConnection);
}

void QtSpeakerVolume::WritePendingVolume() {
    try {
        volume_.WritePendingVolume();
    } catch (...) {
        // A mixer fault never leaves the event loop; the user hears the result.
        LogCurrentError(LogMixer(), "Writing the volume");
    }
}

} // namespace zv
