#include "playback/Readouts.h"

#include <cmath>

#include "playback/AnimationFrames.h"

namespace zv {

namespace {

// Minutes and seconds of a count of whole seconds; the seconds stay within
// 0..59 also for negative counts (floor division).
std::string MinutesSeconds(int64_t seconds) {
    int64_t minutes = seconds / 60;
    int64_t rest = seconds % 60;
    if (rest < 0) {
        rest += 60;
        minutes -= 1;
    }
    return std::to_string(minutes) + ":" + std::to_string(rest);
}

int64_t FloorDivide(int64_t numerator, int64_t denominator) {
    int64_t q = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) q -= 1;
    return q;
}

} // namespace

int64_t ReadoutFrames(int32_t ms, int16_t fps) {
    const double frames = (static_cast<double>(ms) / 1000.0) * static_cast<double>(fps);
    // |frames| <= 2^31 / 1000 * 2^15 < 2^47: exact in an int64.
    return static_cast<int64_t>(std::nearbyint(frames));
}

float ReadoutMinutes(int32_t ms) {
    return static_cast<float>((static_cast<double>(ms) / 1000.0) / 60.0);
}

std::string LengthCaption(int32_t lengthMsForMinutes, int32_t lengthMsForFrames, int16_t fps) {
    return "Total Length:(Time: " + MinutesSeconds(FloorDivide(lengthMsForMinutes, 1000)) +
           " / Frames: " + std::to_string(ReadoutFrames(lengthMsForFrames, fps)) + ")";
}

std::string PositionCaption(int32_t positionMsForMinutes, int32_t positionMsForFrames, int16_t fps) {
    return "Time: " + MinutesSeconds(RoundDivide(positionMsForMinutes, 1000)) +
           " / Frame: " + std::to_string(ReadoutFrames(positionMsForFrames, fps));
}

} // namespace zv
