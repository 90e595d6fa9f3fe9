#include "dialogue/Resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace zv {

std::vector<int16_t> ResampleTo16Bit(const std::vector<float>& mono, int32_t fromRate, int32_t toRate) {
    if (mono.empty() || fromRate <= 0 || toRate <= 0) return {};
    std::vector<float> resampled;
    if (fromRate == toRate) {
        resampled = mono;
    } else {
        const double ratio = static_cast<double>(toRate) / fromRate;
        resampled.resize(static_cast<std::size_t>(std::ceil(static_cast<double>(mono.size()) * ratio)) + 16);
        std::size_t done = 0;
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        const soxr_error_t error = soxr_oneshot(fromRate, toRate, 1, mono.data(), mono.size(), nullptr,
                                                resampled.data(), resampled.size(), &done, &io, &quality, nullptr);
        if (error != nullptr) return {};
        resampled.resize(done);
    }
    std::vector<int16_t> out(resampled.size());
    std::transform(resampled.begin(), resampled.end(), out.begin(), [](float s) {
        const float scaled = std::clamp(s * 32767.0f, -32768.0f, 32767.0f);
        return static_cast<int16_t>(std::lrint(scaled));
    });
    return out;
}

} // namespace zv
