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

FrameRate FrameRate::FromThousandths(int64_t thousandths) {
    struct VideoRate {
        int64_t written;     // thousandths
        int32_t numerator;   // over 1001
    };
    static constexpr VideoRate kVideoRates[] = {
        {23976, 24000}, {23980, 24000}, {29970, 30000}, {47952, 48000},
        {47950, 48000}, {59940, 60000}, {119880, 120000},
    };
    if (thousandths == INT64_MIN) throw OverflowError();
    const bool negative = thousandths < 0;
    for (const VideoRate& video : kVideoRates)
        if ((negative ? -thousandths : thousandths) == video.written)
            return Fraction(negative ? -video.numerator : video.numerator, 1001);
    return Fraction(thousandths, 1000);
}

int64_t FrameRate::Rounded() const { return RoundDivide(numerator_, denominator_); }

std::ostream& operator<<(std::ostream& out, FrameRate rate) {
    out << rate.Numerator();
    if (!rate.IsWhole()) out << '/' << rate.Denominator();
    return out;
}

} // namespace zv
