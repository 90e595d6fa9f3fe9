#include "playback/system/OutputEngine.h"

#include <dirent.h>
#include <pa_linux_alsa.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

#include "common/Errors.h"
#include "playback/system/DecodedSound.h"
#include "playback/system/PortAudioCalls.h"
#include "playback/system/SoundFile.h"

namespace zv {

namespace {

int64_t SteadyNs() {
    return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
}

// The threads ALSA's pulse plugin starts in this process to carry the
// output to the sound server ("threaded-ml", libpulse's main loop) run at
// the lowest real-time priority where the system allows it: the callback
// alone at real-time priority still underran beside busy loops, for the
// plugin's thread could not hand its data on in time. A refusal leaves
// them as they are.
void RaiseSoundServerThreads() {
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return;
    while (const dirent* entry = readdir(tasks)) {
        const pid_t tid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (tid <= 0) continue;
        char path[64];
        std::snprintf(path, sizeof path, "/proc/self/task/%d/comm", static_cast<int>(tid));
        FILE* comm = std::fopen(path, "r");
        if (!comm) continue;
        char name[32] = {};
        const bool read = std::fgets(name, sizeof name, comm) != nullptr;
        std::fclose(comm);
        if (!read || std::strncmp(name, "threaded-ml", 11) != 0) continue;
        if (sched_getscheduler(tid) != SCHED_OTHER) continue;
        sched_param param{};
        param.sched_priority = 1;
        sched_setscheduler(tid, SCHED_FIFO, &param);
    }
    closedir(tasks);
}

// The producer runs just below the callback, at the lowest real-time
// priority, or else at a raised nice level, where the system allows it: a
// play's first frames reach the ring at once on a busy machine, and the ring
// never runs dry under a slowed play. A refusal leaves it as it is.
void RaiseThisThread() {
    sched_param param{};
    param.sched_priority = 1;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return;
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -10);
}

// The output latency asked for. The stream stays open, so a new play is
// queued behind this much sound (silence while idle): it is what a click
// waits for. 50 ms is the least that held on a busy machine: with 20 ms, a
// sanitized build beside two busy loops and without real-time priority
// underran in 5 of 8 plays (each underrun a gap in the sound), with 50 ms in
// none. A click is then heard within about 60 ms of the press (the
// callback's period comes on top), and the heard position subtracts the
// latency, so the frame shown stays the frame heard.
constexpr double kLatencySeconds = 0.05;
// Buffers of 5 ms (kBuffersPerSecond a second). Left to itself PortAudio
// chooses far smaller ones at this latency, and the output and the sound
// server's client thread then wake several times as often: most of what
// playing costs (their share of a core about halved with 5 ms buffers on a
// busy machine). 10 ms buffers cost a little less still, but a command then
// waits up to 10 ms for the next callback: a scrub step was heard 11-17 ms
// past the output's latency, against 3-7 ms with 5 ms buffers.
constexpr unsigned long kBuffersPerSecond = 200;
// An output idle this long stops (the stream stays open) until the next
// command, so that an open sound left alone costs no processor time.
constexpr int64_t kRestAfterNs = 2'000'000'000;
constexpr int64_t kReadChunkFrames = 4096;
// How far ahead of the output the producer keeps the ring, at most.
constexpr int64_t kLeadMs = 500;
// The producer tops the ring up once it is down to this much, and sleeps
// in between (or until a command): a play costs it about four wakes a
// second rather than one every few buffers.
constexpr int64_t kRefillMs = 250;
// The shortest and the longest sleep between its looks at the ring (the
// longest while a play's last frames sound or the output idles before it
// rests).
constexpr int64_t kShortestNapMs = 5;
constexpr int64_t kIdleNapMs = 250;
// With no callback for this long the output has hung.
constexpr int64_t kStallNs = 2'000'000'000;

// A play's number (its low 24 bits) and a frame count (40 bits: 289 days
// at 44.1 kHz) in one word, so that the two change together.
constexpr int kCountBits = 40;
constexpr uint64_t kCountMask = (uint64_t{1} << kCountBits) - 1;
constexpr uint64_t kNumberMask = (uint64_t{1} << 24) - 1;
uint64_t Pack(uint64_t number, uint64_t count) { return ((number & kNumberMask) << kCountBits) | (count & kCountMask); }
bool IsOf(uint64_t packed, uint64_t number) { return (packed >> kCountBits) == (number & kNumberMask); }
uint64_t CountOf(uint64_t packed) { return packed & kCountMask; }
// The full number of a packed one, knowing `newest`, a number at or after it.
uint64_t NumberOf(uint64_t packed, uint64_t newest) {
    return newest - (((newest & kNumberMask) - (packed >> kCountBits)) & kNumberMask);
}

} // namespace

OutputEngine::OutputEngine(SoundFile& file, const DecodedSound* decoded)
    : file_(file),
      decoded_(decoded),
      fileChannels_(file.Channels()),
      outChannels_(OutputChannels(file.Channels())),
      fold_(file.Channels(), file.Layout()),
      sampleRate_(file.SampleRate()),
      ring_(static_cast<size_t>(file.SampleRate()), OutputChannels(file.Channels())),
      fileBuffer_(static_cast<size_t>(kReadChunkFrames * file.Channels())),
      outBuffer_(static_cast<size_t>(kReadChunkFrames * OutputChannels(file.Channels()))) {
    PaStreamParameters params{};
    params.device = Pa_GetDefaultOutputDevice();
    if (params.device == paNoDevice) throw DeviceError("There is no sound output.");
    const PaDeviceInfo* info = Pa_GetDeviceInfo(params.device);
    params.channelCount = outChannels_;
    params.sampleFormat = paFloat32;
    params.suggestedLatency = kLatencySeconds;
    PaError error;
    {
        QuietStderr quiet;   // a vanished sound server makes the ALSA plugins chatter
        error = Pa_OpenStream(&stream_, nullptr, &params, sampleRate_,
                              std::max<unsigned long>(static_cast<unsigned long>(sampleRate_) / kBuffersPerSecond, 64),
                              paNoFlag, &Callback, this);
    }
    if (error != paNoError) {
        stream_ = nullptr;
        throw DeviceError(PortAudioReason(error));
    }
    Pa_SetStreamFinishedCallback(stream_, [](void* user) {
        static_cast<OutputEngine*>(user)->streamEnded_.store(true, std::memory_order_release);
    });
    if (const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream_)) latency_ = streamInfo->outputLatency;
    // The callback reads only memory: on ALSA it runs at real-time priority
    // where the system allows it, so a busy machine (or the producer
    // stretching a slowed play) does not starve the output.
    if (const PaHostApiInfo* host = info ? Pa_GetHostApiInfo(info->hostApi) : nullptr; host && host->type == paALSA)
        PaAlsa_EnableRealtimeScheduling(stream_, 1);
    lastCallbackNs_.store(SteadyNs());
    error = Pa_StartStream(stream_);
    if (error != paNoError) {
        Pa_CloseStream(stream_);
        throw DeviceError(PortAudioReason(error));
    }
    RaiseSoundServerThreads();
    producer_ = std::thread(&OutputEngine::ProducerLoop, this);
}

OutputEngine::~OutputEngine() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    producer_.join();   // the producer starts and stops the stream: it goes first
    QuietStderr quiet;
    if (!resting_.load()) Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
}

void OutputEngine::Play(const PlayPlan& plan) {
    plan_ = plan;
    Post(plan);
}

void OutputEngine::Stop() {
    plan_.reset();
    Post(std::nullopt);
}

void OutputEngine::Post(std::optional<PlayPlan> plan) {
    // The number first: the callback cuts the sound before it as soon as it
    // sees it, whether or not the producer has begun.
    requested_.store(++number_, std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ = Command{number_, std::move(plan)};
    }
    wake_.notify_one();
}

OutputEngine::Heard OutputEngine::Now() const {
    if (!plan_) return {0, false};
    const PlayPlan& plan = *plan_;
    // The callback resets the play's counts before it names the play.
    if (sounding_.load(std::memory_order_acquire) != number_) return {plan.from, true};
    const int64_t handed = handed_.load(std::memory_order_acquire);
    const int64_t now = SteadyNs();
    if (now >= endHearNs_.load(std::memory_order_acquire)) return {std::min(plan.FileFrameOf(handed), plan.to), false};
    const int64_t output = std::clamp<int64_t>(heard_.At(now, sampleRate_, number_), 0, handed);
    return {std::min(plan.FileFrameOf(output), plan.to), true};
}

const char* OutputEngine::Failure() const {
    if (streamEnded_.load(std::memory_order_acquire)) return "the sound output closed";
    if (resting_.load(std::memory_order_acquire)) return nullptr;
    if (SteadyNs() - lastCallbackNs_.load(std::memory_order_relaxed) >= kStallNs)
        return "the sound output stopped responding";
    return nullptr;
}

void OutputEngine::SeekTo(int64_t frame) { readAt_ = frame; }

int64_t OutputEngine::ReadFolded(float* out, int64_t frames) {
    int64_t done = 0;
    while (done < frames) {
        const int64_t want = std::min(frames - done, kReadChunkFrames);
        int64_t got = decoded_ ? decoded_->Read(readAt_, fileBuffer_.data(), want) : 0;
        if (got == 0) {
            // Not decoded (yet): from the file, seeking it only when the
            // read point moved.
            if (fileAt_ != readAt_) {
                fileAt_ = -1;
                file_.Seek(readAt_);
                fileAt_ = readAt_;
            }
            got = file_.Read(fileBuffer_.data(), want);
            if (got <= 0) break;
            fileAt_ += got;
        }
        fold_.Apply(fileBuffer_.data(), got, out + done * outChannels_);
        done += got;
        readAt_ += got;
    }
    return done;
}

bool OutputEngine::Fill(PlayFeed& feed, uint64_t number, int64_t& written) {
    const int64_t lead = kLeadMs * sampleRate_ / 1000;
    // A newer command stops the top-up at once.
    while (requested_.load(std::memory_order_acquire) == number) {
        const int64_t queued = static_cast<int64_t>(ring_.ReadableFrames());
        const int64_t room = std::min(lead - queued, static_cast<int64_t>(ring_.WritableFrames()));
        if (room <= 0) return true;
        int64_t got = 0;
        try {
            got = feed.Next(outBuffer_.data(), std::min(room, kReadChunkFrames));
        } catch (const std::exception&) {
            got = 0;   // the file failed under the play: it ends where its frames end
        }
        if (got <= 0) return false;
        ring_.Write(outBuffer_.data(), static_cast<size_t>(got));
        written += got;
    }
    return true;
}

void OutputEngine::ProducerLoop() {
    RaiseThisThread();
    uint64_t number = 0;
    std::unique_ptr<PlayFeed> feed;
    int64_t written = 0;
    int64_t lastCommandNs = SteadyNs();
    for (;;) {
        Command command;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            const auto woken = [&] { return quit_ || pending_.number != number; };
            // A resting output waits for the next command alone.
            if (!feed && resting_.load()) wake_.wait(lock, woken);
            else wake_.wait_for(lock, std::chrono::milliseconds(Nap(feed != nullptr)), woken);
            if (quit_) return;
            if (pending_.number != number) command = std::move(pending_);
        }
        if (command.number != 0) {
            number = command.number;
            lastCommandNs = SteadyNs();
            feed.reset();
            written = 0;
            // Before any of its frames: where the play begins on the ring.
            published_.store(Pack(number, ring_.WrittenFrames()), std::memory_order_release);
            if (command.plan) {
                SeekTo(command.plan->from);
                try {
                    feed = std::make_unique<PlayFeed>(
                        outChannels_, sampleRate_, *command.plan,
                        [this](float* out, int64_t frames) { return ReadFolded(out, frames); },
                        [this](int64_t frame) { SeekTo(frame); });
                } catch (const std::exception&) {
                    feed.reset();   // no stretcher to be had: the play has no frames
                }
            }
            if (!feed) finished_.store(Pack(number, 0), std::memory_order_release);
        }
        if (feed && !Fill(*feed, number, written)) {
            finished_.store(Pack(number, static_cast<uint64_t>(written)), std::memory_order_release);
            feed.reset();
        }
        // The first frames are on the ring before a resting output starts again.
        if (command.plan && resting_.load()) Wake();
        if (!feed && !resting_.load() && SteadyNs() - lastCommandNs >= kRestAfterNs &&
            SteadyNs() - endHearNs_.load(std::memory_order_acquire) >= kRestAfterNs)
            Rest();
    }
}

int64_t OutputEngine::Nap(bool feeding) const {
    if (!feeding) return kIdleNapMs;
    // Until the ring is down to kRefillMs of sound.
    const auto queued = static_cast<int64_t>(ring_.ReadableFrames());
    const int64_t ms = (queued - kRefillMs * sampleRate_ / 1000) * 1000 / sampleRate_;
    return std::clamp<int64_t>(ms, kShortestNapMs, kLeadMs - kRefillMs);
}

void OutputEngine::Rest() {
    resting_.store(true, std::memory_order_release);
    Pa_StopStream(stream_);   // plays out what it holds: silence
}

void OutputEngine::Wake() {
    lastCallbackNs_.store(SteadyNs(), std::memory_order_relaxed);
    PaError error;
    {
        QuietStderr quiet;
        error = Pa_StartStream(stream_);
    }
    // The output cannot come back (the sound server went while it rested):
    // it counts as closed, and the device makes a new one at the next Play.
    if (error != paNoError) streamEnded_.store(true, std::memory_order_release);
    resting_.store(false, std::memory_order_release);
    RaiseSoundServerThreads();
}

int OutputEngine::Callback(const void*, void* output, unsigned long frameCount, const PaStreamCallbackTimeInfo* time,
                           PaStreamCallbackFlags, void* user) {
    static_cast<OutputEngine*>(user)->Render(static_cast<float*>(output), static_cast<int64_t>(frameCount), time);
    return paContinue;
}

void OutputEngine::Render(float* out, int64_t frames, const PaStreamCallbackTimeInfo* time) {
    const int64_t now = SteadyNs();
    lastCallbackNs_.store(now, std::memory_order_relaxed);
    std::fill(out, out + frames * outChannels_, 0.0f);

    // Move on to the newest play on the ring. The frames counted before its
    // mark is read all belong to it or to plays before it: the producer
    // marks a play before it writes its frames.
    size_t queued;
    for (;;) {
        queued = ring_.ReadableFrames();
        const uint64_t published = published_.load(std::memory_order_acquire);
        if (IsOf(published, current_)) break;
        current_ = NumberOf(published, requested_.load(std::memory_order_acquire));
        ring_.SkipTo(CountOf(published));
        handed_.store(0, std::memory_order_relaxed);
        endHearNs_.store(INT64_MAX, std::memory_order_relaxed);
        heardToNs_ = now;
        sounding_.store(current_, std::memory_order_release);
    }
    // A newer command whose play is not on the ring yet: silence meanwhile.
    if (requested_.load(std::memory_order_acquire) != current_) return;
    if (endHearNs_.load(std::memory_order_relaxed) != INT64_MAX) return;   // heard to its end

    const int64_t handed = handed_.load(std::memory_order_relaxed);
    const uint64_t finished = finished_.load(std::memory_order_acquire);
    const int64_t total = IsOf(finished, current_) ? static_cast<int64_t>(CountOf(finished)) : INT64_MAX;
    const int64_t want = std::min({frames, total - handed, static_cast<int64_t>(queued)});
    const int64_t got = want > 0 ? static_cast<int64_t>(ring_.Read(out, static_cast<size_t>(want))) : 0;

    // When this buffer's first frame reaches the listener.
    double latency = latency_;
    if (time && time->outputBufferDacTime > 0.0) {
        const double reported = time->outputBufferDacTime - time->currentTime;
        if (reported >= 0.0 && reported < 10.0) latency = reported;
    }
    const int64_t hearNs = now + static_cast<int64_t>(latency * 1e9);
    if (handed < total) heard_.Record(hearNs, handed, got, current_);
    if (got > 0) heardToNs_ = hearNs + got * 1'000'000'000 / sampleRate_;
    handed_.store(handed + got, std::memory_order_release);
    if (handed + got >= total) endHearNs_.store(std::max(heardToNs_, now), std::memory_order_release);
}

} // namespace zv
