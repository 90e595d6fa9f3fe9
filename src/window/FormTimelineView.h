#pragma once
// The window's side of the timeline refresh: the media control, the three selection labels, the strip and the readouts.
#include <QString>

#include "timeline/TimelineView.h"

namespace zv {

class FormControls;
class Session;

class FormTimelineView : public TimelineView {
public:
    // The window's controls and the session (the rate), both outliving this.
    FormTimelineView(FormControls& controls, const Session& session) : controls_(controls), session_(session) {}

    int32_t DeviceMode() override;
    int32_t DeviceLength() override;
    void SetStartCaption(std::string_view text) override;
    void SetEndCaption(std::string_view text) override;
    void SetSelectedCaption(std::string_view text) override;
    void SetStripScale(float width, float height) override;
    void SetPlayRange(int32_t fromMs, int32_t toMs) override;
    int32_t PlayRangeStart() override;
    int32_t Position() override;
    Canvas& Strip() override;
    void ShowTimes() override;

private:
    FormControls& controls_;
    const Session& session_;
};

} // namespace zv
