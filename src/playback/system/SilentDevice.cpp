#include "playback/system/SilentDevice.h"

#include <algorithm>
#include <chrono>

#include "playback/system/SoundFile.h"

namespace zv {

SilentDevice::SilentDevice(Clock clock) : clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] {
            return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                            std::chrono::steady_clock::now().time_since_epoch())
                                            .count());
        };
    }
}

void SilentDevice::Open(const std::string& path) {
    SoundFile file(path);   // throws with the reason; nothing changed yet
    Close();
    open_ = true;
    sampleRate_ = file.SampleRate();
    length_ = file.Frames();
}

void SilentDevice::Close() {
    open_ = false;
    playing_ = false;
    sampleRate_ = 0;
    length_ = 0;
    rest_ = 0;
}

int64_t SilentDevice::PositionSample() const {
    if (!playing_) return rest_;
    const int64_t elapsed = std::max<int64_t>(0, clock_() - startNs_);
    const long double frames = static_cast<long double>(elapsed) * sampleRate_ * style_.speed / 1e9L;
    const auto passed = static_cast<int64_t>(frames);
    if (style_.loop && passed >= to_ - from_)
        return style_.loopStart + (passed - (to_ - from_)) % (to_ - style_.loopStart);
    return std::min<int64_t>(to_, from_ + passed);
}

bool SilentDevice::IsPlaying() const { return playing_ && (style_.loop || PositionSample() < to_); }

void SilentDevice::Play(int64_t from, int64_t to) {
    Pause();
    if (!open_) return;
    from_ = std::clamp<int64_t>(from, 0, length_);
    to_ = std::clamp<int64_t>(to, 0, length_);
    rest_ = from_;
    if (from_ >= to_) return;
    style_ = nextStyle_;
    if (!(style_.speed > 0 && style_.speed <= 1)) style_.speed = 1;
    if (style_.loopStart < 0 || style_.loopStart >= to_) style_.loopStart = from_;
    startNs_ = clock_();
    playing_ = true;
}

void SilentDevice::Pause() {
    if (!playing_) return;
    rest_ = PositionSample();
    playing_ = false;
}

void SilentDevice::Seek(int64_t sample) {
    Pause();
    rest_ = std::clamp<int64_t>(sample, 0, length_);
}

} // namespace zv
