#include "analysis/SpectrogramMaking.h"

namespace zv {

SpectrogramMaking::SpectrogramMaking(const SoundData& sound, const SpectrogramRequest& request)
    : sound_(sound), request_(request) {}

JobOutcome SpectrogramMaking::Run(JobProgress& progress, std::string&) {
    return ComputeSpectrogram(sound_, request_, &progress, image_) == SpectrogramOutcome::Done ? JobOutcome::Finished
                                                                                              : JobOutcome::Cancelled;
}

} // namespace zv
