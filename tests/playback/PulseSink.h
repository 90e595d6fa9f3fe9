#pragma once
// The real sound stack for recording tests: a null sink of the test's own
// on the PulseAudio server that scripts/with-sound-stack.sh started
// (ZORVANE_TEST_SINK tells that it runs), with a silent low-latency stream
// on it so that its monitor delivers from the first moment, and a recorder
// of that monitor. A sink of its own keeps the recording free of sound and
// volume changes from tests running alongside; PULSE_SINK sends this
// process's output (ALSA default -> pulse plugin) to it.
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zv::test {

// True when the test script's PulseAudio is running.
bool SoundStackRunning();
// In CI (CI=true) a test that needs the real sound stack fails without it
// rather than skipping: a green run has then really played sound.
bool SoundStackRequired();

// A real-sound test's first line: without the sound stack it fails in CI
// and is skipped elsewhere.
#define ZV_NEED_SOUND_STACK()                                                                      \
    do {                                                                                           \
        if (!::zv::test::SoundStackRunning()) {                                                    \
            if (::zv::test::SoundStackRequired())                                                  \
                GTEST_FAIL() << "CI=true but the test sound server is not running";                \
            else                                                                                   \
                GTEST_SKIP() << "ZORVANE_TEST_SINK is not set: no sound stack";                    \
        }                                                                                          \
    } while (false)

class PrivateSink {
public:
    PrivateSink();    // throws std::runtime_error when the sink cannot be set up
    ~PrivateSink();
    PrivateSink(const PrivateSink&) = delete;
    PrivateSink& operator=(const PrivateSink&) = delete;
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::string module_;
    pid_t keepAlive_ = -1;
    std::string oldSink_;
    bool hadOldSink_ = false;
};

// A PulseAudio server of the test's own, with a null sink, that the test can
// kill to make the sound output fail under a playing device. While it lives,
// this process's PulseAudio clients (PULSE_SERVER) connect to it.
class PrivateSoundServer {
public:
    PrivateSoundServer();   // throws std::runtime_error when it does not come up
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;
    void Kill();

private:
    std::string dir_;
    pid_t server_ = -1;
    std::string oldServer_;
    bool hadOldServer_ = false;
};

// Records the sink's monitor as 44100 Hz stereo 16-bit until Stop().
class MonitorRecording {
public:
    explicit MonitorRecording(const std::string& sink);   // returns once data flows
    ~MonitorRecording();
    MonitorRecording(const MonitorRecording&) = delete;
    MonitorRecording& operator=(const MonitorRecording&) = delete;
    // Stops the recorder and returns the left channel.
    std::vector<int16_t> Stop();
    // Stops once the recorder has taken `ms` more of the monitor's stream
    // than it held when called, so that the sink's tail has reached it
    // however slowly the machine runs; returns the left channel.
    std::vector<int16_t> StopAfter(int ms);

private:
    std::string path_;
    pid_t recorder_ = -1;
};

// Listens to the sink's monitor in this process and notes when each sample
// reached it (steady clock), to time a command's sound at the sound server.
// The times run late by the monitor's delivery (a 2.5 ms fragment and a
// wake-up), never early.
class MonitorClock {
public:
    explicit MonitorClock(const std::string& sink);   // throws std::runtime_error
    ~MonitorClock();
    MonitorClock(const MonitorClock&) = delete;
    MonitorClock& operator=(const MonitorClock&) = delete;
    // When the first sample above `threshold` played after `afterNs` was
    // played, in steady-clock ns; -1 when none comes within `timeoutMs`.
    int64_t NextSoundNs(int64_t afterNs, int threshold, int timeoutMs);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A stretch of sound in a recording: samples [start, end).
struct Burst {
    int64_t start;
    int64_t end;
    double Ms() const { return static_cast<double>(end - start) / 44.1; }
};

// The stretches where |sample| exceeds `threshold`; dips shorter than
// `bridge` samples (a sine's zero crossings) do not split a stretch.
std::vector<Burst> FindBursts(const std::vector<int16_t>& samples, int threshold, int64_t bridge = 40);

} // namespace zv::test
