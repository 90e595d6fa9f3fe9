#pragma once
// The loaded sound as one channel of float samples, for the analyses
// (alignment, beats, spectrogram): every channel of each sample frame
// averaged, whatever the encoding, normalised to -1..1.
//   from, to: sample frames, clipped to [0, NumSamples); to <= from gives none.
#include <cstdint>
#include <vector>

#include "sound/SoundData.h"

namespace zv {

std::vector<float> MonoMix(const SoundData& sound, int64_t from, int64_t to);

} // namespace zv
