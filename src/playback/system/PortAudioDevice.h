#pragma once
// The real media device: reads the file with libsndfile and sounds it
// through PortAudio's default output.
//
// While a file is open one output runs (OutputEngine), playing silence when
// idle; each Play, step, click and scrub is a command to it, so none opens
// or closes a stream, and a new play is heard within the output's latency.
// A compressed file whose frames the caller decoded (OfferDecoded) is
// played from those frames in memory (DecodedSound), with no seeking and no
// second decode; without them it streams from the file.
// A play may loop and may be slowed (see PlayFeed): the position is then
// mapped back to the file's own frames.
//
// A lost output (the sound server gone) never stops the clock: the play
// goes on in silence from the sample it broke off at, and a play that
// cannot start plays in silence. The loss is told once (TakeOutputFailure);
// every later Play tries the output again, so the sound comes back with the
// server.
#include <cstdint>
#include <memory>
#include <optional>

#include "playback/MediaDevice.h"
#include "playback/PlayFeed.h"

namespace zv {

class DecodedSound;
class OutputEngine;
class SilentDevice;
class SoundFile;

class PortAudioDevice : public MediaDevice {
public:
    // Starts PortAudio (keeping its probe messages off stderr). Throws
    // DeviceError when PortAudio cannot start or has no default output.
    PortAudioDevice();
    ~PortAudioDevice() override;
    PortAudioDevice(const PortAudioDevice&) = delete;
    PortAudioDevice& operator=(const PortAudioDevice&) = delete;

    void Open(const std::string& path) override;
    void OfferDecoded(const std::string& path, std::shared_ptr<const uint8_t> samples, int channels,
                      int64_t frames) override;
    void Close() override;
    bool IsOpen() const override;
    int32_t SampleRate() const override;
    int64_t LengthSamples() const override;
    int64_t PositionSample() const override;
    void Play(int64_t from, int64_t to) override;
    void SetPlayStyle(const PlayStyle& style) override { style_ = style; }
    void Pause() override;
    void Seek(int64_t sample) override;
    bool IsPlaying() const override;
    std::string TakeOutputFailure() override;

    // The output latency of the running output in seconds; 0 with none.
    double OutputLatency() const;

private:
    // Stops the play in progress, keeping the frame heard last as the position.
    void EndPlay();
    // The output, started again when it broke; throws DeviceError when it cannot start.
    OutputEngine& Output();
    // Plays [from, to) on the silent clock, telling `reason` unless the
    // loss was told already.
    void GoSilent(int64_t from, int64_t to, const PlayStyle& style, const std::string& reason);
    // A play whose output broke goes on in silence where it broke.
    void FallBackIfLost();

    std::unique_ptr<SoundFile> file_;
    std::unique_ptr<DecodedSound> decoded_;  // a compressed file_'s frames, decoded by the caller
    std::string offeredPath_;                // OfferDecoded's, until the next Open
    std::unique_ptr<DecodedSound> offered_;
    std::unique_ptr<OutputEngine> output_;   // while file_ is open and the output works
    std::optional<PlayPlan> play_;           // the play on the output
    std::unique_ptr<SilentDevice> silent_;   // the clock that takes over a lost output (file open with file_)
    bool silentPlay_ = false;          // the play in progress runs on it
    bool lost_ = false;                // the output's loss was told; cleared when it plays again
    PlayStyle style_;                  // how the next plays sound
    std::string failure_;              // why the last ended play broke off, until taken
    int64_t rest_ = 0;                 // position while not playing
    mutable int64_t lastReported_ = 0; // keeps the position from running backwards
};

} // namespace zv
