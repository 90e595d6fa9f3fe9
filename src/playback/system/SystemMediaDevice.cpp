// Chooses the media device for this machine.
#include "common/Errors.h"
#include "common/Log.h"
#include "playback/MediaDevice.h"
#include "playback/system/PortAudioDevice.h"
#include "playback/system/SilentDevice.h"

namespace zv {

std::unique_ptr<MediaDevice> CreateSystemMediaDevice() {
    try {
        return std::make_unique<PortAudioDevice>();
    } catch (const ZorvaneError&) {
        // No usable sound output: the control works the same, in silence.
        LogCurrentError(LogArea::Playback, "No sound output");
        return std::make_unique<SilentDevice>();
    }
}

} // namespace zv
