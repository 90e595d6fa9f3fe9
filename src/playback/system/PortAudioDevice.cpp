#include "playback/system/PortAudioDevice.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <pa_linux_alsa.h>
#include <portaudio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "common/Errors.h"
#include "common/FrameTime.h"
#include "playback/ChannelFolding.h"
#include "playback/FrameRing.h"
#include "playback/HeardPosition.h"
#include "playback/PlayFeed.h"
#include "playback/system/SilentDevice.h"
#include "playback/system/SoundFile.h"

namespace zv {

namespace {

int64_t SteadyNs() {
    return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
}

// Debian's PortAudio probes JACK and every ALSA plugin when it starts, and
// those libraries print their failures straight to stderr. Sends stderr to
// /dev/null for the lifetime of this object.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        const int nul = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && nul >= 0) dup2(nul, STDERR_FILENO);
        if (nul >= 0) close(nul);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

std::string PortAudioReason(PaError error) {
    std::string reason = Pa_GetErrorText(error);
    if (error == paUnanticipatedHostError) {
        const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
        if (host && host->errorText && *host->errorText) reason += std::string(": ") + host->errorText;
    }
    return reason;
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

// Output latency asked for at least: enough for a busy machine to keep the
// output fed; it does not delay cuts (Pause drops what is queued) and the
// position allows for it.
constexpr double kMinLatencySeconds = 0.08;
// A buffer size of 0 lets PortAudio choose the best one for the output.
constexpr unsigned long kAnyBufferSize = 0;
constexpr int64_t kReadChunkFrames = 4096;
// How long the reader sleeps between top-ups of its one-second ring.
constexpr std::chrono::milliseconds kReaderNap{100};
// Each play begins with this much silence. A sound server that mixes a
// newly started stream into what it has already rendered ahead (PulseAudio
// rewinds its sink for that) can then only ever lose silence, never the
// first samples of the stretch; the position stays at the start meanwhile.
constexpr int64_t kLeadInMs = 20;
// Silence kept up after the last frame's expected hearing, to cover any
// error in the latency the sound system reports.
constexpr int64_t kTailNs = 60'000'000;
// With no callback for this long the output has hung: the play counts as failed.
constexpr int64_t kStallNs = 2'000'000'000;

} // namespace

struct PortAudioDevice::Session {
    Session(SoundFile& soundFile, int64_t first, int64_t last, const PlayStyle& style)
        : file(soundFile),
          fileChannels(soundFile.Channels()),
          outChannels(OutputChannels(soundFile.Channels())),
          fold(soundFile.Channels(), soundFile.Layout()),
          sampleRate(soundFile.SampleRate()),
          from(first),
          to(last),
          ring(static_cast<size_t>(soundFile.SampleRate()), OutputChannels(soundFile.Channels())),
          heard(0),
          handed(0),
          // A loop, or a slowed play, ends only when it is stopped or its
          // frames run out (the callback sees the ring drain).
          end(style.loop || style.speed != 1.0 ? INT64_MAX : last - first),
          looping(style.loop),
          style(style),
          leadInFrames(MsToSamples(kLeadInMs, soundFile.SampleRate())),
          fileBuffer(static_cast<size_t>(kReadChunkFrames * fileChannels)),
          outBuffer(static_cast<size_t>(kReadChunkFrames * outChannels)),
          feed(OutputChannels(soundFile.Channels()), soundFile.SampleRate(), first, last, style,
               [this](float* out, int64_t frames) { return ReadFolded(out, frames); },
               [this](int64_t frame) { file.Seek(frame); }) {}

    ~Session() {
        if (stream) {
            Pa_AbortStream(stream);   // drops what is not yet heard
            Pa_CloseStream(stream);
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopReader = true;
        }
        wake.notify_all();
        if (reader.joinable()) reader.join();
    }

    // Up to `frames` file frames read on and folded to the output's channels.
    int64_t ReadFolded(float* out, int64_t frames) {
        int64_t done = 0;
        while (done < frames) {
            const int64_t got = file.Read(fileBuffer.data(), std::min(frames - done, kReadChunkFrames));
            if (got <= 0) break;
            fold.Apply(fileBuffer.data(), got, out + done * outChannels);
            done += got;
        }
        return done;
    }

    // Puts the play's next frames into the ring as far as there is room, at
    // most `limit` of them. Returns false once nothing more will come: the
    // stretch is out, or the file ended early or failed.
    bool Fill(int64_t limit = INT64_MAX) {
        while (limit > 0) {
            const int64_t room = static_cast<int64_t>(ring.WritableFrames());
            if (room == 0) return true;
            const int64_t got = feed.Next(outBuffer.data(), std::min({room, kReadChunkFrames, limit}));
            if (got <= 0) return false;
            ring.Write(outBuffer.data(), static_cast<size_t>(got));
            limit -= got;
        }
        return true;
    }

    void ReaderLoop() {
        for (;;) {
            if (!Fill()) {
                readerDone.store(true, std::memory_order_release);
                return;
            }
            std::unique_lock<std::mutex> lock(mutex);
            if (wake.wait_for(lock, kReaderNap, [this] { return stopReader; })) return;
        }
    }

    static int Callback(const void*, void* output, unsigned long frameCount,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* user) {
        Session& s = *static_cast<Session*>(user);
        const int64_t now = SteadyNs();
        s.lastCallbackNs.store(now, std::memory_order_relaxed);
        float* out = static_cast<float*>(output);
        const int64_t frames = static_cast<int64_t>(frameCount);
        const int64_t handed = s.handed.load(std::memory_order_relaxed);
        const int64_t end = s.end.load(std::memory_order_relaxed);
        // The lead-in silence comes first, then the stretch's frames.
        const int64_t lead = std::min(frames, s.leadInFrames);
        s.leadInFrames -= lead;
        std::fill(out, out + lead * s.outChannels, 0.0f);
        int64_t got = 0;
        if (handed < end) {
            const int64_t want = std::min(frames - lead, end - handed);
            got = static_cast<int64_t>(s.ring.Read(out + lead * s.outChannels, static_cast<size_t>(want)));
            // The reader gave up (file cut short or unreadable): end with what came.
            if (got < want && s.readerDone.load(std::memory_order_acquire) && s.ring.ReadableFrames() == 0)
                s.end.store(handed + got, std::memory_order_release);
        }
        std::fill(out + (lead + got) * s.outChannels, out + frames * s.outChannels, 0.0f);

        if (handed < end) {
            // When this buffer's first frame of the stretch reaches the listener.
            double latency = s.fallbackLatency;
            if (time && time->outputBufferDacTime > 0.0) {
                const double reported = time->outputBufferDacTime - time->currentTime;
                if (reported >= 0.0 && reported < 10.0) latency = reported;
            }
            const int64_t hearNs = now + static_cast<int64_t>(latency * 1e9) + lead * 1000000000 / s.sampleRate;
            s.heard.Record(hearNs, handed, got);
            s.handed.store(handed + got, std::memory_order_release);
            if (handed + got >= s.end.load(std::memory_order_relaxed))
                s.endHearNs.store(hearNs + got * 1000000000 / s.sampleRate, std::memory_order_release);
            return paContinue;
        }
        // Everything is out. Silence follows until the last frame has been
        // heard, so that closing the stream can only ever drop silence (the
        // sound server's drain drops what it still holds).
        return now >= s.endHearNs.load(std::memory_order_relaxed) + kTailNs ? paComplete : paContinue;
    }

    static void Finished(void* user) {
        static_cast<Session*>(user)->finished.store(true, std::memory_order_release);
    }

    SoundFile& file;
    const int fileChannels;
    const int outChannels;
    const StereoFold fold;                     // the file's channels to the output's
    const int32_t sampleRate;
    const int64_t from;
    const int64_t to;
    FrameRing ring;
    HeardPosition heard;                       // in output frames of this play
    std::atomic<int64_t> handed;               // next output frame (from 0)
    std::atomic<int64_t> end;                  // output frames that will be played in all
    const bool looping;
    const PlayStyle style;
    std::atomic<int64_t> endHearNs{INT64_MAX}; // when that frame will have been heard
    std::atomic<bool> readerDone{false};       // nothing more will enter the ring
    std::atomic<bool> finished{false};         // PortAudio ended the stream
    std::atomic<int64_t> lastCallbackNs{0};
    double fallbackLatency = 0.0;              // s, when a callback reports none
    int64_t leadInFrames;                      // silence still to come before the stretch (callback only)
    PaStream* stream = nullptr;
    std::thread reader;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopReader = false;
    std::vector<float> fileBuffer;
    std::vector<float> outBuffer;
    PlayFeed feed;                             // after the buffers its reader uses
    bool failureTaken = false;                 // TakeOutputFailure handed out this play's failure

    // Why the play broke off before its end, or null while it plays on or
    // once it has been heard to the end.
    const char* Failure() const {
        const int64_t now = SteadyNs();
        if (handed.load(std::memory_order_acquire) >= end.load(std::memory_order_acquire) &&
            now >= endHearNs.load(std::memory_order_acquire))
            return nullptr;
        if (finished.load(std::memory_order_acquire)) return "the sound output closed";
        if (now - lastCallbackNs.load(std::memory_order_relaxed) >= kStallNs)
            return "the sound output stopped responding";
        return nullptr;
    }
};

PortAudioDevice::PortAudioDevice() {
    PaError error;
    {
        QuietStderr quiet;
        error = Pa_Initialize();
    }
    if (error != paNoError) throw DeviceError(PortAudioReason(error));
    if (Pa_GetDefaultOutputDevice() == paNoDevice) {
        QuietStderr quiet;
        Pa_Terminate();
        throw DeviceError("There is no sound output.");
    }
}

PortAudioDevice::~PortAudioDevice() {
    Close();
    QuietStderr quiet;
    Pa_Terminate();
}

void PortAudioDevice::Open(const std::string& path) {
    auto file = std::make_unique<SoundFile>(path);   // throws; the open file stays
    auto silent = std::make_unique<SilentDevice>();
    silent->Open(path);
    EndSession();
    file_ = std::move(file);
    silent_ = std::move(silent);
    rest_ = 0;
    lastReported_ = 0;
}

void PortAudioDevice::Close() {
    EndSession();
    file_.reset();
    silent_.reset();
    rest_ = 0;
    lastReported_ = 0;
}

bool PortAudioDevice::IsOpen() const { return file_ != nullptr; }

int32_t PortAudioDevice::SampleRate() const { return file_ ? file_->SampleRate() : 0; }

int64_t PortAudioDevice::LengthSamples() const { return file_ ? file_->Frames() : 0; }

int64_t PortAudioDevice::PositionSample() const {
    if (silentPlay_) return silent_->PositionSample();
    if (!session_) return rest_;
    const Session& s = *session_;
    const int64_t now = SteadyNs();
    const int64_t handed = s.handed.load(std::memory_order_acquire);
    const int64_t end = s.end.load(std::memory_order_acquire);
    int64_t position;
    if (handed >= end && now >= s.endHearNs.load(std::memory_order_acquire)) {
        position = std::min(s.feed.FileFrameOf(end), s.to);   // every frame has been heard
    } else {
        position = s.feed.FileFrameOf(std::clamp<int64_t>(s.heard.At(now, s.sampleRate), 0, std::min(handed, end)));
        position = std::min(position, s.to);
    }
    // A loop goes back at its seam; any other play only forwards.
    if (!s.looping) position = std::max(position, lastReported_);
    lastReported_ = position;
    return position;
}

bool PortAudioDevice::IsPlaying() const {
    if (silentPlay_) return silent_->IsPlaying();
    if (!session_) return false;
    const Session& s = *session_;
    // Broken off: it goes on in silence once TakeOutputFailure has seen it.
    if (!s.failureTaken && s.Failure()) return true;
    const int64_t now = SteadyNs();
    if (s.finished.load(std::memory_order_acquire)) return false;   // the output ended or broke
    if (s.handed.load(std::memory_order_acquire) >= s.end.load(std::memory_order_acquire) &&
        now >= s.endHearNs.load(std::memory_order_acquire))
        return false;   // heard to the end
    return now - s.lastCallbackNs.load(std::memory_order_relaxed) < kStallNs;
}

std::string PortAudioDevice::TakeOutputFailure() {
    FallBackIfLost();
    return std::exchange(failure_, {});
}

void PortAudioDevice::FallBackIfLost() {
    if (!session_ || session_->failureTaken) return;
    const char* failure = session_->Failure();
    if (!failure) return;
    session_->failureTaken = true;
    const int64_t at = PositionSample();
    const int64_t to = session_->to;
    PlayStyle style = session_->style;
    if (style.loopStart < 0) style.loopStart = session_->from;
    session_.reset();
    if (at < to || style.loop) GoSilent(at, to, style, failure);
    else if (!lost_) failure_ = failure;
    rest_ = at;
}

void PortAudioDevice::GoSilent(int64_t from, int64_t to, const PlayStyle& style, const std::string& reason) {
    if (!lost_) failure_ = reason;
    lost_ = true;
    silent_->SetPlayStyle(style);
    silent_->Play(from, to);
    silentPlay_ = true;
}

void PortAudioDevice::Play(int64_t from, int64_t to) {
    EndSession();
    if (!lost_) failure_.clear();   // the new play supersedes the old one's end
    if (!file_) return;
    try {
        PlayOnOutput(from, to);
        lost_ = false;   // the output is back
    } catch (const DeviceError& e) {
        // No output now: the clock plays on in silence, told once.
        GoSilent(std::clamp<int64_t>(from, 0, file_->Frames()), std::clamp<int64_t>(to, 0, file_->Frames()), style_,
                 e.what());
    }
}

void PortAudioDevice::PlayOnOutput(int64_t from, int64_t to) {
    const int64_t length = file_->Frames();
    from = std::clamp<int64_t>(from, 0, length);
    to = std::clamp<int64_t>(to, 0, length);
    rest_ = from;
    lastReported_ = from;
    if (from >= to) return;

    file_->Seek(from);
    auto session = std::make_unique<Session>(*file_, from, to, style_);
    // Read ahead before the output starts, so it never begins starved (a
    // slowed play only a little: stretching takes time).
    if (!session->Fill(session->feed.Stretched() ? file_->SampleRate() / 4 : INT64_MAX))
        session->readerDone.store(true);

    PaStreamParameters params{};
    params.device = Pa_GetDefaultOutputDevice();
    if (params.device == paNoDevice) throw DeviceError("There is no sound output.");
    const PaDeviceInfo* info = Pa_GetDeviceInfo(params.device);
    params.channelCount = session->outChannels;
    params.sampleFormat = paFloat32;
    params.suggestedLatency = std::max(info ? info->defaultHighOutputLatency : 0.0, kMinLatencySeconds);
    PaError error;
    {
        QuietStderr quiet;   // a vanished sound server makes the ALSA plugins chatter
        error = Pa_OpenStream(&session->stream, nullptr, &params, file_->SampleRate(),
                              kAnyBufferSize, paNoFlag, &Session::Callback, session.get());
    }
    if (error != paNoError) {
        session->stream = nullptr;
        throw DeviceError(PortAudioReason(error));
    }
    Pa_SetStreamFinishedCallback(session->stream, &Session::Finished);
    if (const PaStreamInfo* streamInfo = Pa_GetStreamInfo(session->stream))
        session->fallbackLatency = streamInfo->outputLatency;
    if (!session->readerDone.load()) session->reader = std::thread(&Session::ReaderLoop, session.get());
    // The callback reads only memory: on ALSA it runs at real-time
    // priority where the system allows it, so a busy machine (or the reader
    // stretching a slowed play) does not starve the output.
    if (const PaHostApiInfo* host = info ? Pa_GetHostApiInfo(info->hostApi) : nullptr; host && host->type == paALSA)
        PaAlsa_EnableRealtimeScheduling(session->stream, 1);
    RaiseSoundServerThreads();
    session->lastCallbackNs.store(SteadyNs());
    error = Pa_StartStream(session->stream);
    if (error != paNoError) throw DeviceError(PortAudioReason(error));   // the session cleans up
    session_ = std::move(session);
}

void PortAudioDevice::Pause() { EndSession(); }

void PortAudioDevice::Seek(int64_t sample) {
    EndSession();
    rest_ = std::clamp<int64_t>(sample, 0, LengthSamples());
    lastReported_ = rest_;
}

// Stops the play in progress, keeping the frame heard last as the position.
void PortAudioDevice::EndSession() {
    if (silentPlay_) {
        silent_->Pause();
        rest_ = silent_->PositionSample();
        silentPlay_ = false;
    }
    if (!session_) return;
    if (!session_->failureTaken) {
        if (const char* failure = session_->Failure(); failure && !lost_) {
            failure_ = failure;
            lost_ = true;
        }
    }
    rest_ = PositionSample();
    session_.reset();
}

} // namespace zv
