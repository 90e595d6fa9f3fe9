#pragma once
// Find Beats: the onsets of a stretch of the sound read (nearly all of the
// time), then the beats placed on them. Its edit sets the Beats track when
// it found a steady beat; the onset curve stays readable, for placing the
// beats again at another tempo without reading the sound again.
//
// Units: sample frames of the sound.
#include <cstdint>

#include "analysis/Analysis.h"
#include "beats/BeatAnalysis.h"

namespace zv {

struct SoundData;

class BeatFinding : public Analysis {
public:
    // Reads sample frames [from, to) of `sound`, which must outlive the run
    // and stay unchanged while it runs. `onsetThreshold`: aubio's
    // peak-picking threshold for the onsets (0: its own). `step`: the undo
    // step's name.
    BeatFinding(const SoundData& sound, int64_t from, int64_t to, BeatOptions options, double onsetThreshold,
                std::string step);

    JobOutcome Run(JobProgress& progress, std::string& reason) override;
    std::string Label() const override { return "Finding beats"; }
    TrackEdit Edit(const SoundDocument& document) const override;

    // After a finished run: the onsets read, from sample frame From(), and
    // the beats placed on them (not steady when there is no pulse).
    const OnsetCurve& Curve() const { return curve_; }
    int64_t From() const { return from_; }
    const BeatAnalysis& Found() const { return found_; }
    const std::string& Step() const { return step_; }

private:
    const SoundData& sound_;
    int64_t from_;
    int64_t to_;
    BeatOptions options_;
    double onsetThreshold_;
    std::string step_;
    OnsetCurve curve_;
    BeatAnalysis found_;
};

} // namespace zv
