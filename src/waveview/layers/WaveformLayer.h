#pragma once
// The waveform (or, with "Show Peaks", its peaks) of the loaded sound's view
// window, into the box's kept picture: what DrawWaves and DrawWavePeaks draw
// (see WaveRenderer.h, PeakRenderer.h), in the waveform's part of the box.
// It clears the picture first, so it is the stack's first Picture layer.
// Raises what the renderers raise.
#include "sound/SoundData.h"
#include "waveview/PeakSummary.h"
#include "waveview/WaveRenderer.h"
#include "waveview/layers/Layer.h"

namespace zv {

class WaveformLayer : public Layer {
public:
    // `sound` is the loaded-sound record (its ViewStart/ViewEnd say what is
    // shown); it must outlive the layer.
    explicit WaveformLayer(const SoundData& sound) : sound_(sound) {}

    Surface DrawsOn() const override { return Surface::Picture; }
    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;

    // The summary to draw peaks from, or null for the waveform itself. The
    // summary is of the first two channels: with other channels chosen the
    // waveform is drawn point by point.
    void SetPeaks(const PeakSummary* peaks) { peaks_ = peaks; }
    // The channels the two traces show.
    void SetChannels(DrawnChannels channels) { channels_ = channels; }
    DrawnChannels Channels() const { return channels_; }

private:
    const SoundData& sound_;
    const PeakSummary* peaks_ = nullptr;
    DrawnChannels channels_;
};

} // namespace zv
