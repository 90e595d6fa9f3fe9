#include "beats/Novelty.h"

#include <algorithm>
#include <cmath>

namespace zv {

Novelty::Novelty(const std::vector<float>& detection, double framesPerSecond)
    : values_(detection.size(), 0.0f), framesPerSecond_(framesPerSecond) {
    const std::size_t n = detection.size();
    if (n < 3 || framesPerSecond <= 0) return;
    // Moving mean over a quarter of a second, by a running sum.
    const auto half = static_cast<std::size_t>(std::max(1.0, framesPerSecond * 0.125));
    std::vector<double> prefix(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + detection[i];
    double sum = 0, sumSquares = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t lo = i >= half ? i - half : 0;
        const std::size_t hi = std::min(n, i + half + 1);
        const double mean = (prefix[hi] - prefix[lo]) / static_cast<double>(hi - lo);
        const double v = std::max(0.0, static_cast<double>(detection[i]) - mean);
        values_[i] = static_cast<float>(v);
        sum += v;
        sumSquares += v * v;
    }
    const double mean = sum / static_cast<double>(n);
    const double variance = sumSquares / static_cast<double>(n) - mean * mean;
    // A flat function (digital silence, a steady tone) has nothing to scale.
    if (!(variance > 1e-12)) {
        std::fill(values_.begin(), values_.end(), 0.0f);
        return;
    }
    hasSignal_ = true;
    const double scale = 1.0 / std::sqrt(variance);
    for (float& v : values_) v = static_cast<float>(v * scale);

    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double a = values_[i - 1], b = values_[i], c = values_[i + 1];
        if (!(b > a && b >= c) || b <= 0) continue;
        const double curve = a - 2 * b + c;
        const double shift = curve < 0 ? std::clamp(0.5 * (a - c) / curve, -0.5, 0.5) : 0.0;
        peaks_.push_back({static_cast<double>(i) + shift, b - 0.25 * (a - c) * shift});
    }
    if (!peaks_.empty()) {
        std::vector<double> heights;
        heights.reserve(peaks_.size());
        for (const NoveltyPeak& p : peaks_) heights.push_back(p.height);
        const std::size_t k = heights.size() * 9 / 10;
        std::nth_element(heights.begin(), heights.begin() + static_cast<std::ptrdiff_t>(k), heights.end());
        onsetFloor_ = heights[k] * 0.2;
    }
}

double Novelty::At(double frame) const {
    if (!(frame >= 0) || frame > static_cast<double>(values_.size() - 1) || values_.empty()) return 0;
    const auto i = static_cast<std::size_t>(frame);
    if (i + 1 >= values_.size()) return values_[i];
    const double t = frame - static_cast<double>(i);
    return values_[i] * (1 - t) + values_[i + 1] * t;
}

double Novelty::MaxNear(double frame, double reach) const { return MaxIn(frame - reach, frame + reach); }

double Novelty::AttackAt(double frame) const {
    return MaxIn(frame - 0.02 * framesPerSecond_, frame + 0.06 * framesPerSecond_);
}

double Novelty::MaxIn(double from, double to) const {
    const double lo = std::max(0.0, std::ceil(from));
    const double hi = std::min(static_cast<double>(values_.size()) - 1, std::floor(to));
    double best = 0;
    for (double f = lo; f <= hi; f += 1) best = std::max(best, static_cast<double>(values_[static_cast<std::size_t>(f)]));
    return best;
}

const NoveltyPeak* Novelty::PeakNear(double frame, double reach, double floor) const {
    auto it = std::lower_bound(peaks_.begin(), peaks_.end(), frame - reach,
                               [](const NoveltyPeak& p, double at) { return p.at < at; });
    const NoveltyPeak* best = nullptr;
    for (; it != peaks_.end() && it->at <= frame + reach; ++it)
        if (it->height >= floor && (!best || it->height > best->height)) best = &*it;
    return best;
}

} // namespace zv
