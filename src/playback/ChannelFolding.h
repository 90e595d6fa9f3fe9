#pragma once
// How the sound output plays a file's channels: mono and stereo as they
// are, more than two folded to stereo, the even channels (0, 2, 4, ...)
// averaged into the left and the odd ones (1, 3, 5, ...) into the right.
#include <cstdint>

namespace zv {

// The number of output channels for a file of `fileChannels` (1 or more).
inline int OutputChannels(int fileChannels) { return fileChannels < 2 ? fileChannels : 2; }

// Writes `frames` sample frames of `fileChannels` interleaved samples from
// `in` to `out` as OutputChannels(fileChannels) interleaved samples.
void FoldChannels(const float* in, int fileChannels, int64_t frames, float* out);

} // namespace zv
