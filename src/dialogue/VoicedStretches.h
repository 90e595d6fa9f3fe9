#pragma once
// Where a sound speaks: the stretches whose loudness stands clear of the
// quiet between them, split by pauses. Energy in 10 ms windows against the
// sound's own floor and peak (so a quiet recording is read as well as a
// loud one); gaps shorter than `minPauseMs` are bridged and stretches
// shorter than `minSpeechMs` dropped.
//
// Units: sample frames of `mono` (at sampleRate); end one past the last.
#include <cstdint>
#include <vector>

namespace zv {

struct Stretch {
    int64_t start = 0;
    int64_t end = 0;
    int64_t Length() const { return end - start; }
};

struct VoicingSettings {
    int minPauseMs = 120;
    int minSpeechMs = 60;
    double floorMarginDb = 15.0;   // above the quietest tenth of the windows
    double peakRangeDb = 45.0;     // within this much of the loudest windows
    double silenceDbfs = -55.0;    // nothing quieter than this is speech
};

std::vector<Stretch> FindVoicedStretches(const std::vector<float>& mono, int32_t sampleRate,
                                         const VoicingSettings& settings = {});

} // namespace zv
