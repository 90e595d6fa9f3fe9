#include "beats/TapTempo.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zv {

void TapTempo::Reset() {
    last_.reset();
    gaps_.clear();
}

std::optional<double> TapTempo::Tap(int64_t ms) {
    if (last_ && (ms - *last_ > kRestartMs || ms <= *last_)) Reset();
    if (last_) {
        gaps_.push_back(ms - *last_);
        if (gaps_.size() > kMaxGaps) gaps_.pop_front();
    }
    last_ = ms;
    if (gaps_.size() + 1 < kMinTaps) return std::nullopt;
    // The mean of the gaps within a quarter of their median: a missed or
    // doubled tap does not pull the tempo.
    std::vector<int64_t> sorted(gaps_.begin(), gaps_.end());
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const auto median = static_cast<double>(sorted[sorted.size() / 2]);
    double sum = 0;
    int n = 0;
    for (const int64_t gap : gaps_) {
        if (std::fabs(static_cast<double>(gap) - median) > 0.25 * median) continue;
        sum += static_cast<double>(gap);
        ++n;
    }
    if (n == 0 || sum <= 0) return std::nullopt;
    return 60000.0 * n / sum;
}

} // namespace zv
