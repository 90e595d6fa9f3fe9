// The PortAudio calls the program makes, with PortAudio opened on the first
// of them rather than when the program starts (see
// common/system/LibraryOnDemand.h): PortAudio brings JACK and its database
// library with it. The sound output first calls it once the window has been
// painted (playback/DeferredMediaDevice.h), so the first play does not wait
// for the opening.
//
// Without the library Pa_Initialize fails, and the error's text names the
// library: the output then goes silent with that reason, as for any other
// PortAudio failure.
#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <string>

#include "common/system/LibraryOnDemand.h"

namespace {

struct PortAudio {
    zv::LibraryOnDemand library{"libportaudio.so.2", "libportaudio.so"};
    decltype(&::Pa_Initialize) initialize = nullptr;
    decltype(&::Pa_Terminate) terminate = nullptr;
    decltype(&::Pa_GetErrorText) errorText = nullptr;
    decltype(&::Pa_GetLastHostErrorInfo) lastHostError = nullptr;
    decltype(&::Pa_GetHostApiInfo) hostApiInfo = nullptr;
    decltype(&::Pa_GetDefaultOutputDevice) defaultOutput = nullptr;
    decltype(&::Pa_GetDeviceInfo) deviceInfo = nullptr;
    decltype(&::Pa_OpenStream) openStream = nullptr;
    decltype(&::Pa_SetStreamFinishedCallback) setFinished = nullptr;
    decltype(&::Pa_GetStreamInfo) streamInfo = nullptr;
    decltype(&::Pa_StartStream) startStream = nullptr;
    decltype(&::Pa_StopStream) stopStream = nullptr;
    decltype(&::Pa_AbortStream) abortStream = nullptr;
    decltype(&::Pa_CloseStream) closeStream = nullptr;
    // ALSA's own extension; a build of PortAudio without ALSA lacks it.
    decltype(&::PaAlsa_EnableRealtimeScheduling) alsaRealtime = nullptr;
    std::string notLoaded = zv::NotLoadedText("sound output", library);

    PortAudio() {
        // All or nothing: a library without one of them is not the one expected.
        const bool all = library.Find("Pa_Initialize", initialize) & library.Find("Pa_Terminate", terminate) &
                         library.Find("Pa_GetErrorText", errorText) &
                         library.Find("Pa_GetLastHostErrorInfo", lastHostError) &
                         library.Find("Pa_GetHostApiInfo", hostApiInfo) &
                         library.Find("Pa_GetDefaultOutputDevice", defaultOutput) &
                         library.Find("Pa_GetDeviceInfo", deviceInfo) & library.Find("Pa_OpenStream", openStream) &
                         library.Find("Pa_SetStreamFinishedCallback", setFinished) &
                         library.Find("Pa_GetStreamInfo", streamInfo) & library.Find("Pa_StartStream", startStream) &
                         library.Find("Pa_StopStream", stopStream) & library.Find("Pa_AbortStream", abortStream) &
                         library.Find("Pa_CloseStream", closeStream);
        if (!all) initialize = nullptr;   // nothing initializes, so no stream is ever made
        library.Find("PaAlsa_EnableRealtimeScheduling", alsaRealtime);
    }
    bool Usable() const { return initialize != nullptr; }
};

// Opened once, on the first call from any thread.
const PortAudio& Library() {
    static const PortAudio portAudio;
    return portAudio;
}

}  // namespace

extern "C" {

PaError Pa_Initialize(void) {
    const PortAudio& p = Library();
    if (!p.Usable()) return paNotInitialized;
    const PaError error = p.initialize();
    // ALSA has loaded its plugins by now: they stay, as when PortAudio was
    // linked at start-up (see zv::KeepLoadedLibraries).
    zv::KeepLoadedLibraries();
    return error;
}

PaError Pa_Terminate(void) {
    const PortAudio& p = Library();
    return p.Usable() ? p.terminate() : paNotInitialized;
}

const char* Pa_GetErrorText(PaError errorCode) {
    const PortAudio& p = Library();
    return p.Usable() ? p.errorText(errorCode) : p.notLoaded.c_str();
}

const PaHostErrorInfo* Pa_GetLastHostErrorInfo(void) {
    const PortAudio& p = Library();
    return p.Usable() ? p.lastHostError() : nullptr;
}

const PaHostApiInfo* Pa_GetHostApiInfo(PaHostApiIndex hostApi) {
    const PortAudio& p = Library();
    return p.Usable() ? p.hostApiInfo(hostApi) : nullptr;
}

PaDeviceIndex Pa_GetDefaultOutputDevice(void) {
    const PortAudio& p = Library();
    return p.Usable() ? p.defaultOutput() : paNoDevice;
}

const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceIndex device) {
    const PortAudio& p = Library();
    return p.Usable() ? p.deviceInfo(device) : nullptr;
}

PaError Pa_OpenStream(PaStream** stream, const PaStreamParameters* inputParameters,
                      const PaStreamParameters* outputParameters, double sampleRate, unsigned long framesPerBuffer,
                      PaStreamFlags streamFlags, PaStreamCallback* streamCallback, void* userData) {
    const PortAudio& p = Library();
    return p.Usable() ? p.openStream(stream, inputParameters, outputParameters, sampleRate, framesPerBuffer,
                                     streamFlags, streamCallback, userData)
                      : paNotInitialized;
}

PaError Pa_SetStreamFinishedCallback(PaStream* stream, PaStreamFinishedCallback* streamFinishedCallback) {
    const PortAudio& p = Library();
    return p.Usable() ? p.setFinished(stream, streamFinishedCallback) : paNotInitialized;
}

const PaStreamInfo* Pa_GetStreamInfo(PaStream* stream) {
    const PortAudio& p = Library();
    return p.Usable() ? p.streamInfo(stream) : nullptr;
}

PaError Pa_StartStream(PaStream* stream) {
    const PortAudio& p = Library();
    return p.Usable() ? p.startStream(stream) : paNotInitialized;
}

PaError Pa_StopStream(PaStream* stream) {
    const PortAudio& p = Library();
    return p.Usable() ? p.stopStream(stream) : paNotInitialized;
}

PaError Pa_AbortStream(PaStream* stream) {
    const PortAudio& p = Library();
    return p.Usable() ? p.abortStream(stream) : paNotInitialized;
}

PaError Pa_CloseStream(PaStream* stream) {
    const PortAudio& p = Library();
    return p.Usable() ? p.closeStream(stream) : paNotInitialized;
}

void PaAlsa_EnableRealtimeScheduling(PaStream* s, int enable) {
    const PortAudio& p = Library();
    if (p.Usable() && p.alsaRealtime) p.alsaRealtime(s, enable);
}

}  // extern "C"
