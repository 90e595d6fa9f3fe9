#pragma once
// Frame arithmetic for stepping through a sound one animation frame at a
// time. Units: ms = milliseconds; samples = sample frames of the sound file;
// frame = animation frame at `fps` animation frames per second (fps > 0).
// Every rounding here is to nearest with halves to even, done exactly on
// integers, so boundaries never drift with floating-point error.
#include <cstdint>

namespace zv {

// round-half-even(numerator / denominator) for denominator > 0.
int64_t RoundDivide(int64_t numerator, int64_t denominator);

// Start of animation frame n in ms: round-half-even(n * 1000 / fps).
int64_t FrameStartMs(int64_t frame, int32_t fps);

// The animation frame holding the time `ms`: the largest n with
// FrameStartMs(n) <= ms.
int64_t FrameAtMs(int64_t ms, int32_t fps);

// First sample of animation frame n: round-half-even(n * sampleRate / fps),
// so that consecutive frames tile the sound sample-exactly and each one
// lasts 1/fps s give or take one sample.
int64_t FrameStartSample(int64_t frame, int32_t fps, int32_t sampleRate);

// ms -> samples and back, both rounded half to even. For sample rates above
// 1000 Hz, SamplesToMs(MsToSamples(ms)) == ms.
int64_t MsToSamples(int64_t ms, int32_t sampleRate);
int64_t SamplesToMs(int64_t samples, int32_t sampleRate);

} // namespace zv
