#include "waveview/layers/PlayLineLayer.h"

#include "waveview/layers/TimeLine.h"
#include "waveview/layers/ViewColours.h"

namespace zv {

void PlayLineLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    if (!scene.transportReady || scene.view.Span() <= 0) return;
    DrawTimeLine(canvas, scene.view, area, scene.positionSample, kPlayLineColour);
}

} // namespace zv
