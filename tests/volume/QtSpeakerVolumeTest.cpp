// The slider's Qt side: set-up of a real QSlider and one write per event-loop pass.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSlider>
#include <chrono>
#include <thread>

#include "VolumeFakes.h"
#include "volume/ui/QtSpeakerVolume.h"

namespace zv {
namespace {

using test::FakeMessageBox;
using test::FakeMixer;

// The volume slider as the window designs it: 0 to 10, standing at 0.
void DesignTime(QSlider& slider) {
    slider.setRange(0, 10);
    slider.setValue(0);
}

TEST(QtSpeakerVolume, SliderKeepsItsDesignTimeSettingsWithoutAVolumeControl) {
    for (bool opens : {false, true}) {
        FakeMixer mixer;
        mixer.opens = opens;
        mixer.hasControl = false;
        FakeMessageBox messages;
        QtSpeakerVolume volume(mixer, messages);
        QSlider slider(Qt::Horizontal);
        DesignTime(slider);

        volume.SetupVolume(slider);
        EXPECT_EQ(slider.minimum(), 0);
        EXPECT_EQ(slider.maximum(), 10);
        EXPECT_EQ(slider.value(), 0);
        EXPECT_EQ(messages.shown.size(), opens ? 0u : 1u);

        slider.setValue(5);
        volume.SliderMoved(slider);
        QCoreApplication::processEvents();
        EXPECT_TRUE(mixer.writes.empty());
    }
}

// A mixer still being opened in the background.
class LateMixer : public FakeMixer {
public:
    bool ready = false;
    bool Ready() const override { return ready; }
};

TEST(QtSpeakerVolume, SetupWaitsOnTheEventLoopForAMixerStillOpening) {
    for (bool opens : {true, false}) {
        LateMixer mixer;
        mixer.opens = opens;
        mixer.current = 26214;
        FakeMessageBox messages;
        QtSpeakerVolume volume(mixer, messages);
        QSlider slider(Qt::Horizontal);
        DesignTime(slider);

        volume.SetupVolume(slider);   // returns at once
        EXPECT_EQ(slider.maximum(), 10);
        EXPECT_TRUE(messages.shown.empty());
        slider.setValue(5);
        volume.SliderMoved(slider);   // no control yet: nothing is written
        mixer.ready = true;
        for (int i = 0; i < 400 && slider.maximum() == 10 && messages.shown.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(slider.maximum(), opens ? 65535 : 10);
        EXPECT_EQ(slider.value(), opens ? 26214 : 5);
        EXPECT_EQ(messages.shown.size(), opens ? 0u : 1u);
        EXPECT_TRUE(mixer.writes.empty());
    }
}

TEST(QtSpeakerVolume, SetupGivesTheSliderTheRangeAndCurrentVolumeWithoutWriting) {
    FakeMixer mixer;
    mixer.current = 26214;
    FakeMessageBox messages;
    QtSpeakerVolume volume(mixer, messages);
    QSlider slider(Qt::Horizontal);
    DesignTime(slider);

    volume.SetupVolume(slider);
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), 65535);
    EXPECT_EQ(slider.value(), 26214);

    volume.SliderMoved(slider);  // the pointer passes over it
    QCoreApplication::processEvents();
    EXPECT_TRUE(mixer.writes.empty());
}

TEST(QtSpeakerVolume, AtMostOneWritePerEventLoopPassWithTheLatestValue) {
    FakeMixer mixer;
    FakeMessageBox messages;
    QtSpeakerVolume volume(mixer, messages);
    QSlider slider(Qt::Horizontal);
    volume.SetupVolume(slider);

    for (int value : {1000, 2000, 3000}) {
        slider.setValue(value);
        volume.SliderMoved(slider);
    }
    EXPECT_TRUE(mixer.writes.empty());  // nothing before the event loop runs
    QCoreApplication::processEvents();
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{3000}));

    // A key press on the slider changes the value like a drag does.
    slider.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    volume.SliderMoved(slider);
    QCoreApplication::processEvents();
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{3000, 3001}));
}

TEST(QtSpeakerVolume, QueuedWriteIsDroppedWhenTheVolumeObjectGoesAway) {
    FakeMixer mixer;
    FakeMessageBox messages;
    {
        QtSpeakerVolume volume(mixer, messages);
        QSlider slider(Qt::Horizontal);
        volume.SetupVolume(slider);
        volume.SliderMoved(42);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(mixer.writes.empty());
}

} // namespace
} // namespace zv
