#include "beats/BeatFeatures.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "spectrum/FftwPlanLock.h"

namespace zv {

namespace {

constexpr double kLowTop = 250;     // Hz
constexpr double kMidTop = 2500;    // Hz
constexpr double kHighTop = 16000;  // Hz
constexpr double kChromaLow = 60;   // Hz: chroma from about B1 ...
constexpr double kChromaHigh = 2100;   // ... to C7
// log(1 + kCompress x |X|): loud and soft attacks count alike.
constexpr double kCompress = 20;
// The chroma windows either side of a harmonic change, seconds.
constexpr double kHarmonySpan = 0.15;
// A chroma window quieter than this share of the median frame's is left out.
constexpr double kQuietHarmony = 0.05;
constexpr double kLoudTop = 5000;      // Hz
constexpr double kLoudSpan = 0.05;     // seconds the level rises over

struct Fft {
    int size;
    float* in = nullptr;
    fftwf_complex* out = nullptr;
    fftwf_plan plan = nullptr;
    explicit Fft(int n) : size(n) {
        const FftwPlanLock lock;
        in = fftwf_alloc_real(static_cast<std::size_t>(n));
        out = fftwf_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
        if (in && out) plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    }
    ~Fft() {
        const FftwPlanLock lock;
        if (plan) fftwf_destroy_plan(plan);
        if (in) fftwf_free(in);
        if (out) fftwf_free(out);
    }
    Fft(const Fft&) = delete;
    Fft& operator=(const Fft&) = delete;
    bool Ok() const { return plan != nullptr; }
};

using Chroma = std::array<float, 12>;

// ln(1 + x) for x >= 0 to within about 1e-6, without a
// library call: the exponent of 1 + x read off its bits and the mantissa,
// taken into [0.71, 1.41), through the series of ln((1 + r) / (1 - r)).
inline float LogOnePlus(float x) {
    const float y = 1.0f + x;
    const auto bits = std::bit_cast<uint32_t>(y);
    float exponent = static_cast<float>(static_cast<int>((bits >> 23) & 0xff) - 127);
    float m = std::bit_cast<float>((bits & 0x7fffffu) | 0x3f800000u);
    if (m > 1.41421356f) {
        m *= 0.5f;
        exponent += 1.0f;
    }
    const float r = (m - 1.0f) / (m + 1.0f), r2 = r * r;
    const float ln = 2.0f * r * (1.0f + r2 * (1.0f / 3 + r2 * (1.0f / 5 + r2 * (1.0f / 7 + r2 * (1.0f / 9)))));
    return ln + exponent * 0.693147181f;
}

} // namespace

float ChromaDistance(const Chroma& a, const Chroma& b) {
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        const double x = a[i], y = b[i];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    if (aa <= 1e-12 || bb <= 1e-12) return 0;
    return static_cast<float>(std::max(0.0, 1.0 - ab / std::sqrt(aa * bb)));
}

bool ReadBeatFeatures(const float* mono, std::size_t count, int32_t sampleRate, BeatFeatures& out,
                      const JobProgress* progress) {
    out = BeatFeatures{};
    out.sampleRate = sampleRate;
    try {
        if (!mono || count == 0 || sampleRate < 1000) return true;
        const int hop = std::max(1, static_cast<int>(std::lround(sampleRate / 100.0)));
        int window = 64;
        while (window < sampleRate * 0.046) window *= 2;
        out.hop = hop;
        Fft fft(window);
        if (!fft.Ok()) return true;
        std::vector<float> hann(static_cast<std::size_t>(window));
        for (int i = 0; i < window; ++i)
            hann[static_cast<std::size_t>(i)] =
                static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / window));
        const int bins = window / 2 + 1;
        const double binHz = static_cast<double>(sampleRate) / window;
        auto bin = [&](double hz) { return std::clamp(static_cast<int>(hz / binHz), 1, bins - 1); };
        const int lowTop = bin(kLowTop), midTop = bin(kMidTop), highTop = bin(std::min(kHighTop, sampleRate / 2.0));
        const int loudTop = bin(std::min(kLoudTop, sampleRate / 2.0));
        const auto loudSpan = static_cast<std::size_t>(std::max(1.0, kLoudSpan * sampleRate / hop));
        std::vector<float> levels;
        const int chromaFrom = bin(kChromaLow), chromaTo = std::min(bin(kChromaHigh), highTop);
        const int fluxTop = std::min(highTop, bins - 1);
        std::vector<float> magnitude(static_cast<std::size_t>(bins), 0.0f);
        std::vector<int> pitchClass(static_cast<std::size_t>(bins), -1);
        for (int k = chromaFrom; k <= chromaTo; ++k) {
            const double midi = 69 + 12 * std::log2(k * binHz / 440.0);
            pitchClass[static_cast<std::size_t>(k)] = static_cast<int>(std::lround(midi)) % 12;
        }

        const std::size_t frames = count / static_cast<std::size_t>(hop) + 1;
        out.low.assign(frames, 0.0f);
        out.mid.assign(frames, 0.0f);
        out.high.assign(frames, 0.0f);
        out.harmony.assign(frames, 0.0f);
        out.loud.assign(frames, 0.0f);
        levels.assign(frames, 0.0f);
        std::vector<Chroma> chroma(frames, Chroma{});
        std::vector<float> last(static_cast<std::size_t>(bins), 0.0f), now(static_cast<std::size_t>(bins));
        for (std::size_t t = 0; t < frames; ++t) {
            if (progress && (t & 127) == 0 && progress->Cancelled()) return false;
            // The window is centred on sample t x hop.
            const auto centre = static_cast<int64_t>(t) * hop;
            for (int i = 0; i < window; ++i) {
                const int64_t s = centre - window / 2 + i;
                const float v = s >= 0 && s < static_cast<int64_t>(count) ? mono[s] : 0.0f;
                fft.in[i] = std::isfinite(v) ? v * hann[static_cast<std::size_t>(i)] : 0.0f;
            }
            fftwf_execute(fft.plan);
            Chroma& c = chroma[t];
            double level = 0;
            for (int k = 0; k < loudTop; ++k) level += double(fft.out[k][0]) * fft.out[k][0] + double(fft.out[k][1]) * fft.out[k][1];
            // Magnitudes up to the top of the flux's bands (and one bin
            // over, its neighbour), in single precision: the loops vectorize.
            for (int k = 0; k <= fluxTop; ++k) {
                const float re = fft.out[k][0], im = fft.out[k][1];
                magnitude[static_cast<std::size_t>(k)] = std::sqrt(re * re + im * im);
            }
            for (int k = 0; k <= fluxTop; ++k)
                now[static_cast<std::size_t>(k)] = LogOnePlus(static_cast<float>(kCompress) * magnitude[static_cast<std::size_t>(k)]);
            for (int k = chromaFrom; k <= chromaTo; ++k)
                c[static_cast<std::size_t>(pitchClass[static_cast<std::size_t>(k)])] += magnitude[static_cast<std::size_t>(k)];
            levels[t] = static_cast<float>(std::sqrt(level) / window);
            float lowest = levels[t];
            for (std::size_t back = 1; back <= loudSpan && back <= t; ++back) lowest = std::min(lowest, levels[t - back]);
            out.loud[t] = levels[t] - lowest;
            {
                // The rise of each bin above the loudest of its neighbours a
                // hop before (a vibrato's slide is not an onset); before the
                // first hop, silence.
                double sums[3] = {0, 0, 0};
                for (int k = 1; k < highTop; ++k) {
                    const auto u = static_cast<std::size_t>(k);
                    const float before = std::max({last[u - 1], last[u], last[u + 1]});
                    const float rise = now[u] - before;
                    if (rise > 0) sums[k < lowTop ? 0 : k < midTop ? 1 : 2] += rise;
                }
                out.low[t] = static_cast<float>(sums[0]);
                out.mid[t] = static_cast<float>(sums[1]);
                out.high[t] = static_cast<float>(sums[2]);
            }
            std::swap(last, now);
        }
        // The harmonic change: running sums of chroma over the windows
        // before and after each frame.
        const auto span = static_cast<std::size_t>(std::max(2.0, kHarmonySpan * sampleRate / hop));
        std::vector<Chroma> sum(frames + 1, Chroma{});
        for (std::size_t t = 0; t < frames; ++t)
            for (std::size_t i = 0; i < 12; ++i) sum[t + 1][i] = sum[t][i] + chroma[t][i];
        // Windows far quieter than the sound's usual (a fading tail, the
        // noise before the music) have no harmony to change.
        std::vector<float> energy(frames);
        for (std::size_t t = 0; t < frames; ++t) {
            float e = 0;
            for (const float v : chroma[t]) e += v;
            energy[t] = e;
        }
        std::vector<float> sorted = energy;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(frames / 2), sorted.end());
        const double least = kQuietHarmony * static_cast<double>(sorted[frames / 2]) * static_cast<double>(span);
        for (std::size_t t = span; t + span <= frames; ++t) {
            Chroma before{}, after{};
            double eb = 0, ea = 0;
            for (std::size_t i = 0; i < 12; ++i) {
                before[i] = sum[t][i] - sum[t - span][i];
                after[i] = sum[t + span][i] - sum[t][i];
                eb += before[i];
                ea += after[i];
            }
            if (eb > least && ea > least) out.harmony[t] = ChromaDistance(before, after);
        }
        out.chroma = std::move(chroma);
    } catch (...) {
        // Out of memory: no features rather than a crash.
        const int32_t rate = out.sampleRate;
        out = BeatFeatures{};
        out.sampleRate = rate;
    }
    return true;
}

} // namespace zv
