#pragma once
// Twips (1/1440 inch) and the device-independent pixels Qt places widgets in.
//   pixels = twips x logical DPI / 1440   (15 twips a pixel at 96 dpi)
// Layout arithmetic stays in twips (single precision, fractions kept); only
// the final placement is rounded to whole pixels. A control's edges are
// rounded, not its width, so two controls that meet at a fractional twip
// (5242.5 and 5242.5) meet at the same pixel: no gap, no overlap.
#include <QRect>

namespace zv {

inline constexpr double TwipsPerInch = 1440.0;

// A control's placement in its container's twips: origin at the container's
// top-left corner, y downwards.
struct TwipsRect {
    float Left = 0.0f;
    float Top = 0.0f;
    float Width = 0.0f;
    float Height = 0.0f;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// Unrounded conversions (dpi: the logical DPI along that axis).
double TwipsToPixels(double twips, double dpi);
double PixelsToTwips(double pixels, double dpi);

// The pixel edge at `twips`: rounded to nearest (halves away from zero).
// Raises OverflowError when it lies beyond what a widget can be placed at.
int PixelEdge(double twips, double dpi);

// The widget rectangle for a placement: left and top edges rounded, right
// and bottom edges rounded from left + width and top + height.
QRect ToPixelRect(const TwipsRect& twips, double dpiX, double dpiY);

} // namespace zv
