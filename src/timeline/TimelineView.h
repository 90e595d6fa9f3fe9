#pragma once
// What the timeline refresh needs from the window: the media control's mode, length, play range and position, the three labels,
// the strip, and the time readouts. The window implements it with its
// widgets; tests implement it with a fake. Times are milliseconds.
#include <cstdint>
#include <string_view>

#include "waveview/Canvas.h"

namespace zv {

class TimelineView {
public:
    virtual ~TimelineView() = default;

    virtual int32_t DeviceMode() = 0;     // MMControl1 mode, a TransportMode's number
    virtual int32_t DeviceLength() = 0;   // MMControl1 length, ms
    virtual void SetStartCaption(std::string_view text) = 0;     // LblStartFrame
    virtual void SetEndCaption(std::string_view text) = 0;       // LblEndFrame
    virtual void SetSelectedCaption(std::string_view text) = 0;  // LblSelectedTime
    // PicTime's user scale: width in ms, height 10.
    virtual void SetStripScale(float width, float height) = 0;
    // The stretch to play: its start first, then its end, ms.
    virtual void SetPlayRange(int32_t fromMs, int32_t toMs) = 0;
    virtual int32_t PlayRangeStart() = 0;  // read back from the device, ms
    virtual int32_t Position() = 0;        // play position, ms
    virtual Canvas& Strip() = 0;           // PicTime, in its user scale
    virtual void ShowTimes() = 0;          // the length and position readouts
};

} // namespace zv
