#include "playback/ChannelFolding.h"

#include <algorithm>

namespace zv {

void FoldChannels(const float* in, int fileChannels, int64_t frames, float* out) {
    if (fileChannels <= 2) {
        std::copy_n(in, frames * fileChannels, out);
        return;
    }
    const int evens = (fileChannels + 1) / 2;
    const int odds = fileChannels / 2;
    for (int64_t f = 0; f < frames; ++f) {
        float left = 0.0f, right = 0.0f;
        for (int c = 0; c < fileChannels; ++c) {
            const float v = in[f * fileChannels + c];
            (c % 2 == 0 ? left : right) += v;
        }
        out[2 * f] = left / static_cast<float>(evens);
        out[2 * f + 1] = right / static_cast<float>(odds);
    }
}

} // namespace zv
