#pragma once
// A loaded-sound record holding given bytes, for reader and renderer tests.
#include <cstring>
#include <string>

#include "common/Numbers.h"
#include "sound/SoundData.h"

namespace zv::test {

inline SoundData MakeSound(const std::string& bytes, int16_t blockAlign, int16_t channels = 2,
                           int16_t bits = 16) {
    SoundData s;
    s.Samples.Allocate(bytes.size(), bytes.size());
    if (!bytes.empty()) std::memcpy(s.Samples.data(), bytes.data(), bytes.size());
    s.WavFormat.nBlockAlign = blockAlign;
    s.WavFormat.nChannels = channels;
    s.WavFormat.wBitsPerSample = bits;
    s.SubChunk.cksize = static_cast<uint32_t>(bytes.size());
    s.NumSamples = blockAlign > 0 ? RoundLong(static_cast<double>(bytes.size()) / blockAlign) : 0;
    s.ViewStart = 0;
    s.ViewEnd = s.NumSamples;
    s.WavLoaded = true;
    return s;
}

}  // namespace zv::test
