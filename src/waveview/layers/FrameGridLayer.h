#pragma once
// The frame grid: once an animation frame is at least kMinPixels wide, a
// pale lilac line at each frame's first sample, across the whole box (the
// lanes too), and the frame numbers along the top: every frame's, or every
// 2nd, 5th, 10th, 20th, ... where the numbers would not fit otherwise.
// Frames are those of common/FrameTime: frame n starts at
// FrameStartSample(n), and a sample lies in the frame that holds it.
#include <cstdint>

#include "waveview/layers/Layer.h"

namespace zv {

class FrameGridLayer : public Layer {
public:
    static constexpr double kMinPixels = 6.0;

    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;

    // Where frame n's line lies, pixels (a column's middle): what a lane
    // lines its items up with.
    static double LineX(const LayerScene& scene, int64_t frame);
    // How wide a frame is at the scene's zoom, pixels (0 without frames).
    static double FramePixels(const LayerScene& scene);
};

} // namespace zv
