#include "window/Twips.h"

#include <cmath>

#include "common/Errors.h"

namespace zv {

namespace {
// Qt's own limit for a widget's size (QWIDGETSIZE_MAX); edges beyond it
// cannot be placed.
constexpr double MaxEdge = 16777215.0;
} // namespace

double TwipsToPixels(double twips, double dpi) { return twips * dpi / TwipsPerInch; }

double PixelsToTwips(double pixels, double dpi) { return pixels * TwipsPerInch / dpi; }

int PixelEdge(double twips, double dpi) {
    const double px = std::round(TwipsToPixels(twips, dpi));
    if (!(px >= -MaxEdge && px <= MaxEdge)) throw OverflowError();
    return static_cast<int>(px);
}

QRect ToPixelRect(const TwipsRect& t, double dpiX, double dpiY) {
    const int left = PixelEdge(t.Left, dpiX);
    const int top = PixelEdge(t.Top, dpiY);
    // Sums in double: exact for any two floats of the magnitudes met here.
    const int right = PixelEdge(static_cast<double>(t.Left) + t.Width, dpiX);
    const int bottom = PixelEdge(static_cast<double>(t.Top) + t.Height, dpiY);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace zv
