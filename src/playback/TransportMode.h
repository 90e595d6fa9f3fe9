#pragma once
// The states of the transport (MediaTransport, shown by the media control).
// The numbers are part of the control's interface: Mode() hands them out
// and the timeline refresh reads them through TimelineView::DeviceMode().
#include <cstdint>
#include <ostream>

namespace zv {

enum class TransportMode : int32_t {
    NotReady = 524,   // nothing open
    Stop = 525,
    Play = 526,
    Record = 527,     // never entered here (there is no Record button); the timeline honours it
    Pause = 529,
};

inline std::ostream& operator<<(std::ostream& out, TransportMode mode) {
    return out << static_cast<int32_t>(mode);
}

} // namespace zv
