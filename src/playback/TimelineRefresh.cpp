#include "playback/TimelineRefresh.h"

#include <exception>

#include "common/Errors.h"
#include "playback/TimelineStrip.h"
#include "playback/TimelineText.h"

namespace zv {
namespace {
constexpr int32_t kModeRecord = 527;
} // namespace

void TimelineRefresh::ReadFrameRate(FrameRate& rate) {
    try {
        rate = TimelineFrameRate(view_.FrameRateText(), static_cast<int16_t>(rate.Rounded()));
    } catch (const std::exception&) {
        // A text that cannot be read keeps the frame rate as it was.
    }
}

bool TimelineRefresh::PicLength() {
    const auto width = TimelineScaleWidth(view_.DeviceLength());
    if (!width) return false;
    view_.SetStripScale(*width, kTimelineScaleHeight);
    return true;
}

void TimelineRefresh::ShowCaption(std::string& shown, void (TimelineView::*set)(std::string_view)) {
    if (caption_ == shown) return;
    (view_.*set)(caption_);
    shown.swap(caption_);  // both buffers keep their capacity
}

void TimelineRefresh::RefreshTimeline(FrameRate& rate, int32_t selStartMs, int32_t selEndMs) {
    ReadFrameRate(rate);
    try {
        Steps2To11(rate, selStartMs, selEndMs);
    } catch (const std::exception&) {
        // A device or label that fails leaves the rest of the strip as it
        // was; the readouts below are still brought up to date.
    }
    try {
        view_.ShowTimes();
    } catch (const std::exception&) {
    }
}

void TimelineRefresh::Steps2To11(FrameRate rate, int32_t selStartMs, int32_t selEndMs) {
    if (view_.DeviceMode() == kModeRecord) return;

    // A frame figure or length outside 32 bits keeps that caption as it was.
    try {
        TimelineStartCaption(caption_, rate, selStartMs);
        ShowCaption(start_, &TimelineView::SetStartCaption);
    } catch (const OverflowError&) {
    }
    try {
        TimelineEndCaption(caption_, rate, selEndMs);
        ShowCaption(end_, &TimelineView::SetEndCaption);
    } catch (const OverflowError&) {
    }
    try {
        TimelineSelectedCaption(caption_, rate, selStartMs, selEndMs);
        ShowCaption(selected_, &TimelineView::SetSelectedCaption);
    } catch (const OverflowError&) {
    }

    const bool scaled = PicLength();
    view_.SetPlayRange(selStartMs, selEndMs);

    Canvas& strip = view_.Strip();
    strip.Clear();
    if (!scaled) return;
    DrawTimelineBox(strip, TimelineSelectionBand(selStartMs, selEndMs));
    const int32_t rangeStart = view_.PlayRangeStart();
    const int32_t position = view_.Position();
    DrawTimelineBox(strip, TimelineProgressBox(rangeStart, position));
    DrawTimelineBox(strip, TimelineStartMark(selStartMs));
    DrawTimelineBox(strip, TimelineEndMark(selEndMs));
}

} // namespace zv
