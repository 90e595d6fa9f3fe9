#include "waveview/layers/LayerStack.h"

#include <algorithm>

namespace zv {

Layer& LayerStack::Add(std::unique_ptr<Layer> layer) {
    layers_.push_back(std::move(layer));
    return *layers_.back();
}

double LayerStack::LanesHeight() const {
    double sum = 0;
    for (const auto& layer : layers_) sum += std::max(layer->LaneHeight(), 0);
    return sum;
}

LayerStack::Layout LayerStack::LayOut(double height, double hiddenBelow) const {
    Layout layout;
    height = std::max(height, 0.0);
    const double lanes = LanesHeight();
    // Without lanes the waveform keeps the whole box, hidden rows and all.
    if (lanes > 0) height = std::max(height - std::max(hiddenBelow, 0.0), 0.0);
    layout.waveHeight = std::max(height - lanes, 0.0);
    double top = layout.waveHeight;
    layout.lanes.reserve(layers_.size());
    for (const auto& layer : layers_) {
        const double wanted = std::max(layer->LaneHeight(), 0);
        const double lane = std::clamp(height - top, 0.0, wanted);
        layout.lanes.push_back({top, lane});
        top += lane;
    }
    return layout;
}

void LayerStack::Draw(Layer::Surface surface, Canvas& canvas, LayerScene& scene) const {
    const Layout layout = LayOut(scene.height, scene.hiddenBelow);
    scene.waveHeight = layout.waveHeight;
    // The picture's units cover the whole box: the waveform gets its part.
    if (scene.height > 0 && layout.waveHeight < scene.height)
        scene.pictureHeight = static_cast<float>(scene.pictureHeight * (layout.waveHeight / scene.height));
    const LayerArea whole{0, std::max(scene.height, 0.0)};
    try {
        for (std::size_t i = 0; i < layers_.size(); ++i) {
            const Layer& layer = *layers_[i];
            if (layer.DrawsOn() != surface) continue;
            layers_[i]->Draw(canvas, scene, layer.LaneHeight() > 0 ? layout.lanes[i] : whole);
        }
    } catch (...) {
        canvas.Flush();
        throw;
    }
    canvas.Flush();
}

} // namespace zv
