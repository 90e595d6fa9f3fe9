#pragma once
// Where the window's controls stand, in their container's twips, as last
// set: each widget's pixels are rounded from its twips at the logical DPI
// of the window (see Twips.h), and placed again from them when that changes.
#include <unordered_map>

#include "window/Twips.h"

class QWidget;

namespace zv {

class TwipsPlacement {
public:
    // `window` gives the logical DPI; it outlives this object.
    explicit TwipsPlacement(const QWidget& window) : window_(window) {}

    // A control's placement; raises ZorvaneError for a control never placed.
    const TwipsRect& Geometry(const QWidget* control) const;
    // Placement in twips; each raises (changing nothing) for a negative or
    // non-finite size, or a place beyond a widget's reach.
    void Place(QWidget* control, const TwipsRect& twips);
    void SetLeft(QWidget* control, float left);
    void SetWidth(QWidget* control, float width);
    void SetHeight(QWidget* control, float height);
    // Places every control again from its twips (the DPI changed).
    void PlaceAll();

private:
    const QWidget& window_;
    std::unordered_map<const QWidget*, TwipsRect> twips_;
};

} // namespace zv
