#pragma once
// RefreshTimeline, ReadFrameRate and PicLength over a TimelineView. The
// refresh runs on every status update of the media control (many times a
// second), so it keeps its caption buffers and only hands a label a caption
// that differs from the one it last set: it must be the labels' only writer.
#include <cstdint>
#include <string>

#include "common/FrameRate.h"
#include "playback/TimelineView.h"

namespace zv {

class TimelineRefresh {
public:
    explicit TimelineRefresh(TimelineView& view) : view_(view) {}

    // Reads the frame rate from the text into rate (a number outside 16
    // bits keeps the value it had). Never throws.
    void ReadFrameRate(FrameRate& rate);

    // Scales the strip to the media length. Returns false, leaving the
    // scale as it was, when the length is 0 or below. Throws what the view throws.
    bool PicLength();

    // The whole refresh, in order:
    //  1 frame rate from the text;
    //  2 mode 527 (recording): straight to 12;
    //  3-5 the three captions (an overflow keeps that caption as it was);
    //  6 PicLength; 8 play range = selection;
    //  9 clear the strip; 10 selection band, then read back the play-range
    //    start and the position and draw the progress; 11 start mark, end mark
    //    (9-11 draw only on a scaled strip: with length 0 nothing is drawn);
    //  12 ShowTimes, on every run.
    // An error of the view in 2-11 ends those steps; 12 still runs. Never throws.
    void RefreshTimeline(FrameRate& rate, int32_t selStartMs, int32_t selEndMs);

private:
    void ShowCaption(std::string& shown, void (TimelineView::*set)(std::string_view));
    void Steps2To11(FrameRate rate, int32_t selStartMs, int32_t selEndMs);

    TimelineView& view_;
    std::string caption_;  // scratch buffer, reused
    std::string start_, end_, selected_;  // as last shown
};

} // namespace zv
