#pragma once
// The position being heard as an amber line across the box, while a sound
// is open in the transport.
#include "waveview/layers/Layer.h"

namespace zv {

class PlayLineLayer : public Layer {
public:
    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;
};

} // namespace zv
