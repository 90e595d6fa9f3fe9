#include "common/Timecode.h"

#include <algorithm>
#include <cstdio>

namespace zv {

bool IsDropFrame(FrameRate rate) {
    return rate == FrameRate::Fraction(30000, 1001) || rate == FrameRate::Fraction(60000, 1001);
}

std::string Timecode(int64_t frame, FrameRate rate) {
    if (!rate.IsPositive()) return {};
    const int64_t nominal = std::max<int64_t>(1, rate.Rounded());
    const bool drop = IsDropFrame(rate);
    // The magnitude is counted in unsigned arithmetic so INT64_MIN has one.
    const bool negative = frame < 0;
    uint64_t count = negative ? 0 - static_cast<uint64_t>(frame) : static_cast<uint64_t>(frame);
    if (drop) {
        // Put the skipped numbers back: 2 (or 4) per minute, 9 minutes in 10.
        const uint64_t skipped = static_cast<uint64_t>(nominal / 15);
        const uint64_t perMinute = static_cast<uint64_t>(nominal) * 60 - skipped;
        const uint64_t perTenMinutes = static_cast<uint64_t>(nominal) * 600 - 9 * skipped;
        const uint64_t tens = count / perTenMinutes, within = count % perTenMinutes;
        count += 9 * skipped * tens;
        if (within > skipped) count += skipped * ((within - skipped) / perMinute);
    }
    const uint64_t perSecond = static_cast<uint64_t>(nominal);
    const uint64_t frames = count % perSecond, seconds = count / perSecond;
    char text[64];
    std::snprintf(text, sizeof text, "%s%02llu:%02llu:%02llu%c%02llu", negative ? "-" : "",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60), drop ? ';' : ':',
                  static_cast<unsigned long long>(frames));
    return text;
}

} // namespace zv
