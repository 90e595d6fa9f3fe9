#include "sound/MonoMix.h"

#include <algorithm>

#include "sound/SampleReaders.h"

namespace zv {

std::vector<float> MonoMix(const SoundData& sound, int64_t from, int64_t to) {
    if (!sound.WavLoaded) return {};
    from = std::max<int64_t>(from, 0);
    to = std::min<int64_t>(to, sound.NumSamples);
    if (to <= from) return {};
    const int channels = std::max<int>(sound.WavFormat.nChannels, 1);
    std::vector<float> out(static_cast<std::size_t>(to - from));
    for (int64_t f = from; f < to; ++f) {
        double sum = 0;
        for (int c = 0; c < channels; ++c) sum += NormalizedSample(sound, static_cast<int32_t>(f), c);
        out[static_cast<std::size_t>(f - from)] = static_cast<float>(sum / channels);
    }
    return out;
}

} // namespace zv
