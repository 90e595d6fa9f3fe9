#pragma once
// The spectrogram of the view, drawn in place of the waveform (over the
// waveform's part of the box, under the grid, the selection, the play line
// and the marks; the track lanes keep their places). Off by default; when
// off it draws nothing.
//
// It draws only from the cache: the image made for the view's own key
// (first and end sample frames, width in pixels), else the newest kept
// image that covers part of the view, stretched to where its samples lie
// (unless that makes its columns more than 8 pixels wide), while `wanted`
// is told the key so that the view's own image gets made (in the window,
// by a job on a worker thread). Without any, the waveform's part is dark.
#include <functional>

#include "spectrum/SpectrogramCache.h"
#include "waveview/layers/Layer.h"

namespace zv {

class SpectrogramLayer : public Layer {
public:
    using Wanted = std::function<void(const SpectrogramKey&)>;
    static constexpr Rgb kDark{0, 0, 0};

    // `cache` must outlive the layer.
    SpectrogramLayer(SpectrogramCache& cache, Wanted wanted) : cache_(cache), wanted_(std::move(wanted)) {}

    void SetOn(bool on) { on_ = on; }
    bool On() const { return on_; }

    // The key of the image for what `view` shows.
    static SpectrogramKey KeyOf(const WaveView& view) { return {view.Start(), view.End(), view.Width()}; }

    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;

private:
    SpectrogramCache& cache_;
    Wanted wanted_;
    bool on_ = false;
};

} // namespace zv
