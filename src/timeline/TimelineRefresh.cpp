#include "timeline/TimelineRefresh.h"

#include <exception>
#include <optional>

#include "common/Errors.h"
#include "common/Log.h"
#include "timeline/TimelineStrip.h"
#include "timeline/TimelineText.h"
#include "playback/TransportMode.h"
#include "session/Session.h"

namespace zv {

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

void TimelineRefresh::RefreshTimeline(const Session& session) {
    try {
        Steps2To11(session);
    } catch (const std::exception&) {
        // A device or label that fails leaves the rest of the strip as it
        // was; the readouts below are still brought up to date.
        LogCurrentError(LogArea::Playback, "Refreshing the timeline");
    }
    try {
        view_.ShowTimes();
    } catch (const std::exception&) {
        LogCurrentError(LogArea::Playback, "Showing the times");
    }
}

void TimelineRefresh::Steps2To11(const Session& session) {
    if (view_.DeviceMode() == static_cast<int32_t>(TransportMode::Record)) return;
    const int32_t selStartMs = session.SelectionStartMs(), selEndMs = session.SelectionEndMs();

    // A frame figure or length outside 32 bits keeps that caption as it was.
    std::optional<int32_t> startFrame, endFrame;
    try {
        startFrame = session.FrameAt(session.SelectionStart());
        TimelineStartCaption(caption_, *startFrame);
        ShowCaption(start_, &TimelineView::SetStartCaption);
    } catch (const OverflowError&) {
    }
    try {
        endFrame = session.FrameAt(session.SelectionEnd());
        TimelineEndCaption(caption_, *endFrame);
        ShowCaption(end_, &TimelineView::SetEndCaption);
    } catch (const OverflowError&) {
    }
    try {
        if (startFrame && endFrame) {
            TimelineSelectedCaption(caption_, selStartMs, selEndMs, *startFrame, *endFrame);
            ShowCaption(selected_, &TimelineView::SetSelectedCaption);
        }
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
