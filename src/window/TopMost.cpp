#include "window/TopMost.h"

#include <QWidget>

namespace zv {

void SetTopMost(QWidget& window, bool topMost) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost) return;
    // Changing a window flag hides a shown window; show it again in place.
    const bool shown = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (shown) window.show();
}

} // namespace zv
