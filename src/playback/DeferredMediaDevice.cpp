#include "playback/DeferredMediaDevice.h"

#include <system_error>
#include <utility>

#include "common/Errors.h"
#include "common/Log.h"

namespace zv {

DeferredMediaDevice::DeferredMediaDevice(Factory make) : make_(std::move(make)) {}

DeferredMediaDevice::~DeferredMediaDevice() {
    if (making_.valid()) making_.wait();
}

void DeferredMediaDevice::Prepare() {
    if (device_ || making_.valid()) return;
    try {
        making_ = std::async(std::launch::async, make_);
    } catch (const std::system_error&) {
        // No thread to be had: the first Open makes it.
        LogCurrentError(LogArea::Playback, "Starting the sound output early");
    }
}

MediaDevice& DeferredMediaDevice::Device() {
    if (!device_) {
        // A failed attempt is not kept: the next call tries again.
        device_ = making_.valid() ? making_.get() : make_();
        if (!device_) throw DeviceError("There is no sound output.");
    }
    return *device_;
}

void DeferredMediaDevice::Open(const std::string& path) {
    Offer offer = std::exchange(offer_, Offer{});
    MediaDevice& device = Device();
    if (offer.samples) device.OfferDecoded(offer.path, std::move(offer.samples), offer.channels, offer.frames);
    device.Open(path);
}

void DeferredMediaDevice::OfferDecoded(const std::string& path, std::shared_ptr<const uint8_t> samples,
                                       int channels, int64_t frames) {
    offer_ = Offer{path, std::move(samples), channels, frames};
}

void DeferredMediaDevice::Close() {
    if (device_) device_->Close();
}

bool DeferredMediaDevice::IsOpen() const { return device_ && device_->IsOpen(); }
int32_t DeferredMediaDevice::SampleRate() const { return device_ ? device_->SampleRate() : 0; }
int64_t DeferredMediaDevice::LengthSamples() const { return device_ ? device_->LengthSamples() : 0; }
int64_t DeferredMediaDevice::PositionSample() const { return device_ ? device_->PositionSample() : 0; }

void DeferredMediaDevice::Play(int64_t from, int64_t to) {
    if (device_) device_->Play(from, to);
}

void DeferredMediaDevice::SetPlayStyle(const PlayStyle& style) {
    if (device_) device_->SetPlayStyle(style);
}

void DeferredMediaDevice::Pause() {
    if (device_) device_->Pause();
}

void DeferredMediaDevice::Seek(int64_t sample) {
    if (device_) device_->Seek(sample);
}

bool DeferredMediaDevice::IsPlaying() const { return device_ && device_->IsPlaying(); }

std::string DeferredMediaDevice::TakeOutputFailure() { return device_ ? device_->TakeOutputFailure() : std::string(); }

bool DeferredMediaDevice::HasSoundOutput() const { return !device_ || device_->HasSoundOutput(); }

} // namespace zv
