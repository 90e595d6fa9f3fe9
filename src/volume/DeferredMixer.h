#pragma once
// A mixer that is opened once the window is up: Prepare() starts opening it
// on a thread of its own, and Ready() tells whether that attempt has ended.
// The slider's set-up waits for Ready() without blocking the window, so the
// slider takes the system volume a moment after the first paint.
//
// Why: connecting to the sound system through ALSA's plugin loads libasound,
// the plugin and the sound server's client libraries and makes several round
// trips to the server. Run beside the toolkit's start-up on a two-core
// machine it delayed the first painted window by 10-25 ms (about a quarter
// of the window's own start-up), though it never made the window wait.
//
// The first Open returns the attempt's result; every call waits for the
// attempt to end first, so the mixer behind is only ever used by one thread
// at a time. Without Prepare (or without a thread to be had) the first call
// opens the mixer there and then, as a plain mixer would.
#include <future>
#include <memory>

#include "volume/Mixer.h"

namespace zv {

class DeferredMixer : public Mixer {
public:
    // `mixer` must not be null. Nothing is opened yet.
    explicit DeferredMixer(std::unique_ptr<Mixer> mixer);
    // Waits for the attempt if it is still running.
    ~DeferredMixer() override;
    DeferredMixer(const DeferredMixer&) = delete;
    DeferredMixer& operator=(const DeferredMixer&) = delete;

    // Starts mixer->Open() on a thread of its own, once.
    void Prepare();

    bool Ready() const override;
    bool Open() override;
    bool FindVolumeControl(int32_t& minimum, int32_t& maximum, int32_t& current) override;
    bool SetVolume(int32_t value) override;

private:
    // The attempt's result once it has ended (false if it raised).
    bool Settle();

    std::unique_ptr<Mixer> mixer_;
    std::future<bool> attempt_;
    bool prepared_ = false;
    bool settled_ = false;
    bool earlyResult_ = false;
    bool earlyResultTaken_ = false;
};

} // namespace zv
