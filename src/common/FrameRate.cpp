#include "common/FrameRate.h"

#include <numeric>
#include <ostream>

#include "common/Errors.h"
#include "common/FrameTime.h"

namespace zv {

FrameRate FrameRate::Fraction(int64_t numerator, int64_t denominator) {
    if (denominator == 0) throw DivisionByZeroError();
    if (numerator == INT64_MIN || denominator == INT64_MIN) throw OverflowError();
    const int64_t divisor = std::gcd(numerator, denominator);   // > 0: denominator != 0
    int64_t n = numerator / divisor, d = denominator / divisor;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    if (n < INT32_MIN || n > INT32_MAX || d > INT32_MAX) throw OverflowError();
    FrameRate rate(static_cast<int32_t>(n));
    rate.denominator_ = static_cast<int32_t>(d);
    return rate;
}

int64_t FrameRate::Rounded() const { return RoundDivide(numerator_, denominator_); }

std::ostream& operator<<(std::ostream& out, FrameRate rate) {
    out << rate.Numerator();
    if (!rate.IsWhole()) out << '/' << rate.Denominator();
    return out;
}

} // namespace zv
