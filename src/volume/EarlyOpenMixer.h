#pragma once
// A mixer that starts opening itself on a thread of its own as soon as it is
// made, so that connecting to the sound system (15-30 ms of round trips to
// the sound server through ALSA's plugin) overlaps the toolkit's own
// start-up instead of following it. The first Open returns that attempt's
// result; every call waits for the attempt to end first, so the mixer behind
// is only ever used by one thread at a time.
#include <future>
#include <memory>

#include "volume/Mixer.h"

namespace zv {

class EarlyOpenMixer : public Mixer {
public:
    // Starts mixer->Open() now. `mixer` must not be null.
    explicit EarlyOpenMixer(std::unique_ptr<Mixer> mixer);
    // Waits for the attempt if it is still running.
    ~EarlyOpenMixer() override;
    EarlyOpenMixer(const EarlyOpenMixer&) = delete;
    EarlyOpenMixer& operator=(const EarlyOpenMixer&) = delete;

    bool Open() override;
    bool FindVolumeControl(int32_t& minimum, int32_t& maximum, int32_t& current) override;
    bool SetVolume(int32_t value) override;

private:
    // The early attempt's result once it has ended (false if it raised).
    bool Settle();

    std::unique_ptr<Mixer> mixer_;
    std::future<bool> attempt_;
    bool settled_ = false;
    bool earlyResult_ = false;
    bool earlyResultTaken_ = false;
};

} // namespace zv
