#pragma once
// The playback device behind the media control: opens a sound file by name
// and plays stretches of it. Real: PortAudioDevice (libsndfile + PortAudio);
// SilentDevice when there is no sound output; fakes in tests.
//
// Every position and length here is in sample frames of the open file (one
// sample frame = one sample of every channel), so that a stretch can be cut
// exactly at any sample. Converting to milliseconds is the caller's business.
// All calls come from one thread (the user-interface thread).
#include <cstdint>
#include <memory>
#include <string>

namespace zv {

// How the plays from the next Play on sound.
struct PlayStyle {
    // [from, to) over and over, gapless and sample-exact at both ends, until
    // Pause; after the first pass it goes back to `loopStart` (a play
    // resumed inside a loop starts after it), or to `from` when that is
    // negative or not before `to`.
    bool loop = false;
    int64_t loopStart = -1;
    // 1: as recorded; 0.5 and 0.25: slowed without the pitch dropping. The
    // position still counts the file's own samples.
    double speed = 1.0;
    friend bool operator==(const PlayStyle&, const PlayStyle&) = default;
};

class MediaDevice {
public:
    virtual ~MediaDevice() = default;

    // Opens the sound file at `path` for playing. Returns when the file is
    // open and its length is known. On failure throws DeviceError whose
    // what() is the reason (the decoder's own text where it has one); the
    // file that was open before then stays open and untouched. On success the
    // previous file is closed and the position is 0, not playing.
    virtual void Open(const std::string& path) = 0;

    // The frames of the file at `path`, already decoded by the caller:
    // `samples` holds `frames` x `channels` interleaved 16-bit little-endian
    // samples and is held, unchanged, for as long as the device plays them.
    // The next Open of that same path plays these instead of decoding the
    // file again; any Open forgets the offer. A device that decodes nothing
    // ignores it.
    virtual void OfferDecoded(const std::string& path, std::shared_ptr<const uint8_t> samples, int channels,
                              int64_t frames) {
        (void)path, (void)samples, (void)channels, (void)frames;
    }

    // Stops playing and closes the file. Harmless when nothing is open.
    virtual void Close() = 0;

    virtual bool IsOpen() const = 0;

    // Sample frames per second of the open file; 0 with nothing open.
    virtual int32_t SampleRate() const = 0;

    // Length of the open file in sample frames; 0 with nothing open.
    virtual int64_t LengthSamples() const = 0;

    // The sample frame being heard now. While playing it follows the sound
    // that has reached the listener (frames handed to the output minus the
    // output's latency), never the frames merely decoded; it never runs
    // backwards during one play and stays within the stretch being played.
    // While not playing: where playing stopped, or where Seek put it.
    virtual int64_t PositionSample() const = 0;

    // Plays the sample frames [from, to), clamped to the file, and stops by
    // itself once the last of them has been heard; the position is then `to`.
    // Whatever was sounding before is cut at once. An empty stretch plays
    // nothing and leaves the position at `from`. Throws DeviceError when the
    // output cannot start; the device is then stopped at `from`.
    virtual void Play(int64_t from, int64_t to) = 0;

    // Sets how the next plays sound (a play in progress keeps its own). A
    // device that cannot loop or slow down plays as recorded.
    virtual void SetPlayStyle(const PlayStyle& style) { (void)style; }

    // Stops at once, dropping sound not yet heard; the position stays at the
    // frame heard last. Harmless when not playing.
    virtual void Pause() = 0;

    // Stops (as Pause) and moves the position to `sample`, clamped to the file.
    virtual void Seek(int64_t sample) = 0;

    // True from Play until the stretch has been heard to its end, Pause, Seek
    // or Close, or until the output failed (then the position stays where
    // the sound broke off).
    virtual bool IsPlaying() const = 0;

    // Why the last play ended early, when the sound output failed under it
    // (not when it was heard to its end or stopped): a few plain words, such
    // as "the sound output stopped responding". Handed out once; empty
    // otherwise. Still there after the Pause that lets go of the output.
    virtual std::string TakeOutputFailure() { return {}; }

    // False when the device plays in silence for want of a sound output
    // (the position still follows the clock).
    virtual bool HasSoundOutput() const { return true; }
};

// The real device: sound output through PortAudio on the default output, or
// the silent device when PortAudio has no usable output.
std::unique_ptr<MediaDevice> CreateSystemMediaDevice();

} // namespace zv
