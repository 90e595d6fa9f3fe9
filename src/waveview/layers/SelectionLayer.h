#pragma once
// The selection's start (light red) and end (light blue) as lines across
// the box, while a sound is open in the transport.
#include "waveview/layers/Layer.h"

namespace zv {

class SelectionLayer : public Layer {
public:
    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;
};

} // namespace zv
