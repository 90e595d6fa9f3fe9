#pragma once
// The one sound output of an open sound file: a PortAudio stream on the
// default output that starts with the engine and runs, playing silence
// while nothing plays, until the engine goes. Plays are commands to it;
// none of them opens or closes a stream.
//
// Three threads meet here, none waiting on another:
//   - the caller's (the window's): Play and Stop post a numbered command
//     and return at once; Now reads what is being heard;
//   - the producer: takes the newest command, reads the play's frames
//     (looped, slowed: PlayFeed) from memory where the sound is decoded
//     there (DecodedSound), else from the file, and keeps a ring of them
//     between a quarter and half a second ahead of the output, sleeping
//     while the ring holds more than the quarter;
//   - the output callback: reads only memory. A command cuts the play
//     before it at the next buffer (silence until the new play's frames
//     are on the ring); each play's frames follow those already queued at
//     the output, so a new play is heard within the output's latency.
//
// The producer marks where each play's frames begin on the ring before it
// writes them, so the callback never plays one play's frames as another's.
// An output idle for two seconds rests (the stream stops, still open) and
// the next command starts it again, so that an open sound left alone costs
// no processor time.
// What is heard is worked out from the buffers the callback hands on
// (HeardPosition, tagged with the play's number).
//
// Units: sample frames of the file, at its sample rate (the stream's).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "playback/ChannelFolding.h"
#include "playback/FrameRing.h"
#include "playback/HeardPosition.h"
#include "playback/PlayFeed.h"
#include <portaudio.h>

namespace zv {

class DecodedSound;
class SoundFile;

class OutputEngine {
public:
    // Opens and starts the default output at the file's rate. Throws
    // DeviceError when it cannot. The file, and `decoded` (its frames in
    // memory, or null), must outlive the engine; the file is read only by
    // the engine's producer from then on.
    OutputEngine(SoundFile& file, const DecodedSound* decoded);
    ~OutputEngine();
    OutputEngine(const OutputEngine&) = delete;
    OutputEngine& operator=(const OutputEngine&) = delete;

    // Plays `plan`, cutting whatever sounds now.
    void Play(const PlayPlan& plan);
    // Silence from the next buffer on.
    void Stop();

    struct Heard {
        int64_t frame;   // the file frame of the current play being heard
        bool sounding;   // false once its last frame has been heard
    };
    // For the play last started with Play (and not stopped since).
    Heard Now() const;

    // Why the output broke (it closed, or its callbacks stopped coming);
    // null while it runs.
    const char* Failure() const;

    // The output latency the stream reported when it opened, in seconds.
    double Latency() const { return latency_; }

private:
    struct Command {
        uint64_t number = 0;
        std::optional<PlayPlan> plan;   // none: stop
    };

    void Post(std::optional<PlayPlan> plan);
    void ProducerLoop();
    // The producer's sleep (ms) before it looks at the ring again, unless a
    // command wakes it: while `feeding` a play, until the ring is down to
    // a quarter of a second; else a while, to see whether the output may rest.
    int64_t Nap(bool feeding) const;
    // The producer's: stops an output idle for a while, and starts it again.
    void Rest();
    void Wake();
    // Tops the ring up for `feed`, play `number`; false once the play has no more frames.
    bool Fill(PlayFeed& feed, uint64_t number, int64_t& written);
    // The producer's reading: moves the read point; reads on from it,
    // folded to the output's channels.
    void SeekTo(int64_t frame);
    int64_t ReadFolded(float* out, int64_t frames);
    static int Callback(const void*, void* output, unsigned long frameCount, const PaStreamCallbackTimeInfo* time,
                        PaStreamCallbackFlags, void* user);
    void Render(float* out, int64_t frames, const PaStreamCallbackTimeInfo* time);

    SoundFile& file_;
    const DecodedSound* const decoded_;
    int64_t readAt_ = 0;    // the producer's read point
    int64_t fileAt_ = -1;   // the file's own, when known
    const int fileChannels_;
    const int outChannels_;
    const StereoFold fold_;
    const int32_t sampleRate_;
    FrameRing ring_;
    HeardPosition heard_{0};   // output frames of each play
    std::vector<float> fileBuffer_;   // the producer's: frames as the file holds them
    std::vector<float> outBuffer_;    // the producer's: frames for the ring

    // Commands: the caller writes, the producer takes (under mutex_), the
    // callback sees the number.
    std::atomic<uint64_t> requested_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
    Command pending_;
    bool quit_ = false;
    std::thread producer_;

    // Producer to callback, each a play's number and a frame count packed
    // in one word: where the play's frames begin on the ring, and how many
    // it has once its last is on the ring.
    std::atomic<uint64_t> published_{0};
    std::atomic<uint64_t> finished_{0};

    // Callback to caller.
    std::atomic<uint64_t> sounding_{0};          // the play the callback is on
    std::atomic<int64_t> handed_{0};             // its frames handed to the output
    std::atomic<int64_t> endHearNs_{INT64_MAX};  // when its last frame has been heard
    std::atomic<int64_t> lastCallbackNs_{0};
    std::atomic<bool> streamEnded_{false};
    std::atomic<bool> resting_{false};           // stopped while idle (the producer's to change)

    // The caller's own.
    uint64_t number_ = 0;
    std::optional<PlayPlan> plan_;

    // The callback's own.
    uint64_t current_ = 0;
    int64_t heardToNs_ = 0;   // when the play's frames handed so far will have been heard

    double latency_ = 0.0;   // s, as the stream reported at its start
    PaStream* stream_ = nullptr;
};

} // namespace zv
