#pragma once
// DrawWavePeaks: the view window of the loaded sound as peaks, for "Show
// Peaks": each pixel column of the box shows the lowest and highest sample
// of the frames it covers, as one vertical segment per channel, in the
// renderer's colours, centres and scale (see WaveRenderer.h), so nothing
// between two columns is skipped. Neighbouring columns' segments are
// stretched to meet, so the trace stays one connected line.
//
// `width` and `height` are the box's size in the canvas's units (twips),
// `columns` its width in pixels. A view of fewer frames than columns hides
// nothing: it is drawn by DrawWaves, point by point.
#include "sound/SoundData.h"
#include "waveview/Canvas.h"
#include "waveview/PeakSummary.h"

namespace zv {

// Clears the canvas, then draws (when a sound is loaded and the summary is
// ready) and flushes it. Raises what DrawWaves raises when it falls back to it.
void DrawWavePeaks(const SoundData& sound, const PeakSummary& peaks, Canvas& canvas, float width, float height,
                   int columns);

} // namespace zv
