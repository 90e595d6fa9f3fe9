#pragma once
// The sound at the recognizer's rate: mono float samples (-1..1) at
// `fromRate` Hz resampled with libsoxr to 16-bit samples at `toRate` Hz,
// clipped to the 16-bit range. An empty input or a rate of 0 or below gives
// nothing.
#include <cstdint>
#include <vector>

namespace zv {

std::vector<int16_t> ResampleTo16Bit(const std::vector<float>& mono, int32_t fromRate, int32_t toRate);

} // namespace zv
