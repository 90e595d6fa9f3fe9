#include "beats/OnsetDetection.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace zv {

namespace {

static_assert(sizeof(smpl_t) == sizeof(float), "aubio is expected in single precision");

// The window's share of a value's lag: a value peaks when the attack lies
// this share of the window before the window's end (a little before its
// centre), as measured on clicks and drum hits at 44.1 and 48 kHz.
constexpr double kLagShare = 0.56;
// A rise is measured from the lowest level of this many values before
// (about 46 ms): the swell of a soft attack counts in full, and the ripple
// of a held chord hardly at all.
constexpr std::size_t kRiseSpan = 8;

struct AubioOnset {
    aubio_onset_t* onset = nullptr;
    fvec_t* in = nullptr;
    fvec_t* out = nullptr;
    AubioOnset(const char* method, uint_t window, uint_t hop, uint_t rate)
        : onset(new_aubio_onset(method, window, hop, rate)), in(new_fvec(hop)), out(new_fvec(1)) {}
    ~AubioOnset() {
        if (onset) del_aubio_onset(onset);
        if (in) del_fvec(in);
        if (out) del_fvec(out);
    }
    AubioOnset(const AubioOnset&) = delete;
    AubioOnset& operator=(const AubioOnset&) = delete;
    bool Ok() const { return onset && in && out; }
};

// Copies hop samples from `from` (zeros past the end) into the input;
// returns their sum of squares.
double FillHop(fvec_t* in, const float* mono, std::size_t count, std::size_t from) {
    smpl_t* data = fvec_get_data(in);
    const std::size_t hop = in->length;
    const std::size_t have = from < count ? std::min(hop, count - from) : 0;
    double energy = 0;
    for (std::size_t i = 0; i < have; ++i) {
        const float s = std::isfinite(mono[from + i]) ? mono[from + i] : 0.0f;
        data[i] = s;
        energy += static_cast<double>(s) * s;
    }
    std::fill(data + have, data + hop, smpl_t{0});
    return energy;
}

} // namespace

double OnsetCurve::ValueSample(double k) const {
    return (k + 1.0 - lead) * hop - kLagShare * window;
}

int32_t OnsetHop(int32_t sampleRate) {
    // The power of two nearest to 5.8 ms of samples, at least 32.
    const double wanted = sampleRate * 0.0058;
    int32_t hop = 32;
    while (hop * 2 <= 1 << 16 && std::fabs(hop * 2 - wanted) < std::fabs(hop - wanted)) hop *= 2;
    return hop;
}

OnsetPassOutcome DetectOnsets(const float* mono, std::size_t count, int32_t sampleRate, const std::string& method,
                              double threshold, JobProgress* progress, OnsetCurve& out, std::string& error) {
    out = OnsetCurve{};
    if (sampleRate < 1000) {
        error = "The sample rate is too low to find onsets";
        return OnsetPassOutcome::Failed;
    }
    const int32_t hop = OnsetHop(sampleRate);
    const int32_t window = hop * 2;
    AubioOnset aubio(method.c_str(), static_cast<uint_t>(window), static_cast<uint_t>(hop),
                     static_cast<uint_t>(sampleRate));
    if (!aubio.Ok()) {
        error = "The onset detector could not be made (" + method + ")";
        return OnsetPassOutcome::Failed;
    }
    if (threshold > 0) aubio_onset_set_threshold(aubio.onset, static_cast<smpl_t>(threshold));
    out.sampleRate = sampleRate;
    out.samples = static_cast<int64_t>(count);
    out.hop = hop;
    out.window = window;
    // The last window reaches past the end by the window's lag, so the
    // attacks of the last samples are seen too.
    const std::size_t hops = (count + static_cast<std::size_t>(window) + static_cast<std::size_t>(hop) - 1) /
                             static_cast<std::size_t>(hop);
    out.lead = window / hop;
    out.values.assign(static_cast<std::size_t>(out.lead), 0.0f);
    out.rises.assign(static_cast<std::size_t>(out.lead), 0.0f);
    out.levels.assign(static_cast<std::size_t>(out.lead), 0.0f);
    out.values.reserve(hops + static_cast<std::size_t>(out.lead));
    out.rises.reserve(hops + static_cast<std::size_t>(out.lead));
    // The sums of squares of the hops in the current window.
    std::vector<double> hopEnergy(static_cast<std::size_t>(window / hop), 0.0);
    // The window's RMS level over the last values, to rise from.
    std::vector<double> levels(kRiseSpan, 0.0);
    if (progress) progress->SetTotal(static_cast<int64_t>(count));
    for (std::size_t h = 0; h < hops; ++h) {
        if (progress && (h & 255) == 0) {
            if (progress->Cancelled()) return OnsetPassOutcome::Cancelled;
            progress->SetDone(static_cast<int64_t>(std::min(count, h * static_cast<std::size_t>(hop))));
        }
        hopEnergy[h % hopEnergy.size()] = FillHop(aubio.in, mono, count, h * static_cast<std::size_t>(hop));
        double energy = 0;
        for (const double e : hopEnergy) energy += e;
        const double rms = std::sqrt(energy / window);
        const double lowest = *std::min_element(levels.begin(), levels.end());
        out.rises.push_back(static_cast<float>(std::max(0.0, rms - lowest)));
        levels[h % levels.size()] = rms;
        out.levels.push_back(static_cast<float>(rms));
        aubio_onset_do(aubio.onset, aubio.in, aubio.out);
        const float value = aubio_onset_get_descriptor(aubio.onset);
        out.values.push_back(std::isfinite(value) ? std::max(value, 0.0f) : 0.0f);
        if (fvec_get_sample(aubio.out, 0) > 0) {
            const auto at = static_cast<int64_t>(aubio_onset_get_last(aubio.onset));
            if (at < static_cast<int64_t>(count) && (out.onsets.empty() || at > out.onsets.back()))
                out.onsets.push_back(at);
        }
    }
    if (progress) progress->SetDone(static_cast<int64_t>(count));
    return OnsetPassOutcome::Done;
}

std::vector<int64_t> PlainAubioOnsets(const float* mono, std::size_t count, int32_t sampleRate) {
    std::vector<int64_t> onsets;
    if (sampleRate < 1000) return onsets;
    constexpr uint_t kHop = 256;
    AubioOnset aubio("default", 512, kHop, static_cast<uint_t>(sampleRate));
    if (!aubio.Ok()) return onsets;
    for (std::size_t from = 0; from < count; from += kHop) {
        FillHop(aubio.in, mono, count, from);
        aubio_onset_do(aubio.onset, aubio.in, aubio.out);
        if (fvec_get_sample(aubio.out, 0) > 0) onsets.push_back(static_cast<int64_t>(aubio_onset_get_last(aubio.onset)));
    }
    return onsets;
}

} // namespace zv
