#pragma once
// View > Snap to Beats: a place the user sets (a mark, a selection end, a
// breakdown edge) moves to the nearest beat or half-beat. Before the first
// beat and after the last one the beats' own spacing is carried on, so a
// place just outside them still lands on the grid.
//
// Units: sample frames.
#include <cstdint>
#include <vector>

namespace zv {

// `beats`: sample frames, rising. With no beat, `sample` itself; with one,
// that beat.
int64_t SnapToBeats(int64_t sample, const std::vector<int64_t>& beats);

} // namespace zv
