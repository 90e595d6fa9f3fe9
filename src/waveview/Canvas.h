#pragma once
// A drawing surface in its own coordinate units (twips for the waveform box,
// the user scale for the timeline strip). The renderers draw through it so
// that tests can record the exact segments; the picture box paints them.
#include <cstdint>

namespace zv {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    // Clears the whole surface to its background colour.
    virtual void Clear() = 0;
    // A straight segment from (x1, y1) to (x2, y2).
    virtual void Line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // A rectangle outline through two corners given in either order, with a
    // transparent fill; a zero-width box is a vertical line.
    virtual void Box(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // A drawing pass has ended (also when it ended on an error): a canvas
    // that collects segments to paint them in one go paints them now.
    virtual void Flush() {}
};

} // namespace zv
