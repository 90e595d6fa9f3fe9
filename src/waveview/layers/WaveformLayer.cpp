#include "waveview/layers/WaveformLayer.h"

#include "waveview/PeakRenderer.h"

namespace zv {

void WaveformLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea) {
    if (peaks_ && channels_.IsDefault())
        DrawWavePeaks(sound_, *peaks_, canvas, scene.pictureWidth, scene.pictureHeight, scene.view.Width());
    else
        DrawWaves(sound_, canvas, scene.pictureWidth, scene.pictureHeight, channels_);
}

} // namespace zv
