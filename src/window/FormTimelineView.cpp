#include "window/FormTimelineView.h"

#include <QLabel>
#include <QLineEdit>

#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/PictureBox.h"

namespace zv {

namespace {
QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
} // namespace

int32_t FormTimelineView::DeviceMode() { return static_cast<int32_t>(form_.MMControl1->Mode()); }
int32_t FormTimelineView::DeviceLength() { return form_.MMControl1->Length(); }
void FormTimelineView::SetStartCaption(std::string_view text) { form_.LblStartFrame->setText(FromUtf8(text)); }
void FormTimelineView::SetEndCaption(std::string_view text) { form_.LblEndFrame->setText(FromUtf8(text)); }
void FormTimelineView::SetSelectedCaption(std::string_view text) { form_.LblSelectedTime->setText(FromUtf8(text)); }
void FormTimelineView::SetStripScale(float width, float height) { form_.PicTime->SetUserScale(width, height); }

void FormTimelineView::SetPlayRange(int32_t fromMs, int32_t toMs) {
    form_.MMControl1->SetFrom(fromMs);
    form_.MMControl1->SetTo(toMs);
}

int32_t FormTimelineView::PlayRangeStart() { return form_.MMControl1->From(); }
int32_t FormTimelineView::Position() { return form_.MMControl1->Position(); }
Canvas& FormTimelineView::Strip() { return *form_.PicTime; }
void FormTimelineView::ShowTimes() { form_.ShowTimes(); }

} // namespace zv
