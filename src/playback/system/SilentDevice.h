#pragma once
// The media device used when there is no sound output: it opens and checks
// the file like the real one and "plays" it in silence, its position
// following a monotonic clock at the file's sample rate (at the play's
// speed, and going round a loop as the sound would).
#include <functional>

#include "playback/MediaDevice.h"

namespace zv {

class SilentDevice : public MediaDevice {
public:
    // Monotonic time in ns; the steady clock unless a test passes its own.
    using Clock = std::function<int64_t()>;
    explicit SilentDevice(Clock clock = {});

    void Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    int32_t SampleRate() const override { return sampleRate_; }
    int64_t LengthSamples() const override { return length_; }
    int64_t PositionSample() const override;
    void Play(int64_t from, int64_t to) override;
    void SetPlayStyle(const PlayStyle& style) override { nextStyle_ = style; }
    void Pause() override;
    void Seek(int64_t sample) override;
    bool IsPlaying() const override;
    bool HasSoundOutput() const override { return false; }

private:
    Clock clock_;
    bool open_ = false;
    int32_t sampleRate_ = 0;
    int64_t length_ = 0;
    bool playing_ = false;
    int64_t rest_ = 0;      // position while not playing
    int64_t from_ = 0;      // the stretch being played
    int64_t to_ = 0;
    int64_t startNs_ = 0;   // when it started
    PlayStyle nextStyle_;   // for the next play
    PlayStyle style_;       // of the play in progress (loopStart within it)
};

} // namespace zv
