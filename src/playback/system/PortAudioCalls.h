#pragma once
// Helpers around PortAudio calls: keeping its libraries' chatter off stderr
// and putting its errors in words.
#include <portaudio.h>

#include <string>

namespace zv {

// Debian's PortAudio probes JACK and every ALSA plugin when it starts, and
// those libraries print their failures straight to stderr (so do the ALSA
// plugins when the sound server has gone). Sends stderr to /dev/null for
// the lifetime of this object.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

// PortAudio's text for `error`, with the host's own where it gives one.
std::string PortAudioReason(PaError error);

} // namespace zv
