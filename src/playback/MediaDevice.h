#pragma once
// The playback device behind the media control: opens a sound file by name
// and plays stretches of it. Real: PortAudioDevice (libsndfile + PortAudio);
// SilentDevice when there is no sound output; fakes in tests.
// (Interface to be completed by the playback work.)
#include <cstdint>
#include <memory>
#include <string>

namespace zv {

class MediaDevice {
public:
    virtual ~MediaDevice() = default;
};

// The real device: sound output through PortAudio, or the silent device
// when there is no sound output.
std::unique_ptr<MediaDevice> CreateSystemMediaDevice();

} // namespace zv
