#pragma once
// DrawWaves: draws the loaded sound's view window (ViewStart to ViewEnd)
// into a canvas whose scale is twips, `width` x `height` being the box's
// outer size in twips. One point per width unit (or, for a view of fewer
// frames than units, points a rounded step apart), each the single frame
// nearest to x x frames-per-unit + ViewStart; no averaging.
//   two channels: the first in red (255, 0, 0) around the upper centre
//     (height / 4 rounded), the second in green (0, 255, 0) around the lower
//     centre (3 x the upper one);
//   any other count: the first channel in green around height / 2 rounded.
// Positive samples are drawn below their centre line. A Legacy sound
// (SoundData::Encoding) is read by the 16-bit readers when wBitsPerSample is
// 16, by the 8-bit ones otherwise; a sound of a wider encoding (24/32-bit,
// float, decoded) by its own readers, with its first two channels drawn as
// the two traces whenever it has two or more.
#include "sound/SoundData.h"
#include "waveview/Canvas.h"

namespace zv {

inline constexpr Rgb kUpperWaveColour{255, 0, 0};
inline constexpr Rgb kLowerWaveColour{0, 255, 0};

// Which channels (from 0) the two traces show: the first two unless a
// sound of more than two channels is asked to show others. A choice outside
// the sound's channels shows the first two.
struct DrawnChannels {
    int upper = 0;   // the red trace
    int lower = 1;   // the green trace
    bool IsDefault() const { return upper == 0 && lower == 1; }
    friend bool operator==(const DrawnChannels&, const DrawnChannels&) = default;
};

// Clears the canvas, then (when a sound is loaded) draws one polyline per
// channel, segment by segment, and flushes the canvas. An empty view, a
// width of 0, a negative width or a reversed view clear only. Raises
// OverflowError for 32-bit overflows; the segments drawn before stay.
// `channels` applies to sounds of more than two channels only (any
// encoding): their traces are the two channels chosen.
void DrawWaves(const SoundData& sound, Canvas& canvas, float width, float height, DrawnChannels channels = {});

} // namespace zv
