#pragma once
// One layer of the waveform box: the waveform or its peaks, a track's lane,
// the frame grid, the selection, the play line, the marks. The box draws its
// layers over one WaveView, in the order they were added to its LayerStack,
// each through a Canvas. A layer's arithmetic is its own; it knows nothing
// of the window.
//
// Two surfaces: the box's kept picture (Surface::Picture: drawn again only
// when the view or the sound changes, in the picture's units, twips) and the
// screen over it (Surface::Screen: painted on every repaint of the box, in
// the box's logical pixels, never into the picture).
//
// Lanes: a layer may ask for a lane of its own, LaneHeight() pixels high,
// under the waveform and inside the same box. The lanes lie in the order
// their layers were added, from the waveform's bottom edge down; the
// waveform keeps what is left of the box's height. A lane shares the box's
// time axis (the view) and its frame grid.
#include <cstdint>

#include "common/FrameRate.h"
#include "waveview/Canvas.h"
#include "waveview/WaveView.h"

namespace zv {

// What every layer draws from, taken afresh for each drawing.
struct LayerScene {
    explicit LayerScene(const WaveView& shown) : view(shown) {}

    const WaveView& view;        // which samples lie across the box's width (view.Width() pixels)
    double height = 0;           // the box's height, pixels
    double waveHeight = 0;       // the waveform's part of it, from the top (set by the stack)
    double hiddenBelow = 0;      // rows at the box's bottom another control covers (no lane goes there)
    // The box's size in the picture's units (twips); to Picture layers the
    // stack hands the waveform's part (pictureHeight less the lanes).
    float pictureWidth = 0, pictureHeight = 0;
    int32_t sampleRate = 0;      // sample frames a second; 0: no sound
    FrameRate fps;               // animation frames a second (not positive: no frames)
    // The transport's state, in sample frames; shown only while a sound is open.
    bool transportReady = false;
    int64_t positionSample = 0;  // the position being heard
    int64_t selStartSample = 0, selEndSample = 0;
};

// The rows of the box a layer draws in, pixels from the box's top edge.
struct LayerArea {
    double top = 0;
    double height = 0;
    double Bottom() const { return top + height; }
};

class Layer {
public:
    enum class Surface { Picture, Screen };

    virtual ~Layer() = default;
    virtual Surface DrawsOn() const { return Surface::Screen; }
    // Pixels of lane this layer asks for under the waveform; 0: none, the
    // layer draws over the whole box.
    virtual int LaneHeight() const { return 0; }
    // Draws the layer. `area` is its lane, or the whole box for a layer
    // without one. Picture layers draw in the picture's units: the waveform's
    // part is scene.pictureWidth x scene.pictureHeight.
    virtual void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) = 0;
};

} // namespace zv
