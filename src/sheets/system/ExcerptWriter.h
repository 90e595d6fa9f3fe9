#pragma once
// Writes a SoundExcerpt of a sound file as a WAV file through libsndfile:
// the sound's own sample rate, channels and sample format (16, 24 or 32-bit
// PCM, 8-bit, float or double; a compressed sound becomes 16-bit PCM, or
// 24-bit when it holds 24), samples copied exactly. The file is written
// beside the target under a temporary name and renamed over it when whole,
// so a failed write leaves nothing behind and never half a file.
#include <optional>
#include <string>

#include "sheets/SoundExcerpt.h"

namespace zv {

// Nothing when written; else why not, in plain words.
std::optional<std::string> WriteSoundExcerpt(const std::string& soundPath, const SoundExcerpt& excerpt,
                                             const std::string& outputPath);

} // namespace zv
