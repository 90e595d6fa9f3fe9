#include "timeline/TimelineText.h"

#include <charconv>

#include "common/FrameTime.h"
#include "common/Numbers.h"

namespace zv {
namespace {

void AppendInt(std::string& out, int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

} // namespace

int32_t TimelineFrameOf(FrameRate rate, int32_t ms) { return FrameFloor(ms, rate); }

int32_t TimelineSelectedTenths(int32_t selStartMs, int32_t selEndMs) {
    // A 32-bit difference has at most as many tenths: it fits.
    return static_cast<int32_t>(TenthsNearest(CheckedSub(selEndMs, selStartMs)));
}

void TimelineStartCaption(std::string& out, FrameRate rate, int32_t selStartMs) {
    TimelineStartCaption(out, TimelineFrameOf(rate, selStartMs));
}

void TimelineEndCaption(std::string& out, FrameRate rate, int32_t selEndMs) {
    TimelineEndCaption(out, TimelineFrameOf(rate, selEndMs));
}

void TimelineSelectedCaption(std::string& out, FrameRate rate, int32_t selStartMs,
                             int32_t selEndMs) {
    TimelineSelectedCaption(out, selStartMs, selEndMs, TimelineFrameOf(rate, selStartMs),
                            TimelineFrameOf(rate, selEndMs));
}

void TimelineStartCaption(std::string& out, int32_t startFrame) {
    out.assign("Start: ");
    AppendInt(out, startFrame);
}

void TimelineEndCaption(std::string& out, int32_t endFrame) {
    out.assign("End: ");
    AppendInt(out, endFrame);
}

void TimelineSelectedCaption(std::string& out, int32_t selStartMs, int32_t selEndMs, int32_t startFrame,
                             int32_t endFrame) {
    const int32_t tenths = TimelineSelectedTenths(selStartMs, selEndMs);
    const int32_t frames = CheckedSub(endFrame, startFrame);
    out.assign("Selected:(Seconds:");
    // Written as a number is printed: no trailing ".0", a leading "0" before
    // the point and a minus sign only when the rounded value is below zero.
    const int64_t t = tenths;
    const int64_t whole = (t < 0 ? -t : t) / 10, decimal = (t < 0 ? -t : t) % 10;
    if (t < 0) out += '-';
    AppendInt(out, whole);
    if (decimal != 0) {
        out += '.';
        out += static_cast<char>('0' + decimal);
    }
    out.append(" / Frames:");
    AppendInt(out, frames);
    out += ')';
}

} // namespace zv
