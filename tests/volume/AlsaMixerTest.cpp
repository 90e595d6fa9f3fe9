// The real mixer against the PulseAudio null sink that scripts/with-sound-stack.sh
// starts (its name in ZORVANE_TEST_SINK); skipped without it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSlider>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <fcntl.h>
#include <regex>
#include <string>
#include <sys/file.h>
#include <unistd.h>

#include "VolumeFakes.h"
#include "volume/Mixer.h"
#include "volume/ui/QtSpeakerVolume.h"

namespace zv {
namespace {

const char* TestSink() { return std::getenv("ZORVANE_TEST_SINK"); }


std::string Run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
        pclose(pipe);
    }
    return output;
}

void SetSinkVolume(const std::string& volume) {
    ASSERT_EQ(std::system(("pactl set-sink-volume " + std::string(TestSink()) + " " + volume).c_str()), 0);
}

// The raw volumes of the sink's channels, e.g. {26214, 26214}.
std::vector<long> SinkVolumes() {
    const std::string text = Run("pactl get-sink-volume " + std::string(TestSink()));
    std::vector<long> volumes;
    static const std::regex channel(R"([a-z-]+: (\d+) /)");
    for (std::sregex_iterator it(text.begin(), text.end(), channel), end; it != end; ++it)
        volumes.push_back(std::stol((*it)[1]));
    return volumes;
}

// Tests that change the sink's volume. ctest runs tests side by side, so each
// holds a lock on the sink's volume (a file in the test run's private runtime
// directory; tests elsewhere that depend on the sink's level may take it too)
// and puts the volume back to 100 % when done.
class AlsaMixerOnSink : public ::testing::Test {
protected:
    void SetUp() override {
        if (TestSink() == nullptr) {
            // In CI the real mixer must have been tried.
            const char* ci = std::getenv("CI");
            if (ci && std::string(ci) == "true") GTEST_FAIL() << "CI=true but there is no PulseAudio null sink";
            GTEST_SKIP() << "no PulseAudio null sink (run under scripts/with-sound-stack.sh)";
        }
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        const std::string lock = std::string(runtime != nullptr ? runtime : "/tmp") + "/zorvane-sink-volume.lock";
        lockFd_ = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(lockFd_, 0);
        ASSERT_EQ(flock(lockFd_, LOCK_EX), 0);
    }
    void TearDown() override {
        if (lockFd_ < 0) return;
        SetSinkVolume("100%");
        close(lockFd_);  // releases the lock
    }

private:
    int lockFd_ = -1;
};

TEST_F(AlsaMixerOnSink, DefaultMixerShowsMasterThroughThePulsePlugin) {
    SetSinkVolume("40%");
    auto mixer = CreateSystemMixer();
    ASSERT_TRUE(mixer->Open());
    int32_t minimum = -1, maximum = -1, current = -1;
    ASSERT_TRUE(mixer->FindVolumeControl(minimum, maximum, current));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 65536);
    EXPECT_EQ(current, 26214);  // 40 % of 65536
}

TEST_F(AlsaMixerOnSink, SetupReadsTheSinksVolumeAndLeavesItAlone) {
    SetSinkVolume("40%");
    auto mixer = CreateSystemMixer();
    test::FakeMessageBox messages;
    QtSpeakerVolume volume(*mixer, messages);
    QSlider slider(Qt::Horizontal);
    slider.setRange(0, 10);

    volume.SetupVolume(slider);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(slider.maximum(), 65536);
    EXPECT_NEAR(slider.value(), 26214, 1);

    // Another program turns the volume up; the pointer passing over the
    // slider does not turn it back down.
    SetSinkVolume("70%");
    volume.SliderMoved(slider);
    QCoreApplication::processEvents();
    EXPECT_EQ(SinkVolumes(), (std::vector<long>{45875, 45875}));
}

TEST_F(AlsaMixerOnSink, SliderChangeSetsTheSinksVolumeOnAllChannels) {
    SetSinkVolume("40%");
    auto mixer = CreateSystemMixer();
    test::FakeMessageBox messages;
    QtSpeakerVolume volume(*mixer, messages);
    QSlider slider(Qt::Horizontal);
    volume.SetupVolume(slider);

    for (int value : {10000, 20000, 32768}) {  // one drag, one write
        slider.setValue(value);
        volume.SliderMoved(slider);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(SinkVolumes(), (std::vector<long>{32768, 32768}));
}

TEST_F(AlsaMixerOnSink, WriteAfterAnotherProgramChangedTheVolumeStillLands) {
    SetSinkVolume("40%");
    auto mixer = CreateSystemMixer();
    ASSERT_TRUE(mixer->Open());
    int32_t minimum, maximum, current;
    ASSERT_TRUE(mixer->FindVolumeControl(minimum, maximum, current));

    ASSERT_TRUE(mixer->SetVolume(30000));
    EXPECT_EQ(SinkVolumes(), (std::vector<long>{30000, 30000}));
    // ALSA remembers 30000; the same value again must still reach the sink.
    SetSinkVolume("70%");
    ASSERT_TRUE(mixer->SetVolume(30000));
    EXPECT_EQ(SinkVolumes(), (std::vector<long>{30000, 30000}));

    EXPECT_FALSE(mixer->SetVolume(maximum + 1));
    EXPECT_FALSE(mixer->SetVolume(-1));
    EXPECT_EQ(SinkVolumes(), (std::vector<long>{30000, 30000}));
}

TEST(AlsaMixer, WritesBeforeSetUpAreRefused) {
    auto mixer = CreateSystemMixer();
    EXPECT_FALSE(mixer->SetVolume(100));
}

// ALSA reads its configuration once per process, so this runs in a process of its own.
TEST(AlsaMixerDeathTest, MixerThatCannotBeOpenedIsReportedOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::string empty = std::string(ZORVANE_BINARY_DIR) + "/empty-alsa.conf";
            std::ofstream(empty).close();
            setenv("ALSA_CONFIG_PATH", empty.c_str(), 1);
            auto mixer = CreateSystemMixer();
            test::FakeMessageBox messages;
            QtSpeakerVolume volume(*mixer, messages);
            QSlider slider(Qt::Horizontal);
            slider.setRange(0, 10);
            volume.SetupVolume(slider);
            slider.setValue(3);
            volume.SliderMoved(slider);
            QCoreApplication::processEvents();
            const bool ok = messages.shown == std::vector<std::string>{"Couldn't open the mixer."} &&
                            slider.maximum() == 10 && !mixer->SetVolume(3);
            std::_Exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace zv
