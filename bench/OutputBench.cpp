// Rows of the sound output that stays open while a sound is open:
//   - click to sound and scrub step to sound, timed at the null sink's
//     monitor, against the output latency PortAudio reports;
//   - the process's CPU share with a sound open and idle (the output plays
//     silence), against the same device with nothing open (no output);
//   - gaps in a 60 s play recorded at the monitor while two busy loops take
//     both cores.
// They need the test sound stack (`make bench` runs under
// scripts/with-sound-stack.sh).
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BenchTable.h"
#include "ChildMeasure.h"
#include "TestSounds.h"
#include "playback/MediaTransport.h"
#include "playback/Scrubber.h"
#include "playback/PulseSink.h"
#include "playback/system/PortAudioDevice.h"

namespace zv::bench {

namespace {

constexpr int32_t kRate = 44100;
constexpr int kThreshold = 300;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

std::string BenchFile(const std::string& name) {
    return (std::filesystem::path(ZORVANE_BENCH_DIR) / name).string();
}

// Two seconds of silence, then two of a 1 kHz tone: frames 0-59 (30 fps)
// are silent, 60-119 sound.
std::string SilenceThenTone() {
    const std::string path = BenchFile("silence-then-tone.wav");
    if (!std::filesystem::exists(path)) {
        std::vector<float> samples = test::Tone(kRate, 4 * kRate, 1000.0, 0.5);
        std::fill(samples.begin(), samples.begin() + 2 * kRate, 0.0f);
        test::WriteWav(path, kRate, 2, samples);
    }
    return path;
}

bool NeedsSoundStack(benchmark::State& state) {
    if (std::getenv("ZORVANE_TEST_SINK")) return true;
    state.SkipWithError("needs the test sound stack: run under scripts/with-sound-stack.sh");
    return false;
}

// Row: five clicks (a press on a sounding frame with nothing playing) and
// five scrub steps (the pointer entering a sounding frame after the silent
// frame it left has been heard), each from the call to the first sound at
// the sink's monitor.
void ClickAndScrubToSound(benchmark::State& state, bool scrub) {
    if (!NeedsSoundStack(state)) return;
    std::vector<double> delays;
    double latencyMs = 0;
    for (auto _ : state) {
        try {
            test::PrivateSink sink;
            PortAudioDevice device;
            MediaTransport transport(device);
            transport.SetFileName(SilenceThenTone());
            transport.Open();
            transport.SetFrameRate(30);
            Scrubber scrubber(transport);
            test::MonitorClock clock(sink.Name());
            latencyMs = device.OutputLatency() * 1000.0;
            for (int i = 0; i < 5; ++i) {
                if (scrub) {
                    scrubber.Press(10 + i);   // silent
                    // Heard out (one frame, through the output's latency), so
                    // that the move sounds its frame at once, not after it.
                    Sleep(static_cast<int>(1000.0 / 30 + latencyMs) + 30);
                }
                const int64_t pressNs = SteadyNs();
                if (scrub) scrubber.Move(60 + 5 * i);
                else scrubber.Press(60 + 5 * i);
                const int64_t heardNs = clock.NextSoundNs(pressNs, kThreshold, 2000);
                scrubber.Release();
                if (heardNs < 0) {
                    state.SkipWithError("a sound was never heard at the sink");
                    return;
                }
                delays.push_back(static_cast<double>(heardNs - pressNs) / 1e6);
                Sleep(200);
            }
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
        state.SetIterationTime(Median(delays) / 1000.0);
    }
    state.counters[kValue] = Median(delays);
    state.counters[kBaseline] = latencyMs;
    std::string each;
    for (double d : delays) each += (each.empty() ? "" : " ") + std::to_string(d).substr(0, 4);
    char target[32];
    std::snprintf(target, sizeof target, "< %.0f ms", latencyMs + 10.0);
    SetRowText(state, "ms", target, "median of 5 at the monitor (" + each + " ms); base: the output latency");
}

// A child that spins until killed: one core kept busy.
pid_t BusyLoop() {
    const pid_t pid = fork();
    if (pid == 0) {
        volatile unsigned long n = 0;
        for (;;) n = n + 1;
    }
    return pid;
}

// Row: a 60 s tone played through the device with two busy loops running,
// recorded at the monitor; the gaps over 1 ms in it.
void GapsUnderLoad(benchmark::State& state) {
    if (!NeedsSoundStack(state)) return;
    constexpr int kSeconds = 60;
    const std::string path = BenchFile("tone-61s.wav");
    if (!std::filesystem::exists(path)) test::WriteWav(path, kRate, 2, test::Tone(kRate, (kSeconds + 1) * kRate, 1000.0, 0.5));
    size_t gaps = 0;
    double soundedMs = 0;
    for (auto _ : state) {
        try {
            test::PrivateSink sink;
            PortAudioDevice device;
            device.Open(path);
            test::MonitorRecording recording(sink.Name());
            const pid_t busy[2] = {BusyLoop(), BusyLoop()};
            const auto start = std::chrono::steady_clock::now();
            device.Play(0, int64_t{kSeconds} * kRate);
            while (device.IsPlaying()) Sleep(20);
            const double wall = SecondsSince(start);
            for (pid_t pid : busy) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
            const auto bursts = test::FindBursts(recording.StopAfter(500), kThreshold, kRate / 1000);
            gaps = bursts.empty() ? 1 : bursts.size() - 1;
            soundedMs = bursts.empty() ? 0 : test::Burst{bursts.front().start, bursts.back().end}.Ms();
            state.SetIterationTime(wall);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
    }
    state.counters[kValue] = static_cast<double>(gaps);
    char note[160];
    std::snprintf(note, sizeof note, "gaps over 1 ms at the monitor; %.1f s from first to last sound; two busy loops",
                  soundedMs / 1000.0);
    SetRowText(state, "gaps", "0", note);
}

constexpr double kIdleSeconds = 10.0;

// Row: the device with a sound open and nothing playing (its output runs,
// playing silence), against the device with nothing open.
void IdleCpuShare(benchmark::State& state) {
    if (!NeedsSoundStack(state)) return;
    const std::string path = SilenceThenTone();
    const std::string secs = std::to_string(kIdleSeconds);
    ChildResult open, closed;
    for (auto _ : state) {
        open = MeasureInChild({"device-idle", path, secs});
        closed = MeasureInChild({"device-idle", "-", secs});
        if (!open.ok || !closed.ok) {
            state.SkipWithError((open.error + " " + closed.error).c_str());
            return;
        }
        state.SetIterationTime(kIdleSeconds);
    }
    state.counters[kValue] = open.value;
    state.counters[kBaseline] = closed.value;
    state.counters[kPeak] = open.peakMiB;
    state.counters[kBasePeak] = closed.peakMiB;
    SetRowText(state, "%", "< 1 %", "base: the device with nothing open; " + open.note);
}

}  // namespace

// argv: the file ("-": none), the seconds.
int ChildDeviceIdle(int argc, char** argv) {
    if (argc != 2) return 2;
    PortAudioDevice device;
    if (std::string(argv[0]) != "-") device.Open(argv[0]);
    Sleep(500);   // past the output's start
    const double seconds = std::atof(argv[1]);
    const double before = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    Sleep(static_cast<int>(seconds * 1000));
    const double share = 100.0 * (CpuSeconds() - before) / SecondsSince(start);
    char note[64];
    std::snprintf(note, sizeof note, "output latency %.1f ms", device.OutputLatency() * 1000.0);
    return ChildReport(share, {}, note);
}

void RegisterOutputRows() {
    benchmark::RegisterBenchmark("Click to sound (null sink)", ClickAndScrubToSound, false)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Scrub step to sound (null sink)", ClickAndScrubToSound, true)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("CPU idle 10 s, sound open (device)", IdleCpuShare)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Gaps in 60 s beside two busy loops", GapsUnderLoad)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

}  // namespace zv::bench
