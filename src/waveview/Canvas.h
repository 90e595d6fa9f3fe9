#pragma once
// A drawing surface in its own coordinate units (twips for the waveform
// box's kept picture, pixels for what the box paints over it on screen, the
// user scale for the timeline strip). The renderers and the view's layers
// draw through it so that tests can record the exact segments; the picture
// box and the window's painter canvas paint them.
#include <cstdint>
#include <limits>
#include <string_view>

namespace zv {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// How a line is stroked: its colour, how much it covers what lies under it
// (255: fully), and whether it is dotted. One unit wide.
struct Pen {
    Rgb colour;
    uint8_t alpha = 255;
    bool dotted = false;
    friend bool operator==(const Pen&, const Pen&) = default;
};

// The fonts text is written in: the box's own font (the frame grid's
// numbers) and the small one of the marks and the track lanes (Arial 8 pt).
enum class TextFont : uint8_t { Box, Small };

// A picture of width x height pixels, each 0xffRRGGBB, row by row from the
// top; it does not own its pixels.
struct PixelImage {
    int width = 0, height = 0;
    const uint32_t* pixels = nullptr;
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

    // What the view's layers need beyond lines. A canvas that only keeps
    // the waveform's picture (the picture box in twips, the timeline strip)
    // strokes the pen's colour and ignores fills and text.
    //
    // A segment with a pen.
    virtual void PenLine(float x1, float y1, float x2, float y2, const Pen& pen) { Line(x1, y1, x2, y2, pen.colour); }
    // The area [x1, x2) x [y1, y2) filled (corners in either order).
    virtual void FillBox(float /*x1*/, float /*y1*/, float /*x2*/, float /*y2*/, Rgb /*colour*/,
                         uint8_t /*alpha*/ = 255) {}
    // `text` (UTF-8) with its baseline's left end at (x, baseline). Text
    // wider than `maxWidth` is cut and ends in an ellipsis; when not even
    // one character and the ellipsis fit, nothing is written.
    virtual void Text(float /*x*/, float /*baseline*/, std::string_view /*text*/, Rgb /*colour*/, TextFont /*font*/,
                      float /*maxWidth*/ = std::numeric_limits<float>::infinity()) {}
    // The width `text` takes in `font`, and how far the font rises above
    // its baseline, in the canvas's units.
    // `image` stretched over [x1, x2) x [y1, y2) (corners in either order),
    // each of its pixels a block (no smoothing).
    virtual void DrawImage(float /*x1*/, float /*y1*/, float /*x2*/, float /*y2*/, const PixelImage& /*image*/) {}
    virtual float TextWidth(std::string_view /*text*/, TextFont /*font*/) const { return 0.0f; }
    virtual float TextAscent(TextFont /*font*/) const { return 0.0f; }
};

} // namespace zv
