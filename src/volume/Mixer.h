#pragma once
// The system mixer's speaker volume control. Real: AlsaMixer (the "default"
// control device, the "Master" playback volume); tests use a fake.
// Volumes are in the control's own units, between its minimum and maximum
// (0 to 65536 through PulseAudio).
#include <cstdint>
#include <memory>

namespace zv {

class Mixer {
public:
    virtual ~Mixer() = default;
    // False while the mixer is still being opened in the background
    // (DeferredMixer): Open would then wait for it. Plain mixers are ready.
    virtual bool Ready() const { return true; }
    // Opens mixer 0. Returns false when it cannot be opened. The mixer then
    // stays open until the object is destroyed at the end of the program.
    virtual bool Open() = 0;
    // Looks up the speaker volume control. On success fills its range and
    // current volume (the average of the channels) and returns true.
    virtual bool FindVolumeControl(int32_t& minimum, int32_t& maximum, int32_t& current) = 0;
    // Writes one value to all channels of the control and waits until the
    // mixer has taken it. Returns true when the mixer accepted it; false when
    // nothing is open, no control was found, the value lies outside the
    // control's range or the write failed.
    virtual bool SetVolume(int32_t value) = 0;
};

// The real mixer: ALSA simple mixer, "default" device, "Master" element.
std::unique_ptr<Mixer> CreateSystemMixer();

} // namespace zv
