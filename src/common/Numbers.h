#pragma once
// The program's number types and the checked arithmetic on them.
//   Integer = int16_t, Long = int32_t, Single = float, Double = double.
// "Rounded" means to nearest with halves to even; conversions that leave the
// target range raise OverflowError instead of wrapping.
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/Errors.h"

namespace zv {

// Checked 32-bit signed arithmetic.
inline int32_t CheckedAdd(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_add_overflow(a, b, &r)) throw OverflowError();
    return r;
}
inline int32_t CheckedSub(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) throw OverflowError();
    return r;
}
inline int32_t CheckedMul(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) throw OverflowError();
    return r;
}

// Round to nearest, halves to even, into a 32-bit signed value.
// NaN, infinities and values outside the range raise OverflowError.
inline int32_t RoundLong(double v) {
    const double r = std::nearbyint(v);  // default rounding mode: halves to even
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw OverflowError();
    return static_cast<int32_t>(r);
}

// Round to nearest, halves to even, into a 16-bit signed value.
inline int16_t RoundInteger(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= -32768.0 && r <= 32767.0)) throw OverflowError();
    return static_cast<int16_t>(r);
}

// Round down (towards minus infinity) into a 32-bit signed value.
inline int32_t FloorLong(double v) {
    const double r = std::floor(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw OverflowError();
    return static_cast<int32_t>(r);
}

// Truncate (towards zero) into a 32-bit signed value.
inline int32_t TruncLong(double v) {
    const double r = std::trunc(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw OverflowError();
    return static_cast<int32_t>(r);
}

} // namespace zv
