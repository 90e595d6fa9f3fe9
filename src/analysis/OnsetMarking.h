#pragma once
// Mark Onsets: the onsets of a stretch of the sound, read as Find Beats
// reads them at the chosen sensitivity, each added to the Marks track as a
// plain point mark (one undo step). No onsets: nothing changes.
#include "analysis/BeatFinding.h"

namespace zv {

class OnsetMarking final : public BeatFinding {
public:
    // `threshold`: aubio's peak-picking threshold (lower: more onsets).
    OnsetMarking(const SoundData& sound, int64_t from, int64_t to, double threshold);

    std::string Label() const override { return "Finding onsets"; }
    TrackEdit Edit(const SoundDocument& document) const override;
};

} // namespace zv
