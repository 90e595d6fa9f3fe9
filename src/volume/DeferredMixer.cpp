#include "volume/DeferredMixer.h"

#include <chrono>
#include <system_error>
#include <utility>

#include "common/Log.h"

namespace zv {

DeferredMixer::DeferredMixer(std::unique_ptr<Mixer> mixer) : mixer_(std::move(mixer)) {}

void DeferredMixer::Prepare() {
    if (prepared_ || settled_) return;
    prepared_ = true;
    Mixer* const behind = mixer_.get();
    try {
        attempt_ = std::async(std::launch::async, [behind] { return behind->Open(); });
    } catch (const std::system_error&) {
        // No thread to be had: the first Open opens it then, as a plain mixer would.
        LogCurrentError(LogArea::Mixer, "Opening the mixer in the background");
    }
}

bool DeferredMixer::Ready() const {
    if (settled_) return true;
    if (!prepared_) return false;
    return !attempt_.valid() || attempt_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

DeferredMixer::~DeferredMixer() {
    if (attempt_.valid()) attempt_.wait();
}

bool DeferredMixer::Settle() {
    if (!settled_) {
        settled_ = true;
        try {
            earlyResult_ = attempt_.valid() ? attempt_.get() : mixer_->Open();
        } catch (...) {
            earlyResult_ = false;   // a mixer that failed to open, not a program that ends
            LogCurrentError(LogArea::Mixer, "Opening the mixer");
        }
    }
    return earlyResult_;
}

bool DeferredMixer::Open() {
    const bool early = Settle();
    if (!earlyResultTaken_) {
        earlyResultTaken_ = true;
        return early;
    }
    return mixer_->Open();
}

bool DeferredMixer::FindVolumeControl(int32_t& minimum, int32_t& maximum, int32_t& current) {
    Settle();
    return mixer_->FindVolumeControl(minimum, maximum, current);
}

bool DeferredMixer::SetVolume(int32_t value) {
    Settle();
    return mixer_->SetVolume(value);
}

} // namespace zv
