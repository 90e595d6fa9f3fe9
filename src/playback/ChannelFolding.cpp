#include "playback/ChannelFolding.h"

#include <algorithm>

namespace zv {

namespace {

struct Gains {
    float left, right;
};

Gains GainsOf(Speaker s) {
    switch (s) {
    case Speaker::FrontLeft:
    case Speaker::FrontLeftOfCentre: return {1.0f, 0.0f};
    case Speaker::FrontRight:
    case Speaker::FrontRightOfCentre: return {0.0f, 1.0f};
    case Speaker::Lfe: return {0.0f, 0.0f};
    case Speaker::BackLeft:
    case Speaker::SideLeft:
    case Speaker::TopFrontLeft:
    case Speaker::TopBackLeft: return {kMinus3dB, 0.0f};
    case Speaker::BackRight:
    case Speaker::SideRight:
    case Speaker::TopFrontRight:
    case Speaker::TopBackRight: return {0.0f, kMinus3dB};
    case Speaker::FrontCentre:
    case Speaker::BackCentre:
    case Speaker::TopCentre:
    case Speaker::TopFrontCentre:
    case Speaker::TopBackCentre:
    case Speaker::Unknown: break;
    }
    return {kMinus3dB, kMinus3dB};
}

}  // namespace

std::vector<Speaker> UsualLayout(int channels) {
    using S = Speaker;
    static const std::vector<std::vector<Speaker>> kUsual = {
        {},
        {S::FrontCentre},
        {S::FrontLeft, S::FrontRight},
        {S::FrontLeft, S::FrontRight, S::FrontCentre},
        {S::FrontLeft, S::FrontRight, S::BackLeft, S::BackRight},
        {S::FrontLeft, S::FrontRight, S::FrontCentre, S::BackLeft, S::BackRight},
        {S::FrontLeft, S::FrontRight, S::FrontCentre, S::Lfe, S::BackLeft, S::BackRight},
        {S::FrontLeft, S::FrontRight, S::FrontCentre, S::Lfe, S::BackCentre, S::SideLeft, S::SideRight},
        {S::FrontLeft, S::FrontRight, S::FrontCentre, S::Lfe, S::BackLeft, S::BackRight, S::SideLeft, S::SideRight},
    };
    if (channels < 1) return {};
    const auto known = static_cast<int>(kUsual.size()) - 1;
    std::vector<Speaker> layout = kUsual[static_cast<std::size_t>(std::min(channels, known))];
    layout.resize(static_cast<std::size_t>(channels), Speaker::Unknown);
    return layout;
}

StereoFold::StereoFold(int channels, const std::vector<Speaker>& layout)
    : channels_(std::max(channels, 0)), gains_(static_cast<std::size_t>(channels_) * 2, 0.0f) {
    if (channels_ <= 2) {
        for (int c = 0; c < channels_; ++c) gains_[static_cast<std::size_t>(c * 2 + c)] = 1.0f;
        return;
    }
    const std::vector<Speaker> places =
        layout.size() == static_cast<std::size_t>(channels_) ? layout : UsualLayout(channels_);
    for (int c = 0; c < channels_; ++c) {
        const Gains g = GainsOf(places[static_cast<std::size_t>(c)]);
        gains_[static_cast<std::size_t>(c * 2)] = g.left;
        gains_[static_cast<std::size_t>(c * 2 + 1)] = g.right;
    }
}

float StereoFold::Gain(int channel, int side) const {
    if (channel < 0 || channel >= channels_ || side < 0 || side > 1) return 0.0f;
    return gains_[static_cast<std::size_t>(channel * 2 + side)];
}

void StereoFold::Apply(const float* in, int64_t frames, float* out) const {
    if (channels_ <= 2) {
        std::copy_n(in, frames * channels_, out);
        return;
    }
    const float* g = gains_.data();
    for (int64_t f = 0; f < frames; ++f) {
        const float* frame = in + f * channels_;
        float left = 0.0f, right = 0.0f;
        for (int c = 0; c < channels_; ++c) {
            left += frame[c] * g[2 * c];
            right += frame[c] * g[2 * c + 1];
        }
        out[2 * f] = std::clamp(left, -1.0f, 1.0f);
        out[2 * f + 1] = std::clamp(right, -1.0f, 1.0f);
    }
}

void FoldChannels(const float* in, int fileChannels, int64_t frames, float* out) {
    StereoFold(fileChannels).Apply(in, frames, out);
}

} // namespace zv
