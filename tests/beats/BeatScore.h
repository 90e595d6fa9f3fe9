#pragma once
// Scores found beats against the beats a piece was written on, as beat
// trackers are scored: the F-measure of beats matched one to one within a
// tolerance (one frame at 24 fps: 41.7 ms), the tempo level found (right,
// double, half, 3/2, 2/3 ...) and the same F-measure over the downbeats.
//
// Units: seconds.
#include <string>
#include <vector>

namespace zv::test {

inline constexpr double kOneFrameAt24 = 1.0 / 24;

// 2PR / (P + R) of `found` against `truth`, each true beat matched to at
// most one found beat within `tolerance`. 1 when both are empty.
double FMeasure(const std::vector<double>& found, const std::vector<double>& truth, double tolerance = kOneFrameAt24);

// The found tempo over the true one (the found beats over the true beats
// where both are), named: "right", "double", "half", "3/2", "2/3", "4/3", "3/4" or "other"
// (within 8 %), "none" without two found beats.
std::string TempoLevel(const std::vector<double>& found, const std::vector<double>& truth);

} // namespace zv::test
