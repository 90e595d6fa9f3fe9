#include "BeatScore.h"

#include <algorithm>
#include <cmath>

namespace zv::test {

namespace {

double MedianPeriod(const std::vector<double>& beats) {
    std::vector<double> gaps;
    for (std::size_t i = 1; i < beats.size(); ++i) gaps.push_back(beats[i] - beats[i - 1]);
    if (gaps.empty()) return 0;
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
    return gaps[gaps.size() / 2];
}

} // namespace

double FMeasure(const std::vector<double>& found, const std::vector<double>& truth, double tolerance) {
    if (found.empty() && truth.empty()) return 1;
    if (found.empty() || truth.empty()) return 0;
    // Both rise: a greedy walk matches each true beat to the nearest unused
    // found beat within the tolerance.
    std::size_t matched = 0, j = 0;
    for (const double t : truth) {
        while (j < found.size() && found[j] < t - tolerance) ++j;
        if (j < found.size() && std::fabs(found[j] - t) <= tolerance) {
            ++matched;
            ++j;
        }
    }
    const double precision = static_cast<double>(matched) / static_cast<double>(found.size());
    const double recall = static_cast<double>(matched) / static_cast<double>(truth.size());
    return precision + recall > 0 ? 2 * precision * recall / (precision + recall) : 0;
}

std::string TempoLevel(const std::vector<double>& found, const std::vector<double>& truth) {
    if (found.size() < 2 || truth.size() < 2) return "none";
    // The found beats over the true ones where both are (a fade-in whose
    // first beats are missed still has its tempo): a tempo that changes
    // counts by its beats, not by its median.
    const double from = std::max(found.front(), truth.front()) - kOneFrameAt24;
    const double to = std::min(found.back(), truth.back()) + kOneFrameAt24;
    auto within = [&](const std::vector<double>& v) {
        return std::count_if(v.begin(), v.end(), [&](double t) { return t >= from && t <= to; });
    };
    const auto inside = within(found), trueInside = within(truth);
    const double ratio = inside > 1 && trueInside > 1
                             ? static_cast<double>(inside - 1) / static_cast<double>(trueInside - 1)
                             : MedianPeriod(truth) / MedianPeriod(found);   // found tempo / true tempo
    const struct {
        double ratio;
        const char* name;
    } levels[] = {{1, "right"}, {2, "double"}, {0.5, "half"}, {1.5, "3/2"}, {2.0 / 3, "2/3"},
                  {4.0 / 3, "4/3"}, {0.75, "3/4"}, {3, "triple"}, {1.0 / 3, "third"}};
    for (const auto& l : levels)
        if (std::fabs(ratio / l.ratio - 1) < 0.08) return l.name;
    return "other";
}

} // namespace zv::test
