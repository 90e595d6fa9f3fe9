#include "analysis/BeatFinding.h"

#include <vector>

#include "document/SoundDocument.h"
#include "sound/MonoMix.h"
#include "sound/SoundData.h"

namespace zv {

BeatFinding::BeatFinding(const SoundData& sound, int64_t from, int64_t to, BeatOptions options, double onsetThreshold,
                         std::string step)
    : sound_(sound), from_(from), to_(to), options_(options), onsetThreshold_(onsetThreshold), step_(std::move(step)) {}

JobOutcome BeatFinding::Run(JobProgress& progress, std::string&) {
    const std::vector<float> mono = MonoMix(sound_, from_, to_);
    if (progress.Cancelled()) return JobOutcome::Cancelled;
    std::optional<OnsetCurve> curve =
        ReadOnsets(mono.data(), mono.size(), sound_.WavFormat.nSamplesPerSec, &progress, onsetThreshold_);
    if (!curve || progress.Cancelled()) return JobOutcome::Cancelled;
    found_ = PlaceBeats(*curve, from_, options_);
    curve_ = std::move(*curve);
    return progress.Cancelled() ? JobOutcome::Cancelled : JobOutcome::Finished;
}

TrackEdit BeatFinding::Edit(const SoundDocument&) const {
    // No steady beat: the Beats track stays as it was.
    if (!found_.steady) return {};
    return {step_, {{SoundDocument::kBeats, BeatItems(found_)}}};
}

} // namespace zv
