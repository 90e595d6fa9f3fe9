// Placeholder until the playback work lands: a control with nothing open.
#include "playback/ui/MediaControl.h"

namespace zv {

MediaControl::MediaControl(MediaDevice&, QWidget* parent) : QWidget(parent) {}
void MediaControl::SetDeviceType(const std::string&) {}
void MediaControl::SetFileName(const std::string&) {}
void MediaControl::SetCommand(const std::string&) {}
int32_t MediaControl::Length() const { return 0; }
int32_t MediaControl::Position() const { return 0; }
int32_t MediaControl::Mode() const { return ModeNotReady; }
void MediaControl::SetFrom(int32_t) {}
int32_t MediaControl::From() const { return 0; }
void MediaControl::SetTo(int32_t) {}
int32_t MediaControl::To() const { return 0; }
void MediaControl::SetFrameRate(int16_t) {}

} // namespace zv
