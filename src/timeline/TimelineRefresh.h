#pragma once
// RefreshTimeline and PicLength over a TimelineView, drawn from the
// Session (the rate and the selection; the rate text is read where it is
// typed, never here). The
// refresh runs on every status update of the media control (many times a
// second), so it keeps its caption buffers and only hands a label a caption
// that differs from the one it last set: it must be the labels' only writer.
#include <cstdint>
#include <string>

#include "common/FrameRate.h"
#include "timeline/TimelineView.h"

namespace zv {

class Session;

class TimelineRefresh {
public:
    explicit TimelineRefresh(TimelineView& view) : view_(view) {}

    // Scales the strip to the media length. Returns false, leaving the
    // scale as it was, when the length is 0 or below. Throws what the view throws.
    bool PicLength();

    // The whole refresh, in order:
    //  2 recording (TransportMode::Record): straight to 12;
    //  3-5 the three captions: the frames the selection's edges stand on
    //    and the seconds between them (an overflow keeps that caption);
    //  6 PicLength; 8 play range = selection;
    //  9 clear the strip; 10 selection band, then read back the play-range
    //    start and the position and draw the progress; 11 start mark, end mark
    //    (9-11 draw only on a scaled strip: with length 0 nothing is drawn);
    //  12 ShowTimes, on every run.
    // An error of the view in 2-11 ends those steps; 12 still runs. Never throws.
    void RefreshTimeline(const Session& session);

private:
    void ShowCaption(std::string& shown, void (TimelineView::*set)(std::string_view));
    void Steps2To11(const Session& session);

    TimelineView& view_;
    std::string caption_;  // scratch buffer, reused
    std::string start_, end_, selected_;  // as last shown
};

} // namespace zv
