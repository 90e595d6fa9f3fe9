#include "playback/PlayFeed.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace zv {

namespace {

// Frames handed to the stretcher at a time.
constexpr int64_t kBlockFrames = 1024;

} // namespace

PlayPlan::PlayPlan(int64_t first, int64_t last, const PlayStyle& style)
    : from(first), to(std::max(last, first)), loopStart(style.loopStart), loop(style.loop && last > first),
      speed(style.speed > 0 && style.speed < 1 ? style.speed : 1.0) {
    if (loopStart < 0 || loopStart >= to) loopStart = from;
}

int64_t PlayPlan::FileFrameOf(int64_t outputFrame) const {
    const int64_t input = speed == 1.0 ? outputFrame : std::llround(static_cast<double>(outputFrame) * speed);
    const int64_t first = to - from;
    if (input < first) return from + std::max<int64_t>(input, 0);
    if (!loop) return to;
    return loopStart + (input - first) % (to - loopStart);
}

int64_t PlayPlan::OutputFrames() const { return loop || speed != 1.0 ? INT64_MAX : to - from; }

PlayFeed::PlayFeed(int channels, int32_t sampleRate, const PlayPlan& plan, Reader read, Seeker seek)
    : channels_(std::max(channels, 1)), plan_(plan), read_(std::move(read)), seek_(std::move(seek)),
      nextRead_(plan.from) {
    if (plan_.speed == 1.0) return;
    using RB = RubberBand::RubberBandStretcher;
    stretcher_ = std::make_unique<RB>(static_cast<size_t>(std::max(sampleRate, 1)), static_cast<size_t>(channels_),
                                      RB::OptionProcessRealTime | RB::OptionChannelsTogether, 1.0 / plan_.speed);
    planar_.assign(static_cast<size_t>(channels_), std::vector<float>(kBlockFrames));
    interleaved_.resize(static_cast<size_t>(kBlockFrames * channels_));
    // Silence ahead of the first frame, and the stretcher's delay dropped
    // from its output: output frame n is then input frame n * speed.
    const size_t pad = stretcher_->getPreferredStartPad();
    std::vector<float> zeros(std::max<size_t>(pad, 1), 0.0f);
    std::vector<const float*> in(static_cast<size_t>(channels_), zeros.data());
    if (pad > 0) stretcher_->process(in.data(), pad, false);
    dropOutput_ = static_cast<int64_t>(stretcher_->getStartDelay());
}

PlayFeed::~PlayFeed() = default;

int64_t PlayFeed::ReadInput(float* out, int64_t frames) {
    int64_t done = 0;
    while (done < frames) {
        if (nextRead_ >= plan_.to) {
            if (!plan_.loop) break;
            seek_(plan_.loopStart);
            nextRead_ = plan_.loopStart;
        }
        const int64_t got = read_(out + done * channels_, std::min(frames - done, plan_.to - nextRead_));
        if (got <= 0) break;   // the file ended early or failed
        nextRead_ += got;
        done += got;
    }
    return done;
}

int64_t PlayFeed::Next(float* out, int64_t frames) {
    if (frames <= 0) return 0;
    return stretcher_ ? NextStretched(out, frames) : ReadInput(out, frames);
}

int64_t PlayFeed::NextStretched(float* out, int64_t frames) {
    int64_t done = 0;
    while (done < frames) {
        const int available = stretcher_->available();
        if (available < 0) break;   // the last input has all come out
        if (available > 0) {
            const int64_t take = std::min<int64_t>({available, kBlockFrames, dropOutput_ > 0 ? dropOutput_ : frames - done});
            std::vector<float*> planes;
            for (auto& p : planar_) planes.push_back(p.data());
            const auto got = static_cast<int64_t>(stretcher_->retrieve(planes.data(), static_cast<size_t>(take)));
            if (dropOutput_ > 0) {
                dropOutput_ -= got;
                continue;
            }
            for (int64_t f = 0; f < got; ++f)
                for (int c = 0; c < channels_; ++c)
                    out[(done + f) * channels_ + c] = planar_[static_cast<size_t>(c)][static_cast<size_t>(f)];
            done += got;
            continue;
        }
        if (inputDone_) break;   // still working on the tail: nothing yet
        const int64_t want = std::clamp<int64_t>(static_cast<int64_t>(stretcher_->getSamplesRequired()), 1, kBlockFrames);
        const int64_t got = ReadInput(interleaved_.data(), want);
        for (int64_t f = 0; f < got; ++f)
            for (int c = 0; c < channels_; ++c)
                planar_[static_cast<size_t>(c)][static_cast<size_t>(f)] = interleaved_[static_cast<size_t>(f * channels_ + c)];
        std::vector<const float*> planes;
        for (auto& p : planar_) planes.push_back(p.data());
        inputDone_ = got < want;
        stretcher_->process(planes.data(), static_cast<size_t>(got), inputDone_);
    }
    return done;
}

} // namespace zv
