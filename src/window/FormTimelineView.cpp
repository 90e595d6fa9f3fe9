#include "window/FormTimelineView.h"

#include <QLabel>
#include <QAction>
#include <QLineEdit>

#include "playback/ui/MediaControl.h"
#include "session/Session.h"
#include "timeline/Readouts.h"
#include "window/FormControls.h"
#include "window/PictureBox.h"

namespace zv {

namespace {
QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
} // namespace

int32_t FormTimelineView::DeviceMode() { return static_cast<int32_t>(controls_.MMControl1->Mode()); }
int32_t FormTimelineView::DeviceLength() { return controls_.MMControl1->Length(); }
void FormTimelineView::SetStartCaption(std::string_view text) { controls_.LblStartFrame->setText(FromUtf8(text)); }
void FormTimelineView::SetEndCaption(std::string_view text) { controls_.LblEndFrame->setText(FromUtf8(text)); }
void FormTimelineView::SetSelectedCaption(std::string_view text) { controls_.LblSelectedTime->setText(FromUtf8(text)); }
void FormTimelineView::SetStripScale(float width, float height) { controls_.PicTime->SetUserScale(width, height); }

void FormTimelineView::SetPlayRange(int32_t fromMs, int32_t toMs) {
    controls_.MMControl1->SetFrom(fromMs);
    controls_.MMControl1->SetTo(toMs);
}

int32_t FormTimelineView::PlayRangeStart() { return controls_.MMControl1->From(); }
int32_t FormTimelineView::Position() { return controls_.MMControl1->Position(); }
Canvas& FormTimelineView::Strip() { return *controls_.PicTime; }
void FormTimelineView::ShowTimes() {
    // Each time is read twice, once for the minutes and once for the frames.
    MediaControl& media = *controls_.MMControl1;
    const FrameRate rate = session_.Rate();
    const bool timecode = controls_.MnuShowTimecode->isChecked();
    const int32_t lengthForMinutes = media.Length();
    controls_.LblTotalTime->setText(QString::fromStdString(LengthCaption(lengthForMinutes, media.Length(), rate, timecode)));
    const int32_t positionForMinutes = media.Position();
    controls_.LabMCIposition->setText(
        QString::fromStdString(PositionCaption(positionForMinutes, media.Position(), rate, timecode)));
}

} // namespace zv
