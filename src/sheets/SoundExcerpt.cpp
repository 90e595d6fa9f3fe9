#include "sheets/SoundExcerpt.h"

#include <algorithm>

#include "common/FrameTime.h"

namespace zv {

namespace {
// Silence longer than this many frames is refused (an hour at 24 fps).
constexpr int64_t kMostSilentFrames = 86400;
}

std::optional<SoundExcerpt> ExcerptOfFrames(int64_t startFrame, int64_t endFrame, int64_t leadInFrames,
                                            int64_t tailFrames, FrameRate rate, int32_t sampleRate,
                                            int64_t soundFrames, std::string& error) {
    if (!rate.IsPositive() || sampleRate <= 0 || soundFrames <= 0) {
        error = "there is no sound to take it from";
        return std::nullopt;
    }
    if (leadInFrames < 0 || tailFrames < 0 || leadInFrames > kMostSilentFrames || tailFrames > kMostSilentFrames) {
        error = "the lead-in and the tail must be from 0 to " + std::to_string(kMostSilentFrames) + " frames";
        return std::nullopt;
    }
    if (startFrame < 0 || endFrame <= startFrame) {
        error = "the selection is empty: select at least one frame";
        return std::nullopt;
    }
    SoundExcerpt excerpt;
    excerpt.from = FrameStartSample(startFrame, rate, sampleRate);
    excerpt.to = std::min(FrameStartSample(endFrame, rate, sampleRate), soundFrames);
    if (excerpt.from >= soundFrames || excerpt.to <= excerpt.from) {
        error = "the selection lies past the end of the sound";
        return std::nullopt;
    }
    // Silence of whole frames: the first n frames' length, exact at any rate.
    excerpt.leadIn = FrameStartSample(leadInFrames, rate, sampleRate);
    excerpt.tail = FrameStartSample(tailFrames, rate, sampleRate);
    return excerpt;
}

} // namespace zv
