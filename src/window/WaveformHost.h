#pragma once
// What the waveform's handlers ask of the window they sit in, beyond the
// controls they are given: drawing the picture again, the panel over the
// box, the selection sliders and the box's right-click menu.
#include <cstdint>

class QPoint;

namespace zv {

class WaveformHost {
public:
    virtual ~WaveformHost() = default;
    // Draws the picture again (raises the renderer's errors).
    virtual void DrawWaves() = 0;
    // Pixel rows of the box's bottom that the panel covers.
    virtual int HiddenBelow() const = 0;
    // As if the user had moved the selection's start or end slider to this
    // animation frame.
    virtual void MoveStartSlider(int32_t frame) = 0;
    virtual void MoveEndSlider(int32_t frame) = 0;
    // A right click on the box: the sample frame under the pointer and
    // where on screen the menu goes.
    virtual void ContextMenu(int64_t sample, const QPoint& where) = 0;
};

} // namespace zv
