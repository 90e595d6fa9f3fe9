#pragma once
// The spectrogram of a view of the sound: the picture of one request's
// columns, made unseen (no progress bar) for the waveform's spectrogram
// layer. It changes no track: its result is the picture, which the view
// keeps in its cache.
#include "analysis/Analysis.h"
#include "spectrum/Spectrogram.h"

namespace zv {

struct SoundData;

class SpectrogramMaking final : public Analysis {
public:
    // `sound` must outlive the run unchanged (the view stops the job before
    // the sound changes).
    SpectrogramMaking(const SoundData& sound, const SpectrogramRequest& request);

    JobOutcome Run(JobProgress& progress, std::string& reason) override;
    std::string Label() const override { return {}; }
    TrackEdit Edit(const SoundDocument&) const override { return {}; }

    // After a finished run: the picture (taken by whoever keeps it).
    SpectrogramImage& Image() { return image_; }

private:
    const SoundData& sound_;
    SpectrogramRequest request_;
    SpectrogramImage image_;
};

} // namespace zv
