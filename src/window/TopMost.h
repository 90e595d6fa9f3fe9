#pragma once
// SetTopMost: keeps a top-level window above all other (not topmost)
// windows, also while it is inactive, or lets it go back among them. The
// window's place and size stay as they are.
class QWidget;

namespace zv {

void SetTopMost(QWidget& window, bool topMost);

} // namespace zv
