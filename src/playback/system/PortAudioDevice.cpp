#include "playback/system/PortAudioDevice.h"

#include <portaudio.h>

#include <algorithm>
#include <utility>

#include "common/Errors.h"
#include "playback/system/DecodedSound.h"
#include "playback/system/OutputEngine.h"
#include "playback/system/PortAudioCalls.h"
#include "playback/system/SilentDevice.h"
#include "playback/system/SoundFile.h"

namespace zv {

PortAudioDevice::PortAudioDevice() {
    PaError error;
    {
        QuietStderr quiet;
        error = Pa_Initialize();
    }
    if (error != paNoError) throw DeviceError(PortAudioReason(error));
    if (Pa_GetDefaultOutputDevice() == paNoDevice) {
        QuietStderr quiet;
        Pa_Terminate();
        throw DeviceError("There is no sound output.");
    }
}

PortAudioDevice::~PortAudioDevice() {
    Close();
    QuietStderr quiet;
    Pa_Terminate();
}

void PortAudioDevice::OfferDecoded(const std::string& path, std::shared_ptr<const uint8_t> samples, int channels,
                                   int64_t frames) {
    offeredPath_ = path;
    offered_ = std::make_unique<DecodedSound>(std::move(samples), channels, frames);
}

void PortAudioDevice::Open(const std::string& path) {
    std::unique_ptr<DecodedSound> offered = std::move(offered_);
    const bool offeredHere = offered && offeredPath_ == path;
    offeredPath_.clear();
    auto file = std::make_unique<SoundFile>(path);   // throws; the open file stays
    auto silent = std::make_unique<SilentDevice>();
    silent->Open(path);
    Close();
    file_ = std::move(file);
    silent_ = std::move(silent);
    // A compressed sound the caller decoded plays from its frames in
    // memory, so that the output need not seek the file for every step and
    // scrub. Frames of another shape than the file's are not its own.
    if (offeredHere && file_->Compressed() && offered->Channels() == file_->Channels() &&
        offered->Available() >= file_->Frames())
        decoded_ = std::move(offered);
    // The output runs from now on. When it cannot start, the first Play
    // tries again and tells why.
    try {
        output_ = std::make_unique<OutputEngine>(*file_, decoded_.get());
    } catch (const DeviceError&) {
        output_.reset();
    }
}

void PortAudioDevice::Close() {
    EndPlay();
    output_.reset();
    decoded_.reset();
    file_.reset();
    silent_.reset();
    rest_ = 0;
    lastReported_ = 0;
}

bool PortAudioDevice::IsOpen() const { return file_ != nullptr; }

int32_t PortAudioDevice::SampleRate() const { return file_ ? file_->SampleRate() : 0; }

int64_t PortAudioDevice::LengthSamples() const { return file_ ? file_->Frames() : 0; }

double PortAudioDevice::OutputLatency() const { return output_ ? output_->Latency() : 0.0; }

int64_t PortAudioDevice::PositionSample() const {
    if (silentPlay_) return silent_->PositionSample();
    if (!play_) return rest_;
    int64_t position = output_->Now().frame;
    // A loop goes back at its seam; any other play only forwards.
    if (!play_->loop) position = std::max(position, lastReported_);
    lastReported_ = position;
    return position;
}

bool PortAudioDevice::IsPlaying() const {
    if (silentPlay_) return silent_->IsPlaying();
    if (!play_) return false;
    // Broken off: it goes on in silence once TakeOutputFailure has seen it.
    return output_->Failure() || output_->Now().sounding;
}

std::string PortAudioDevice::TakeOutputFailure() {
    FallBackIfLost();
    return std::exchange(failure_, {});
}

void PortAudioDevice::FallBackIfLost() {
    if (!play_) return;
    const char* failure = output_->Failure();
    if (!failure) return;
    const int64_t at = PositionSample();
    PlayStyle style;
    style.loop = play_->loop;
    style.loopStart = play_->loopStart;
    style.speed = play_->speed;
    const int64_t to = play_->to;
    play_.reset();
    output_.reset();
    if (at < to || style.loop) GoSilent(at, to, style, failure);
    else if (!lost_) failure_ = failure;
    rest_ = at;
}

void PortAudioDevice::GoSilent(int64_t from, int64_t to, const PlayStyle& style, const std::string& reason) {
    if (!lost_) failure_ = reason;
    lost_ = true;
    silent_->SetPlayStyle(style);
    silent_->Play(from, to);
    silentPlay_ = true;
}

OutputEngine& PortAudioDevice::Output() {
    if (output_ && output_->Failure()) output_.reset();
    if (!output_) output_ = std::make_unique<OutputEngine>(*file_, decoded_.get());
    return *output_;
}

void PortAudioDevice::Play(int64_t from, int64_t to) {
    EndPlay();
    if (!lost_) failure_.clear();   // the new play supersedes the old one's end
    if (!file_) return;
    const int64_t length = file_->Frames();
    from = std::clamp<int64_t>(from, 0, length);
    to = std::clamp<int64_t>(to, 0, length);
    rest_ = from;
    lastReported_ = from;
    if (from >= to) return;
    try {
        OutputEngine& output = Output();
        play_ = PlayPlan(from, to, style_);
        output.Play(*play_);
        lost_ = false;   // the output is back
    } catch (const DeviceError& e) {
        // No output now: the clock plays on in silence, told once.
        play_.reset();
        GoSilent(from, to, style_, e.what());
    }
}

void PortAudioDevice::Pause() { EndPlay(); }

void PortAudioDevice::Seek(int64_t sample) {
    EndPlay();
    rest_ = std::clamp<int64_t>(sample, 0, LengthSamples());
    lastReported_ = rest_;
}

void PortAudioDevice::EndPlay() {
    if (silentPlay_) {
        silent_->Pause();
        rest_ = silent_->PositionSample();
        silentPlay_ = false;
    }
    if (!play_) return;
    if (const char* failure = output_->Failure(); failure && !lost_) {
        failure_ = failure;
        lost_ = true;
    }
    rest_ = PositionSample();
    output_->Stop();
    play_.reset();
}

} // namespace zv
