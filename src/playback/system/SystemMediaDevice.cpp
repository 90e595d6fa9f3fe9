// Placeholder until the playback work lands.
#include "playback/MediaDevice.h"

namespace zv {

std::unique_ptr<MediaDevice> CreateSystemMediaDevice() { return std::make_unique<MediaDevice>(); }

} // namespace zv
