#pragma once
// The waveform box's layers, drawn in the order they were added (see
// Layer.h): the first added lies at the bottom. Adding a layer is one line:
//     stack.Emplace<SpectrogramLayer>(sound);
//     stack.Emplace<TrackLaneLayer>(document.Ensure(SoundDocument::kWords));
// A layer that asks for a lane gets it under the waveform (LayOut). The
// window's stack is made in WaveformInteraction's constructor.
#include <cstddef>
#include <memory>
#include <vector>

#include "waveview/layers/Layer.h"

namespace zv {

class LayerStack {
public:
    // Where the waveform ends and each lane lies, for a box `height` pixels
    // high: lanes[i] belongs to the i-th layer (an empty area for a layer
    // without a lane). Lanes that do not fit are cut at the box's bottom.
    struct Layout {
        double waveHeight = 0;
        std::vector<LayerArea> lanes;
    };

    // Adds a layer on top of the others; returns it.
    Layer& Add(std::unique_ptr<Layer> layer);
    template <typename L, typename... Args>
    L& Emplace(Args&&... args) {
        auto layer = std::make_unique<L>(std::forward<Args>(args)...);
        L& added = *layer;
        Add(std::move(layer));
        return added;
    }

    std::size_t size() const { return layers_.size(); }
    const Layer& operator[](std::size_t i) const { return *layers_[i]; }

    // `hiddenBelow`: rows at the box's bottom that something else covers;
    // lanes, when there are any, lie above them.
    Layout LayOut(double height, double hiddenBelow = 0) const;
    // The pixels of lane the layers ask for in all.
    double LanesHeight() const;

    // Draws the layers of one surface, in order, with scene.waveHeight set
    // from the layout. What a layer raises ends the pass there: the canvas
    // is flushed and the error goes on to the caller.
    void DrawPicture(Canvas& canvas, LayerScene scene) const { Draw(Layer::Surface::Picture, canvas, scene); }
    void DrawScreen(Canvas& canvas, LayerScene scene) const { Draw(Layer::Surface::Screen, canvas, scene); }

private:
    void Draw(Layer::Surface surface, Canvas& canvas, LayerScene& scene) const;

    std::vector<std::unique_ptr<Layer>> layers_;
};

} // namespace zv
