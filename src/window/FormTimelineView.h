#pragma once
// The window's side of the timeline refresh: the media control, the three selection labels, the strip and the readouts.
#include <QString>

#include "timeline/TimelineView.h"

namespace zv {

class Form1;

class FormTimelineView : public TimelineView {
public:
    explicit FormTimelineView(Form1& form) : form_(form) {}

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
    Form1& form_;
};

} // namespace zv
