#pragma once
// The codes the program's mouse events carry (PictureBox reports them, the
// selection rules read them). A press or release names the one button; a
// move carries the sum of the buttons held, and the keys held are summed the
// same way.
#include <cstdint>

namespace zv {

struct MouseButton {
    static constexpr int16_t Left = 1;
    static constexpr int16_t Right = 2;
    static constexpr int16_t Middle = 4;
};

struct ShiftKeys {
    static constexpr int16_t Shift = 1;
    static constexpr int16_t Ctrl = 2;
    static constexpr int16_t Alt = 4;
};

} // namespace zv
