#pragma once
// Every conversion between milliseconds, sample frames and animation frames,
// each with the rounding rule of the figure it serves. Nothing else in the
// program turns a time into frames or frames into a time.
//
// Units: ms = milliseconds (the media device's 32-bit times); samples =
// sample frames of the sound file at sampleRate Hz; frame = animation frame
// at a FrameRate of n/d frames per second (so frame k starts at
// k x 1000 x d / n ms). All of it is exact integer arithmetic, with one kept
// exception: the readouts at a whole rate (see ReadoutFrames).
//
// The rules:
//   rounded down      FrameFloor      selection labels, the sliders' maximum
//   to nearest        FrameNearest    the pointer on the timeline strip
//                     ReadoutFrames   the length and position readouts
//   time of a frame   MsOfFrame       a slider's value back to ms (nearest)
//                     FrameStartMs    where Step and Back put the position
//   samples           FrameStartSample, FrameOfSample, MsToSamples, SamplesToMs
//   seconds           SecondsRoundedDown, SecondsNearest, TenthsNearest
// "Nearest" is always to nearest with halves to the even neighbour.
#include <cstdint>
#include <optional>
#include <utility>

#include "common/FrameRate.h"

namespace zv {

// round-half-even(numerator / denominator), denominator > 0.
int64_t RoundDivide(int64_t numerator, int64_t denominator);
// floor(numerator / denominator) (towards minus infinity), denominator > 0.
int64_t FloorDivide(int64_t numerator, int64_t denominator);

// ---- Frame of a time ----
// Both 32-bit rules ask that the rate times the time, rate x ms (the frame
// count in thousandths), lies within the 32-bit range, and throw
// OverflowError otherwise: at a whole rate that is the 32-bit product
// rate x ms, so at 30 frames a second times up to 71,582,788 ms (19.9 h).
// A rate of 0 gives frame 0; a negative rate negative frames.

// floor(ms x rate / 1000).
int32_t FrameFloor(int32_t ms, FrameRate rate);
// round-half-even(ms x rate / 1000).
int32_t FrameNearest(int32_t ms, FrameRate rate);

// The readouts' frame count: round-half-even(ms / 1000 x rate), 64 bits
// wide, so it never overflows. At a whole rate it is computed, as the
// readouts always have, in double precision with each step rounded to
// double ((ms / 1000.0) x rate): that differs from the exact value in rare
// halfway cases, and a whole rate reads exactly as it always did. At a
// fractional rate it is exact.
int64_t ReadoutFrames(int32_t ms, FrameRate rate);

// ---- Time of a frame ----
// A slider's frame back to ms: round-half-even(frame x 1000 / rate). The
// product frame x 1000 and the result must fit 32 bits (OverflowError).
// rate > 0; 0 throws DivisionByZeroError (callers keep their ms instead).
int32_t MsOfFrame(int32_t frame, FrameRate rate);

// Start of animation frame n in ms, round-half-even(n x 1000 / rate): the
// position Step and Back go to. rate > 0. Saturates at the 64-bit range.
int64_t FrameStartMs(int64_t frame, FrameRate rate);
// The animation frame holding the time ms: the largest n with
// FrameStartMs(n) <= ms. rate > 0.
int64_t FrameAtMs(int64_t ms, FrameRate rate);

// ---- Samples ----
// First sample of animation frame n: round-half-even(n x sampleRate / rate),
// so consecutive frames tile the sound sample-exactly and each lasts 1/rate
// s give or take one sample. rate > 0. Saturates at the 64-bit range.
int64_t FrameStartSample(int64_t frame, FrameRate rate, int32_t sampleRate);
// The animation frame that holds sample frame `sample`: the largest n with
// FrameStartSample(n) <= sample. The frame a mark, word or beat stands on
// (the grid cell it is drawn in). rate > 0, sampleRate > 0.
int64_t FrameOfSample(int64_t sample, FrameRate rate, int32_t sampleRate);

// ms -> samples and back, both rounded half to even. For sample rates above
// 1000 Hz, SamplesToMs(MsToSamples(ms)) == ms. SamplesToMs gives 0 for a
// sample rate of 0 or below; counts whose ms leave 64 bits are taken at the
// largest that fits.
int64_t MsToSamples(int64_t ms, int32_t sampleRate);
int64_t SamplesToMs(int64_t samples, int32_t sampleRate);

// The sample frames [from, to) that a selection of [startMs, endMs) covers
// in a sound of `total` frames, each end rounded down to its sample and
// kept within the sound; nothing when that is empty or sampleRate <= 0.
std::optional<std::pair<int64_t, int64_t>> SelectedSamples(int64_t startMs, int64_t endMs, int32_t sampleRate,
                                                            int64_t total);

// ---- Seconds ----
// Whole seconds of a time rounded down (the length readout) and to nearest
// (the position readout).
int64_t SecondsRoundedDown(int64_t ms);
int64_t SecondsNearest(int64_t ms);
// Tenths of a second of a time, to nearest (the selected seconds).
int64_t TenthsNearest(int64_t ms);

} // namespace zv
