#pragma once
// DrawWaves' arithmetic: draws the loaded sound's view window into a canvas
// whose scale is twips, `width` x `height` being the box's outer size.
#include "sound/SoundData.h"
#include "waveview/Canvas.h"

namespace zv {

// Clears the canvas, then (when a sound is loaded) draws one polyline per
// channel. Raises OverflowError for 32-bit overflows and passes a reader's
// error on.
void DrawWaves(const SoundData& sound, Canvas& canvas, float width, float height);

} // namespace zv
