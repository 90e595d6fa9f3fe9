// The real device against the PulseAudio null sink: what it plays is
// recorded from the sink's monitor and measured. Skipped when the test
// script's sound stack is not running.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <sndfile.h>

#include "PulseSink.h"
#include "TestSounds.h"
#include "common/Errors.h"
#include "playback/MediaTransport.h"
#include "playback/system/PortAudioDevice.h"
#include "playback/system/SilentDevice.h"
#include "sound/SoundData.h"
#include "sound/SoundDecoder.h"
#include "sound/SoundDecoding.h"

namespace zv {
namespace {

constexpr int32_t kRate = 44100;
constexpr int kThreshold = 300;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class RealSound : public ::testing::Test {
protected:
    void SetUp() override {
        ZV_NEED_SOUND_STACK();
        sink = std::make_unique<test::PrivateSink>();
        device = std::make_unique<PortAudioDevice>();
        transport = std::make_unique<MediaTransport>(*device);
    }
    void OpenFile(const std::string& file) {
        transport->SetFileName(file);
        transport->Open();
    }
    // Three seconds of a 1 kHz stereo tone, opened.
    void OpenTone() {
        const std::string path = dir.File("tone.wav");
        test::WriteWav(path, kRate, 2, test::Tone(kRate, 3 * kRate, 1000.0, 0.5));
        OpenFile(path);
    }
    // Waits (up to 10 s) until the device is silent again.
    void WaitForSilence() {
        for (int i = 0; i < 5000 && transport->IsSounding(); ++i) Sleep(2);
        transport->Update();
    }

    test::TempDir dir;
    std::unique_ptr<test::PrivateSink> sink;
    std::unique_ptr<PortAudioDevice> device;
    std::unique_ptr<MediaTransport> transport;
};

// Where the sound was, in ms from its start: what a failure shows.
std::string Spans(const std::vector<test::Burst>& bursts) {
    std::string text = "sound at";
    for (const test::Burst& b : bursts) {
        char span[48];
        std::snprintf(span, sizeof span, " %.1f-%.1f", static_cast<double>(b.start - bursts[0].start) / 44.1,
                      static_cast<double>(b.end - bursts[0].start) / 44.1);
        text += span;
    }
    return text + " ms";
}

// Milliseconds of sound within `part`, gaps left out.
double SoundingMs(const std::vector<int16_t>& samples, const test::Burst& part) {
    double ms = 0.0;
    for (const test::Burst& b : test::FindBursts(samples, kThreshold))
        if (b.start >= part.start && b.end <= part.end) ms += b.Ms();
    return ms;
}

// Quiet tone up to 1010 ms, loud tone after it: the edge between them shows
// which part of the file came out.
std::string WriteEdgeFile(const test::TempDir& dir) {
    const std::string path = dir.File("edge.wav");
    const int64_t edge = kRate * 1010 / 1000;
    std::vector<float> samples = test::Tone(kRate, 3 * kRate, 1000.0, 0.15);
    const std::vector<float> loud = test::Tone(kRate, 3 * kRate, 1000.0, 0.6);
    std::copy(loud.begin() + edge, loud.end(), samples.begin() + edge);
    test::WriteWav(path, kRate, 2, samples);
    return path;
}

// Where the loud part begins in a burst, in ms from the burst's start.
double QuietMs(const std::vector<int16_t>& recording, const test::Burst& burst) {
    for (int64_t i = burst.start; i < burst.end; ++i)
        if (std::abs(static_cast<int>(recording[static_cast<size_t>(i)])) > 12288)
            return static_cast<double>(i - burst.start) / 44.1;
    return test::Burst{burst.start, burst.end}.Ms();
}

// Frame 30 (1000..1033 ms) of the edge file: 10 ms of the quiet part, then
// 23.3 ms of the loud one. The loud part must end exactly where the frame
// does, and the sound begin within 5 ms of the frame's start. When the
// output starts from rest, the sink may mix the first milliseconds into a
// span its monitor has already passed on, so the monitor can miss a little
// of the start; the frame's end is what shows the right samples were played.
void ExpectFirstFrame(const std::vector<int16_t>& recording, const test::Burst& burst) {
    const double quiet = QuietMs(recording, burst);
    EXPECT_NEAR(quiet, 10.0, 5.0);
    EXPECT_EQ(std::lround(burst.Ms() - quiet), 23) << burst.Ms() << " ms with " << quiet << " ms quiet";
}

TEST_F(RealSound, PlaysTheRangeExactlyWhileThePositionFollowsTheSound) {
    OpenTone();
    test::MonitorRecording recording(sink->Name());
    transport->SetFrom(1000);
    transport->SetTo(2000);

    struct Reading {
        double ms;        // steady time since Play
        int32_t position;
    };
    std::vector<Reading> readings;
    const auto start = std::chrono::steady_clock::now();
    transport->Play();
    while (transport->Mode() == MediaTransport::ModePlay &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        const int32_t position = transport->Position();
        readings.push_back({std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
                            position});
        Sleep(2);
    }
    transport->Update();
    EXPECT_EQ(transport->Mode(), MediaTransport::ModeStop);
    EXPECT_EQ(transport->Position(), 2000);
    const std::vector<int16_t> samples = recording.StopAfter(1000);   // the sink's tail reaches the monitor

    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_EQ(bursts.size(), 1u) << Spans(bursts);
    EXPECT_NEAR(bursts[0].Ms(), 1000.0, 10.0);

    ASSERT_GT(readings.size(), 100u);
    EXPECT_GE(readings.front().position, 1000);
    // Within one 30-fps frame of the end when the play ended.
    EXPECT_GE(readings.back().position, 2000 - 33);
    // Never backwards, no jumps, and at the real rate in the middle stretch.
    const Reading* first = nullptr;
    const Reading* last = nullptr;
    for (size_t i = 1; i < readings.size(); ++i) {
        const Reading& a = readings[i - 1];
        const Reading& b = readings[i];
        ASSERT_GE(b.position, a.position) << "at " << b.ms << " ms";
        EXPECT_LE(b.position - a.position, (b.ms - a.ms) + 20.0) << "at " << b.ms << " ms";
        if (b.position >= 1100 && !first) first = &b;
        if (b.position <= 1900) last = &b;
    }
    ASSERT_TRUE(first && last && last->ms > first->ms + 500);
    const double rate = (last->position - first->position) / (last->ms - first->ms);
    EXPECT_NEAR(rate, 1.0, 0.05);
    std::printf("measured: tone %.2f ms, %zu readings, first %d, last while playing %d, rate %.4f\n",
                bursts[0].Ms(), readings.size(), readings.front().position, readings.back().position, rate);
}

// The longest run of near-silence inside a burst, ms: a gap in the sound.
double LongestGapMs(const std::vector<int16_t>& samples, const test::Burst& burst) {
    int64_t run = 0, longest = 0;
    for (int64_t i = burst.start; i < burst.end; ++i) {
        run = std::abs(static_cast<int>(samples[static_cast<size_t>(i)])) < kThreshold ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return static_cast<double>(longest) / 44.1;
}

TEST_F(RealSound, LoopSelectionRepeatsWithNoGapAtItsSeams) {
    OpenTone();
    test::MonitorRecording recording(sink->Name());
    transport->SetFrom(1000);
    transport->SetTo(1500);
    transport->SetLoop(true);
    transport->Play();
    int32_t lowest = INT32_MAX, highest = 0;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(2200)) {
        EXPECT_EQ(transport->Mode(), MediaTransport::ModePlay);
        lowest = std::min(lowest, transport->Position());
        highest = std::max(highest, transport->Position());
        Sleep(5);
    }
    transport->Pause();
    const std::vector<int16_t> samples = recording.StopAfter(500);
    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_EQ(bursts.size(), 1u) << Spans(bursts);
    EXPECT_NEAR(bursts[0].Ms(), 2200.0, 60.0);
    EXPECT_LT(LongestGapMs(samples, bursts[0]), 1.0);
    // The position goes round the selection.
    EXPECT_GE(lowest, 1000);
    EXPECT_LE(highest, 1500);
    EXPECT_LT(lowest, 1100);
    EXPECT_GT(highest, 1400);
    std::printf("measured: loop of 500 ms sounded %.1f ms, longest gap %.3f ms\n", bursts[0].Ms(),
                LongestGapMs(samples, bursts[0]));
}

TEST_F(RealSound, HalfSpeedPlaysTwiceAsLongAtTheSamePitch) {
    OpenTone();
    test::MonitorRecording recording(sink->Name());
    transport->SetFrom(1000);
    transport->SetTo(2000);
    transport->SetSpeed(0.5);
    transport->Play();
    for (int i = 0; i < 2500 && transport->Mode() == MediaTransport::ModePlay; ++i) Sleep(2);
    transport->Update();
    EXPECT_EQ(transport->Position(), 2000);
    const std::vector<int16_t> samples = recording.StopAfter(1000);
    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_EQ(bursts.size(), 1u) << Spans(bursts);
    EXPECT_NEAR(bursts[0].Ms(), 2000.0, 40.0);
    const int64_t a = bursts[0].start + kRate / 4, b = bursts[0].end - kRate / 4;
    int crossings = 0;
    for (int64_t i = a + 1; i < b; ++i)
        crossings += samples[static_cast<size_t>(i - 1)] < 0 && samples[static_cast<size_t>(i)] >= 0;
    const double hz = crossings / (static_cast<double>(b - a) / kRate);
    EXPECT_NEAR(hz, 1000.0, 10.0);
    std::printf("measured: 1 s at half speed sounded %.1f ms at %.1f Hz\n", bursts[0].Ms(), hz);
}

// From each Play of one frame to its first sound at the sink, in ms: a
// click on the waveform as the device meets it. `restBefore` (ms) gives the
// pause before each.
std::vector<double> ClickDelays(PortAudioDevice& device, test::MonitorClock& clock, const std::vector<int>& restBefore) {
    std::vector<double> delays;
    for (size_t i = 0; i < restBefore.size(); ++i) {
        Sleep(restBefore[i]);
        const int64_t pressNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
        const int64_t from = kRate * static_cast<int64_t>(i) / 2;
        device.Play(from, from + kRate / 30);
        const int64_t heardNs = clock.NextSoundNs(pressNs, kThreshold, 2000);
        if (heardNs < 0) return {};
        delays.push_back(static_cast<double>(heardNs - pressNs) / 1e6);
    }
    return delays;
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TEST_F(RealSound, AClickIsHeardWithinTheOutputLatencyInAnyFormat) {
    OpenTone();
    test::MonitorClock clock(sink->Name());
    // Five clicks while the output runs, then one after it has rested.
    std::vector<double> wav = ClickDelays(*device, clock, {200, 200, 200, 200, 200, 2600});
    ASSERT_EQ(wav.size(), 6u) << "a click was never heard";
    const double rested = wav.back();
    wav.pop_back();
    // The same clicks on the same tone as FLAC and Ogg: the compressed file
    // is read on the output's own thread, never the caller's.
    std::vector<std::string> lines;
    for (const auto& [name, format] : {std::pair{"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                                       std::pair{"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}}) {
        const std::string path = dir.File(name);
        test::WriteSound(path, format, kRate, 2, test::Tone(kRate, 3 * kRate, 1000.0, 0.5));
        OpenFile(path);
        const std::vector<double> compressed = ClickDelays(*device, clock, {200, 200, 200, 200, 200});
        ASSERT_EQ(compressed.size(), 5u) << name << ": a click was never heard";
        // Clicks at the 50 ms output vary by 10-15 ms one from the next:
        // the compressed file's median may differ by that much, no more.
        EXPECT_LE(MedianOf(compressed), MedianOf(wav) + 10.0) << name;
        lines.push_back(std::string(name) + " " + std::to_string(MedianOf(compressed)).substr(0, 4));
    }
    const double latencyMs = device->OutputLatency() * 1000.0;
    std::printf("measured: click to sound (WAV) %.1f %.1f %.1f %.1f %.1f ms, median %.1f; after a rest %.1f ms; "
                "medians %s, %s ms; output latency %.1f ms\n",
                wav[0], wav[1], wav[2], wav[3], wav[4], MedianOf(wav), rested, lines[0].c_str(), lines[1].c_str(),
                latencyMs);
    // The new play follows what the open output holds already: its latency,
    // the wait for the next callback, and the clock's few ms.
    EXPECT_LE(MedianOf(wav), latencyMs + 15.0);
    // From rest the stream first fills its buffer again: up to one more
    // latency, and the sink's few ms.
    EXPECT_LE(rested, 2 * latencyMs + 15.0);
}

TEST_F(RealSound, OneStepSoundsExactlyOneFrameFromItsStart) {
    OpenFile(WriteEdgeFile(dir));
    transport->SetFrameRate(30);
    transport->SetFrom(967);   // frame 29
    transport->Prev();
    test::MonitorRecording recording(sink->Name());
    transport->Step();
    EXPECT_EQ(transport->Position(), 1000);
    WaitForSilence();
    EXPECT_EQ(transport->Position(), 1000);
    const std::vector<int16_t> samples = recording.StopAfter(1000);   // the sink's tail reaches the monitor

    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_EQ(bursts.size(), 1u) << Spans(bursts);
    ExpectFirstFrame(samples, bursts[0]);
    std::printf("measured: frame %.2f ms, quiet part %.2f ms\n", bursts[0].Ms(), QuietMs(samples, bursts[0]));
}

TEST_F(RealSound, QuickStepsSoundEachFrameOnceWithNoTail) {
    OpenFile(WriteEdgeFile(dir));
    transport->SetFrameRate(30);
    transport->SetFrom(967);
    transport->Prev();
    test::MonitorRecording recording(sink->Name());
    for (int i = 0; i < 5; ++i) {
        transport->Step();
        WaitForSilence();   // each frame sounds in full before the next press
    }
    EXPECT_EQ(transport->Position(), 1133);   // frame 34
    WaitForSilence();
    const std::vector<int16_t> samples = recording.StopAfter(1000);   // the sink's tail reaches the monitor

    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_EQ(bursts.size(), 5u);
    ExpectFirstFrame(samples, bursts[0]);
    for (size_t i = 1; i < bursts.size(); ++i) {
        const long ms = std::lround(bursts[i].Ms());
        EXPECT_TRUE(ms == 33 || ms == 34) << bursts[i].Ms();
        EXPECT_LT(QuietMs(samples, bursts[i]), 1.0);
    }
    std::printf("measured: frames");
    for (const test::Burst& b : bursts) std::printf(" %.2f", b.Ms());
    std::printf(" ms, first quiet part %.2f ms\n", QuietMs(samples, bursts[0]));
}

TEST_F(RealSound, PressesFasterThanAFrameCutTheSoundBefore) {
    OpenFile(WriteEdgeFile(dir));
    transport->SetFrameRate(30);
    test::MonitorRecording recording(sink->Name());
    const auto firstPress = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) {
        if (i > 0) Sleep(10);
        transport->Step();
    }
    // A busy machine may stretch the pauses between the presses.
    const double pressSpanMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - firstPress).count();
    WaitForSilence();
    const std::vector<int16_t> samples = recording.StopAfter(1000);   // the sink's tail reaches the monitor
    const auto bursts = test::FindBursts(samples, kThreshold);
    ASSERT_FALSE(bursts.empty());
    // Nothing queued behind the last press: the sound ends with one whole
    // frame, and all of it together is no longer than five frames.
    const double total = test::Burst{bursts.front().start, bursts.back().end}.Ms();
    EXPECT_LE(total, pressSpanMs + 34.0 + 60.0);
    const long lastMs = std::lround(bursts.back().Ms());
    EXPECT_GE(lastMs, 33);
    std::printf("measured: %zu bursts over %.2f ms, last %.2f ms\n", bursts.size(), total, bursts.back().Ms());
}

TEST_F(RealSound, PauseStopsTheSoundAtOnceAndPlayResumes) {
    const std::string path = dir.File("tone.wav");
    test::WriteWav(path, kRate, 1, test::Tone(kRate, 3 * kRate, 1000.0, 0.5));
    OpenFile(path);
    test::MonitorRecording recording(sink->Name());
    transport->Play();
    Sleep(400);
    transport->Pause();
    const int32_t paused = transport->Position();
    EXPECT_EQ(transport->Mode(), MediaTransport::ModePause);
    EXPECT_GT(paused, 200);
    EXPECT_LT(paused, 800);
    Sleep(300);
    EXPECT_EQ(transport->Position(), paused);
    transport->SetTo(paused + 500);
    transport->Play();
    WaitForSilence();
    EXPECT_EQ(transport->Position(), paused + 500);
    const std::vector<int16_t> samples = recording.StopAfter(1000);
    // An output underrun on a busy machine leaves a short gap inside a
    // part: gaps under 100 ms do not split one, and only sound is counted.
    const auto bursts = test::FindBursts(samples, kThreshold, kRate / 10);
    ASSERT_EQ(bursts.size(), 2u);
    const double first = SoundingMs(samples, bursts[0]), second = SoundingMs(samples, bursts[1]);
    // The two parts add up to what the position says was heard, within the
    // short stretch that was under way to the sink when Pause cut it.
    EXPECT_NEAR(first + second, paused + 500.0, 60.0);
    EXPECT_NEAR(second, 500.0, 10.0);
    std::printf("measured: paused at %d ms, heard %.2f + %.2f ms\n", paused, first, second);
}

TEST_F(RealSound, FileCutShortWhilePlayingEndsThePlayWhereItBreaks) {
    const std::string path = dir.File("long.wav");
    test::WriteWav(path, kRate, 1, test::Tone(kRate, 6 * kRate, 1000.0, 0.5));
    OpenFile(path);
    transport->Play();
    Sleep(100);
    // Keep the header and 2.5 s of samples; the reader is only 1 s ahead.
    std::filesystem::resize_file(path, 44 + 2 * kRate * 5 / 2);
    for (int i = 0; i < 5000 && transport->Mode() == MediaTransport::ModePlay; ++i) Sleep(2);
    transport->Update();
    EXPECT_EQ(transport->Mode(), MediaTransport::ModeStop);
    EXPECT_NEAR(transport->Position(), 2500, 1);
}

// A compressed sound is decoded once, by the window: the device plays the
// samples it is offered and never reads the file's frames again. With the
// file emptied under the open device, the offered sound still plays to its
// end; one opened without the offer breaks off where the file ran out.
TEST_F(RealSound, ACompressedSoundPlaysTheOfferedSamplesWithoutReadingTheFileAgain) {
    const std::vector<float> tone = test::Tone(kRate, kRate, 1000.0, 0.5);
    const auto playsToTheEnd = [&](const std::string& name, bool offer) {
        const std::string path = dir.File(name);
        test::WriteSound(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kRate, 2, tone);
        SoundData sound;
        DecodeProgress progress;
        std::string reason;
        EXPECT_EQ(DecodeSound(sound, *OpenSoundDecoder(path), progress, reason), DecodeOutcome::Loaded) << reason;
        if (offer) device->OfferDecoded(path, sound.Samples.Share(), sound.WavFormat.nChannels, sound.NumSamples);
        sound.Samples.Release();   // the window may move on; the device holds what it was offered
        OpenFile(path);
        std::filesystem::resize_file(path, 0);
        transport->Play();
        for (int i = 0; i < 2500 && transport->Mode() == MediaTransport::ModePlay; ++i) Sleep(2);
        transport->Update();
        EXPECT_EQ(transport->Mode(), MediaTransport::ModeStop) << name;
        return transport->Position();
    };
    EXPECT_EQ(playsToTheEnd("offered.flac", true), 1000);
    // The same without the offer: the device streams the (now empty) file.
    EXPECT_LT(playsToTheEnd("streamed.flac", false), 500);
}

TEST(RealSoundFailure, ALostServerIsToldOnceTheClockGoesOnAndTheSoundComesBackWithIt) {
    ZV_NEED_SOUND_STACK();
    test::TempDir dir;
    const std::string path = dir.File("tone.wav");
    test::WriteWav(path, kRate, 2, test::Tone(kRate, 5 * kRate, 1000.0, 0.5));
    auto server = std::make_unique<test::PrivateSoundServer>();
    PortAudioDevice device;
    MediaTransport transport(device);
    transport.SetFileName(path);
    transport.Open();
    transport.Play();
    Sleep(300);
    ASSERT_EQ(transport.Mode(), MediaTransport::ModePlay);
    server->Kill();
    std::string failure;
    for (int i = 0; i < 2000 && failure.empty(); ++i) {
        Sleep(2);
        transport.Update();
        failure = transport.TakeOutputFailure();
    }
    EXPECT_TRUE(failure == "the sound output closed" || failure == "the sound output stopped responding") << failure;
    // The play goes on in silence from where the sound broke off.
    EXPECT_EQ(transport.Mode(), MediaTransport::ModePlay);
    const int32_t broke = transport.Position();
    Sleep(300);
    transport.Update();
    EXPECT_GT(transport.Position(), broke + 200);
    EXPECT_EQ(transport.TakeOutputFailure(), "");
    // Another Play without a server: silent again, and nothing more to tell.
    transport.Pause();
    transport.Play();
    Sleep(50);
    transport.Update();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModePlay);
    EXPECT_EQ(transport.TakeOutputFailure(), "");
    transport.Pause();

    // A server again: the next Play sounds on it, which its death proves.
    test::PrivateSoundServer again;
    transport.Play();
    Sleep(300);
    ASSERT_EQ(transport.Mode(), MediaTransport::ModePlay);
    again.Kill();
    failure.clear();
    for (int i = 0; i < 2000 && failure.empty(); ++i) {
        Sleep(2);
        transport.Update();
        failure = transport.TakeOutputFailure();
    }
    EXPECT_FALSE(failure.empty());
    transport.Stop();
    transport.Close();
    EXPECT_EQ(transport.Mode(), MediaTransport::ModeNotReady);
}

TEST_F(RealSound, OpenCloseReopen) {
    const std::string path = dir.File("tone.wav");
    test::WriteWav(path, 22050, 1, test::Tone(22050, 22050, 440.0, 0.5));
    device->Close();   // nothing open: harmless
    device->Open(path);
    EXPECT_EQ(device->SampleRate(), 22050);
    EXPECT_EQ(device->LengthSamples(), 22050);
    device->Play(0, 22050);
    EXPECT_TRUE(device->IsPlaying());
    device->Close();
    EXPECT_FALSE(device->IsOpen());
    EXPECT_FALSE(device->IsPlaying());
    EXPECT_EQ(device->LengthSamples(), 0);
    device->Open(path);
    EXPECT_EQ(device->PositionSample(), 0);
    device->Seek(11025);
    EXPECT_EQ(device->PositionSample(), 11025);
    device->Play(20000, 22050);
    for (int i = 0; i < 5000 && device->IsPlaying(); ++i) Sleep(2);
    EXPECT_EQ(device->PositionSample(), 22050);

    // A file that will not open gives a reason; the open one stays open.
    const std::string text = dir.File("text.wav");
    test::WriteText(text, "not a sound");
    try {
        device->Open(text);
        FAIL() << "opened a text file";
    } catch (const DeviceError& e) {
        EXPECT_STRNE(e.what(), "");
    }
    EXPECT_EQ(device->LengthSamples(), 22050);
}

// Runs `make` with stderr going to a file, and returns what was written there.
template <typename Make> std::string StderrOf(Make make) {
    char path[] = "/tmp/zorvane-stderr-XXXXXX";
    const int file = mkstemp(path);
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    make();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(path);
    return text;
}

TEST_F(RealSound, SystemDeviceIsTheRealOneAndStartsQuietly) {
    std::unique_ptr<MediaDevice> made;
    const std::string noise = StderrOf([&] { made = CreateSystemMediaDevice(); });
    EXPECT_EQ(noise, "");
    EXPECT_NE(dynamic_cast<PortAudioDevice*>(made.get()), nullptr);
    EXPECT_EQ(StderrOf([&] { made.reset(); }), "");
}

TEST(SystemMediaDevice, WithoutSoundOutputTheDeviceIsSilent) {
    // The cards are hidden from the child below in a mount namespace of its
    // own, which takes root.
    const bool cards = std::filesystem::exists("/dev/snd");
    if (cards && geteuid() != 0 && !test::SoundStackRequired())
        GTEST_SKIP() << "this machine has sound cards and the test is not root: they cannot be hidden";
    // In a child process: no sound card, no sound server reachable, no JACK.
    EXPECT_EXIT(
        {
            if (cards && (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                          mount("none", "/dev/snd", "tmpfs", 0, nullptr) != 0))
                std::_Exit(3);
            setenv("PULSE_SERVER", "unix:/nonexistent", 1);
            setenv("JACK_NO_START_SERVER", "1", 1);
            setenv("JACK_DEFAULT_SERVER", "zorvane-none", 1);
            auto device = CreateSystemMediaDevice();
            std::_Exit(dynamic_cast<SilentDevice*>(device.get()) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace zv
