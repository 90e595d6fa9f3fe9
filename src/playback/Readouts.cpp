#include "playback/Readouts.h"

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

} // namespace

std::string LengthCaption(int32_t lengthMsForMinutes, int32_t lengthMsForFrames, FrameRate rate) {
    return "Total Length:(Time: " + MinutesSeconds(SecondsRoundedDown(lengthMsForMinutes)) +
           " / Frames: " + std::to_string(ReadoutFrames(lengthMsForFrames, rate)) + ")";
}

std::string PositionCaption(int32_t positionMsForMinutes, int32_t positionMsForFrames, FrameRate rate) {
    return "Time: " + MinutesSeconds(SecondsNearest(positionMsForMinutes)) +
           " / Frame: " + std::to_string(ReadoutFrames(positionMsForFrames, rate));
}

} // namespace zv
