#include "timeline/Readouts.h"

#include "common/Timecode.h"

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

// The frame count, and its timecode after it when asked for.
std::string FramesText(int64_t frames, FrameRate rate, bool withTimecode) {
    std::string text = std::to_string(frames);
    if (withTimecode && rate.IsPositive()) text += " / Timecode: " + Timecode(frames, rate);
    return text;
}

} // namespace

std::string LengthCaption(int32_t lengthMsForMinutes, int32_t lengthMsForFrames, FrameRate rate,
                          bool withTimecode) {
    return "Total Length:(Time: " + MinutesSeconds(SecondsRoundedDown(lengthMsForMinutes)) + " / Frames: " +
           FramesText(ReadoutFrames(lengthMsForFrames, rate), rate, withTimecode) + ")";
}

std::string PositionCaption(int32_t positionMsForMinutes, int32_t positionMsForFrames, FrameRate rate,
                            bool withTimecode) {
    return "Time: " + MinutesSeconds(SecondsNearest(positionMsForMinutes)) + " / Frame: " +
           FramesText(ReadoutFrames(positionMsForFrames, rate), rate, withTimecode);
}

} // namespace zv
