#pragma once
// The system mixer's speaker volume control. Real: AlsaMixer ("default"
// control device, "Master" playback volume); tests use a fake.
#include <cstdint>
#include <memory>

namespace zv {

class Mixer {
public:
    virtual ~Mixer() = default;
    // Opens mixer 0. Returns false when it cannot be opened.
    virtual bool Open() = 0;
    // Looks up the speaker volume control. On success fills its range and
    // current volume (the average of the channels) and returns true.
    virtual bool FindVolumeControl(int32_t& minimum, int32_t& maximum, int32_t& current) = 0;
    // Writes one value to all channels of the control. Returns true when the
    // mixer accepted it; false when nothing is open or the write failed.
    virtual bool SetVolume(int32_t value) = 0;
};

// The real mixer: ALSA simple mixer, "default" device, "Master" element.
std::unique_ptr<Mixer> CreateSystemMixer();

} // namespace zv
