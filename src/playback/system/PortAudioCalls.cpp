#include "playback/system/PortAudioCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace zv {

QuietStderr::QuietStderr() {
    std::fflush(stderr);
    saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int nul = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && nul >= 0) dup2(nul, STDERR_FILENO);
    if (nul >= 0) close(nul);
}

QuietStderr::~QuietStderr() {
    std::fflush(stderr);
    if (saved_ >= 0) {
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
}

std::string PortAudioReason(PaError error) {
    std::string reason = Pa_GetErrorText(error);
    if (error == paUnanticipatedHostError) {
        const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
        if (host && host->errorText && *host->errorText) reason += std::string(": ") + host->errorText;
    }
    return reason;
}

} // namespace zv
