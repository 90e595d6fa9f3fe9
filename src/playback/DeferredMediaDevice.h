#pragma once
// A media device that is made after the window is up: Prepare() starts
// making it on a thread of its own, and the first call that needs it (the
// first Open) waits for that, or makes it there and then if Prepare was
// never called. Until it is made it behaves as a device with nothing open
// (no length, position 0, playing nothing; Play, Pause and Seek change
// nothing), without waiting.
//
// Why: starting the real sound output (PortAudio probes every ALSA device,
// loading plugins and connecting to the sound server several times) takes
// about 70-110 ms of processor time, more than the rest of the window's
// start-up. Made once the window has been painted, it holds up neither the
// first painted window nor, normally, the first file opened. (PortAudio's
// device mutes the process's stderr while it starts; on the thread this
// also mutes, for that moment, whatever else the program prints there.)
#include <functional>
#include <future>
#include <memory>

#include "playback/MediaDevice.h"

namespace zv {

class DeferredMediaDevice : public MediaDevice {
public:
    using Factory = std::function<std::unique_ptr<MediaDevice>()>;
    // `make` is called once, by Prepare or on the first Open; it should not
    // return null (an Open then fails with DeviceError).
    explicit DeferredMediaDevice(Factory make);
    // Waits for a device still being made.
    ~DeferredMediaDevice() override;
    DeferredMediaDevice(const DeferredMediaDevice&) = delete;
    DeferredMediaDevice& operator=(const DeferredMediaDevice&) = delete;

    // Starts making the device on a thread of its own, unless it is made or
    // being made. Without a thread to be had, the first Open makes it.
    void Prepare();
    // The device behind, made now (or waited for) if it was not yet. Throws
    // what the factory threw, or DeviceError when it made nothing.
    MediaDevice& Device();
    bool IsMade() const { return device_ != nullptr; }

    void Open(const std::string& path) override;
    // Kept until the next Open, which hands it to the device.
    void OfferDecoded(const std::string& path, std::shared_ptr<const uint8_t> samples, int channels,
                      int64_t frames) override;
    void Close() override;
    bool IsOpen() const override;
    int32_t SampleRate() const override;
    int64_t LengthSamples() const override;
    int64_t PositionSample() const override;
    void Play(int64_t from, int64_t to) override;
    void SetPlayStyle(const PlayStyle& style) override;
    void Pause() override;
    void Seek(int64_t sample) override;
    bool IsPlaying() const override;
    std::string TakeOutputFailure() override;
    // True until the device is made and turns out to be silent.
    bool HasSoundOutput() const override;

private:
    Factory make_;
    std::future<std::unique_ptr<MediaDevice>> making_;  // set by Prepare until Device takes it
    std::unique_ptr<MediaDevice> device_;
    struct Offer {
        std::string path;
        std::shared_ptr<const uint8_t> samples;
        int channels = 0;
        int64_t frames = 0;
    };
    Offer offer_;
};

} // namespace zv
