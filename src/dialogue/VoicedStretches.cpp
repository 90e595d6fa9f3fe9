#include "dialogue/VoicedStretches.h"

#include <algorithm>
#include <cmath>

namespace zv {

std::vector<Stretch> FindVoicedStretches(const std::vector<float>& mono, int32_t sampleRate,
                                         const VoicingSettings& settings) {
    std::vector<Stretch> out;
    if (sampleRate <= 0 || mono.empty()) return out;
    const int64_t window = std::max<int64_t>(sampleRate / 100, 1);
    const int64_t count = static_cast<int64_t>(mono.size());
    std::vector<double> db;
    for (int64_t at = 0; at < count; at += window) {
        const int64_t end = std::min(at + window, count);
        double sum = 0;
        for (int64_t i = at; i < end; ++i) sum += static_cast<double>(mono[static_cast<std::size_t>(i)]) * mono[static_cast<std::size_t>(i)];
        db.push_back(10.0 * std::log10(sum / static_cast<double>(end - at) + 1e-12));
    }
    std::vector<double> sorted = db;
    std::sort(sorted.begin(), sorted.end());
    const double floor = sorted[sorted.size() / 10];
    const double peak = sorted[std::min(sorted.size() - 1, sorted.size() * 97 / 100)];
    const double threshold =
        std::max({floor + settings.floorMarginDb, peak - settings.peakRangeDb, settings.silenceDbfs});
    if (peak < threshold) return out;
    const std::size_t minPause = static_cast<std::size_t>(std::max(settings.minPauseMs / 10, 1));
    const std::size_t minSpeech = static_cast<std::size_t>(std::max(settings.minSpeechMs / 10, 1));
    // Windows over the threshold, gaps shorter than a pause bridged.
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < db.size();) {
        if (db[i] < threshold) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < db.size() && db[j] >= threshold) ++j;
        if (!runs.empty() && i - runs.back().second < minPause) runs.back().second = j;
        else runs.push_back({i, j});
        i = j;
    }
    for (const auto& [first, last] : runs) {
        if (last - first < minSpeech) continue;
        out.push_back({static_cast<int64_t>(first) * window, std::min(static_cast<int64_t>(last) * window, count)});
    }
    return out;
}

} // namespace zv
