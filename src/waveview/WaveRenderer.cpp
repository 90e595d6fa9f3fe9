// Placeholder until the waveform work lands: only clears.
#include "waveview/WaveRenderer.h"

namespace zv {

void DrawWaves(const SoundData&, Canvas& canvas, float, float) { canvas.Clear(); }

} // namespace zv
