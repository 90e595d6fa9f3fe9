#pragma once
// The colours of what the waveform box shows over its traces: none is the
// traces' red or green nor the box's purple.
#include "waveview/Canvas.h"

namespace zv {

inline constexpr Rgb kPlayLineColour{0xff, 0xd7, 0x5a};   // amber
inline constexpr Rgb kSelStartColour{0xff, 0x96, 0x96};   // light tint of the strip's red
inline constexpr Rgb kSelEndColour{0x96, 0xaa, 0xff};     // light tint of the strip's blue
inline constexpr Rgb kGridColour{0xb4, 0xb4, 0xd2};       // pale lilac
inline constexpr uint8_t kGridAlpha = 110;                 // the grid's lines half cover what lies under them
inline constexpr Rgb kMarkColour{64, 224, 255};            // cyan

} // namespace zv
