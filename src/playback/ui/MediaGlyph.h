#pragma once
// The media control's button pictures, drawn in code at whatever size and
// pixel ratio a button asks: a triangle, bars and squares in the button's
// text colour (grey when the button is disabled). Drawn rather than looked
// up in the desktop's icon theme: the theme lookup and the image plugins it
// loads cost start-up tens of milliseconds, and the glyphs look the same on
// every desktop.
#include <QIcon>

namespace zv {

enum class MediaGlyph { Prev, Play, Pause, Stop, Back, Step, Next };

// An icon that draws `glyph`; never null.
QIcon MediaGlyphIcon(MediaGlyph glyph);

} // namespace zv
