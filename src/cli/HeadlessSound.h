#pragma once
// Reading a sound file without the window, for the headless commands: the
// same loader the window draws with (WAV of any kind straight into the
// loaded-sound record; FLAC, Ogg, Opus and MP3 decoded to 16 bits).
#include <string>

#include "sound/SoundData.h"

namespace zv {

// Loads `path` into `sound`. False, with `reason` naming the path and
// saying why, when it cannot be read. Never throws.
bool LoadSoundHeadless(const std::string& path, SoundData& sound, std::string& reason);

} // namespace zv
