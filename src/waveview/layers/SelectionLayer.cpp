#include "waveview/layers/SelectionLayer.h"

#include "waveview/layers/TimeLine.h"
#include "waveview/layers/ViewColours.h"

namespace zv {

void SelectionLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    if (!scene.transportReady || scene.view.Span() <= 0) return;
    DrawTimeLine(canvas, scene.view, area, scene.selStartSample, kSelStartColour);
    DrawTimeLine(canvas, scene.view, area, scene.selEndSample, kSelEndColour);
}

} // namespace zv
