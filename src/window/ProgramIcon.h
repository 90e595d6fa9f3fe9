#pragma once
// The program's icon on a window: the 32-pixel picture at once, drawn from
// the XPM compiled into the program (no image reader, no image plugins),
// and the 256-pixel one added once the window has been painted for the
// first time. Reading the PNG goes through the toolkit's image reader,
// which loads every image-format plugin on its first use: that cost falls
// after the first paint, when the window is already on the screen, and only
// desktops that show large icons (task switchers) wait for it.
class QWidget;

namespace zv {

// Sets the icon of `window` (a top-level widget) as above.
void SetProgramIcon(QWidget& window);

} // namespace zv
