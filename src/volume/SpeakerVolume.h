#pragma once
// The volume slider's link to the speaker volume control of the system mixer.
//
// At start-up SetupVolume opens the mixer and hands back the settings the
// slider takes: the control's range, and its current volume as the value (so
// starting the program never changes what the speakers play at). Afterwards
// every change of the slider's value is queued with SliderMoved and written
// by WritePendingVolume. A write waits for the sound server, so the window
// calls WritePendingVolume once per event-loop pass: a quick drag costs one
// write per pass and the latest value wins.
//
// Values are in the mixer control's own units (0 to 65536 through PulseAudio).
#include <cstdint>
#include <optional>

#include "common/Report.h"

namespace zv {

class Mixer;

class SpeakerVolume {
public:
    // What the slider shows once the volume control has been found.
    struct SliderSettings {
        int32_t minimum;
        int32_t maximum;
        int32_t value;  // the control's current volume, within the range
    };
    struct Setup {
        std::optional<SliderSettings> slider;  // nothing: the slider keeps its settings
        Report failure;
    };

    // Not owned; must outlive this object.
    explicit SpeakerVolume(Mixer& mixer);

    // Opens the mixer and looks up the speaker volume control. When the mixer
    // cannot be opened reports "Couldn't open the mixer." and hands back no
    // slider settings; when it has no such control hands back neither (the
    // slider keeps its design-time settings). Meant to run once, at start-up;
    // a later call hands back neither.
    Setup SetupVolume();

    // The slider now shows `value` (the user moved it, or the pointer moved
    // over it). Queues a write when the value differs from the volume last
    // written (or read at start-up); a value equal to it cancels a queued one.
    // Returns true when the caller must schedule WritePendingVolume: the first
    // queued write since the last flush. Without a volume control it does
    // nothing and returns false.
    bool SliderMoved(int32_t value);

    // Writes the queued value, if any, to all channels of the control. A
    // failed write is not reported: the user hears the result.
    void WritePendingVolume();

    // True when set-up found the volume control.
    bool HaveVolumeControl() const { return haveVolumeControl_; }
    // True while a write is queued.
    bool WritePending() const { return pending_.has_value(); }

private:
    Mixer& mixer_;
    bool setUp_ = false;
    bool haveVolumeControl_ = false;
    int32_t written_ = 0;              // the volume the control was last given or read at
    std::optional<int32_t> pending_;   // the value waiting for the next write
};

} // namespace zv
