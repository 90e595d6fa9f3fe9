#include "volume/SpeakerVolume.h"

#include <algorithm>

#include "volume/Mixer.h"

namespace zv {

SpeakerVolume::SpeakerVolume(Mixer& mixer) : mixer_(mixer) {}

SpeakerVolume::Setup SpeakerVolume::SetupVolume() {
    if (setUp_) return {};
    setUp_ = true;

    if (!mixer_.Open()) return {std::nullopt, Report::Failure("Couldn't open the mixer.")};
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t current = 0;
    if (!mixer_.FindVolumeControl(minimum, maximum, current) || minimum > maximum) return {};

    haveVolumeControl_ = true;
    // The slider clamps as well; clamping here keeps `written_` equal to what
    // the slider will show, so a pointer passing over it writes nothing.
    written_ = std::clamp(current, minimum, maximum);
    return {SliderSettings{minimum, maximum, written_}, {}};
}

bool SpeakerVolume::SliderMoved(int32_t value) {
    if (!haveVolumeControl_) return false;
    if (!pending_ && value == written_) return false;
    const bool firstSinceFlush = !pending_;
    pending_ = value;
    return firstSinceFlush;
}

void SpeakerVolume::WritePendingVolume() {
    if (!pending_) return;
    const int32_t value = *pending_;
    pending_.reset();
    if (value == written_) return;  // moved away and back before the flush
    written_ = value;
    mixer_.SetVolume(value);
}

} // namespace zv
