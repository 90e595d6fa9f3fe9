#include "window/TwipsPlacement.h"

#include <QWidget>
#include <cmath>

#include "common/Errors.h"

namespace zv {

const TwipsRect& TwipsPlacement::Geometry(const QWidget* control) const {
    const auto it = twips_.find(control);
    if (it == twips_.end()) throw ZorvaneError("Not a placed control");
    return it->second;
}

void TwipsPlacement::Place(QWidget* control, const TwipsRect& twips) {
    if (!(std::isfinite(twips.Left) && std::isfinite(twips.Top) && std::isfinite(twips.Width) &&
          std::isfinite(twips.Height)) ||
        twips.Width < 0.0f || twips.Height < 0.0f)
        throw ZorvaneError("Invalid property value");
    const QRect pixels = ToPixelRect(twips, window_.logicalDpiX(), window_.logicalDpiY());
    twips_[control] = twips;
    control->setGeometry(pixels);
}

void TwipsPlacement::SetLeft(QWidget* control, float left) {
    TwipsRect t = Geometry(control);
    t.Left = left;
    Place(control, t);
}

void TwipsPlacement::SetWidth(QWidget* control, float width) {
    TwipsRect t = Geometry(control);
    t.Width = width;
    Place(control, t);
}

void TwipsPlacement::SetHeight(QWidget* control, float height) {
    TwipsRect t = Geometry(control);
    t.Height = height;
    Place(control, t);
}

void TwipsPlacement::PlaceAll() {
    for (const auto& [control, twips] : twips_)
        const_cast<QWidget*>(control)->setGeometry(ToPixelRect(twips, window_.logicalDpiX(), window_.logicalDpiY()));
}

} // namespace zv
