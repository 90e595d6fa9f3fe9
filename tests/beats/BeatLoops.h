#pragma once
// Drum loops made at test time, with the beat times they were made from:
// a kick on beats 1 and 3 (louder on the downbeat), a snare on 2 and 4, a
// hat on every eighth (swung: the off-beat eighth two thirds into the
// beat), a little noise under it all. The soft kind has no drums: a bowed
// line, a note a beat held for 60 % of it, each swelling in over 40 ms. The tempo may drift evenly
// from start to end.
#include <cstdint>
#include <vector>

namespace zv::test {

struct LoopSpec {
    double bpm = 120;
    int32_t sampleRate = 44100;
    double offsetSeconds = 0;     // silence (noise) before the first beat
    double seconds = 20;          // the whole sound
    bool swing = false;
    bool soft = false;
    double noise = 0.003;         // peak of the white noise under the loop
    double drift = 0;             // the last beat's tempo / the first's - 1
    uint32_t seed = 1;
};

struct Loop {
    std::vector<float> mono;          // -1..1
    std::vector<double> beatSeconds;  // where each beat was struck (the first is a downbeat)
};

Loop MakeLoop(const LoopSpec& recipe);

// White noise (uniform, peak `level`) of `seconds`.
std::vector<float> MakeNoise(double seconds, int32_t sampleRate, double level, uint32_t seed);

} // namespace zv::test
