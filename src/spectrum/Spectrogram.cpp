#include "spectrum/Spectrogram.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <stdexcept>

#include "jobs/JobProgress.h"
#include "sound/MonoMix.h"
#include "sound/SampleReaders.h"
#include "spectrum/FftwPlanLock.h"

namespace zv {

namespace {

constexpr double kPi = 3.14159265358979323846;
// At most this many windows a column (a column wider than a window).
constexpr int kMaxWindowsPerColumn = 4;
// At most this many columns (far wider than any screen).
constexpr int kMaxColumns = 16384;
// Columns between two looks at the cancel.
constexpr int kColumnsPerPiece = 16;
// The stretch mixed to mono up front when it costs fewer reads than the
// windows one by one, sample frames (256 MiB of floats at most).
constexpr int64_t kMaxPremix = int64_t{1} << 26;

// One real-to-complex plan of `n` points with its own buffers, made and
// destroyed under aubio's FFTW lock.
class RealFft {
public:
    explicit RealFft(int n) : n_(n) {
        in_ = fftwf_alloc_real(static_cast<std::size_t>(n));
        out_ = fftwf_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
        if (!in_ || !out_) {
            Free();
            throw std::bad_alloc();
        }
        {
            FftwPlanLock lock;
            plan_ = fftwf_plan_dft_r2c_1d(n, in_, out_, FFTW_ESTIMATE);
        }
        if (!plan_) {
            Free();
            throw std::runtime_error("FFTW could not plan a transform of " + std::to_string(n) + " points");
        }
    }
    ~RealFft() {
        if (plan_) {
            FftwPlanLock lock;
            fftwf_destroy_plan(plan_);
        }
        Free();
    }
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    float* In() { return in_; }
    // |X_k|^2 for k = 0 .. n/2, of what In() holds.
    void Power(std::vector<float>& power) {
        fftwf_execute(plan_);
        power.resize(static_cast<std::size_t>(n_ / 2 + 1));
        for (std::size_t k = 0; k < power.size(); ++k) power[k] = out_[k][0] * out_[k][0] + out_[k][1] * out_[k][1];
    }

private:
    void Free() {
        fftwf_free(in_);
        fftwf_free(out_);
        in_ = nullptr;
        out_ = nullptr;
    }

    int n_;
    float* in_ = nullptr;
    fftwf_complex* out_ = nullptr;
    fftwf_plan plan_ = nullptr;
};

// Which bins make a row: the loudest of [lo, hi], or, for a band narrower
// than a bin, the power between the two bins around `at` (a fractional bin).
struct RowBins {
    bool dark = false;   // above the Nyquist frequency
    int lo = 0, hi = -1;
    double at = 0;
};

std::vector<RowBins> MapRows(int32_t sampleRate, int n) {
    std::vector<RowBins> rows(SpectrogramAxis::kRows);
    const double binHz = static_cast<double>(sampleRate) / n, nyquist = sampleRate / 2.0;
    const int lastBin = n / 2;
    for (int r = 0; r < SpectrogramAxis::kRows; ++r) {
        RowBins& row = rows[static_cast<std::size_t>(r)];
        const double centre = SpectrogramAxis::RowHz(r);
        if (centre >= nyquist) {
            row.dark = true;
            continue;
        }
        const double top = std::min(SpectrogramAxis::RowHz(r - 0.5), nyquist);
        const double bottom = SpectrogramAxis::RowHz(r + 0.5);
        row.lo = static_cast<int>(std::ceil(bottom / binHz));
        row.hi = std::min(static_cast<int>(std::floor(top / binHz)), lastBin);
        row.at = std::min(centre / binHz, static_cast<double>(lastBin));
    }
    return rows;
}

float RowPower(const RowBins& row, const std::vector<float>& power) {
    if (row.lo <= row.hi) return *std::max_element(power.begin() + row.lo, power.begin() + row.hi + 1);
    const auto k = static_cast<std::size_t>(row.at);
    const double t = row.at - static_cast<double>(k);
    const float below = power[k], above = k + 1 < power.size() ? power[k + 1] : below;
    return static_cast<float>(below + t * (above - below));
}

uint8_t LevelOf(float power, int n) {
    // A full-scale sine gives |X| = n / 4 through a Hann window of n points.
    const double ref = (n / 4.0) * (n / 4.0);
    const double db = 10.0 * std::log10(static_cast<double>(power) / ref + 1e-30);
    const double level = (db - kSpectrogramFloorDb) / (kSpectrogramTopDb - kSpectrogramFloorDb) * 255.0;
    return static_cast<uint8_t>(std::lround(std::clamp(level, 0.0, 255.0)));
}

// The mono samples of windows: from a stretch mixed up front, or read
// frame by frame for windows far apart (a long sound seen whole).
class MonoWindows {
public:
    MonoWindows(const SoundData& sound, int64_t lo, int64_t hi, int64_t reads) : sound_(sound) {
        total_ = sound.WavLoaded ? sound.NumSamples : 0;
        channels_ = std::max<int>(sound.WavFormat.nChannels, 1);
        const int64_t from = std::max<int64_t>(lo, 0), to = std::min<int64_t>(hi, total_);
        if (to > from && to - from <= std::min(reads, kMaxPremix)) {
            mono_ = MonoMix(sound, from, to);
            from_ = from;
            premixed_ = true;
        }
    }

    // n samples from frame `start` (silence outside the sound), windowed.
    void Fill(int64_t start, const std::vector<float>& hann, float* out) const {
        const int n = static_cast<int>(hann.size());
        for (int i = 0; i < n; ++i) {
            const int64_t f = start + i;
            float v = 0.0f;
            if (f >= 0 && f < total_) {
                if (premixed_ && f >= from_ && f - from_ < static_cast<int64_t>(mono_.size())) {
                    v = mono_[static_cast<std::size_t>(f - from_)];
                } else if (!premixed_) {
                    double sum = 0;
                    for (int c = 0; c < channels_; ++c) sum += NormalizedSample(sound_, static_cast<int32_t>(f), c);
                    v = static_cast<float>(sum / channels_);
                }
            }
            out[i] = v * hann[static_cast<std::size_t>(i)];
        }
    }

private:
    const SoundData& sound_;
    int64_t total_ = 0;
    int channels_ = 1;
    bool premixed_ = false;
    int64_t from_ = 0;
    std::vector<float> mono_;
};

} // namespace

double SpectrogramAxis::RowHz(double row) {
    return kTopHz * std::pow(kBottomHz / kTopHz, row / (kRows - 1));
}

int SpectrogramAxis::RowOf(double hz) {
    if (!(hz > 0)) return kRows - 1;
    const double row = (kRows - 1) * std::log(hz / kTopHz) / std::log(kBottomHz / kTopHz);
    return static_cast<int>(std::lround(std::clamp(row, 0.0, static_cast<double>(kRows - 1))));
}

int32_t SpectrogramWindow(int32_t sampleRate) { return sampleRate >= 32000 ? 2048 : 1024; }

uint32_t SpectrogramColour(uint8_t level) {
    static const std::array<uint32_t, 256> table = [] {
        struct Stop {
            double at;
            double r, g, b;
        };
        constexpr Stop stops[] = {{0.00, 0, 0, 0},      {0.15, 20, 5, 60},     {0.35, 100, 20, 130},
                                  {0.55, 200, 40, 90},  {0.75, 250, 130, 30},  {0.90, 255, 215, 80},
                                  {1.00, 255, 255, 220}};
        std::array<uint32_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double x = i / 255.0;
            std::size_t s = 1;
            while (s + 1 < std::size(stops) && stops[s].at < x) ++s;
            const Stop& a = stops[s - 1];
            const Stop& b = stops[s];
            const double u = std::clamp((x - a.at) / (b.at - a.at), 0.0, 1.0);
            const auto mix = [u](double p, double q) { return static_cast<uint32_t>(std::lround(p + u * (q - p))); };
            t[static_cast<std::size_t>(i)] = 0xff000000u | mix(a.r, b.r) << 16 | mix(a.g, b.g) << 8 | mix(a.b, b.b);
        }
        return t;
    }();
    return table[level];
}

SpectrogramOutcome ComputeSpectrogram(const SoundData& sound, const SpectrogramRequest& request,
                                      JobProgress* progress, SpectrogramImage& out) {
    out = SpectrogramImage{};
    const int32_t rate = sound.WavFormat.nSamplesPerSec;
    const int columns = std::clamp(request.columns, 0, kMaxColumns);
    if (columns == 0 || !(request.perColumn > 0) || !std::isfinite(request.perColumn)) return SpectrogramOutcome::Done;
    const int n = SpectrogramWindow(rate);
    out.first = request.first;
    out.perColumn = request.perColumn;
    out.columns = columns;
    out.rows = SpectrogramAxis::kRows;
    out.window = n;
    const std::size_t cells = static_cast<std::size_t>(columns) * SpectrogramAxis::kRows;
    out.levels.assign(cells, 0);
    out.pixels.assign(cells, SpectrogramColour(0));
    if (!sound.WavLoaded || sound.NumSamples <= 0 || rate <= 0) return SpectrogramOutcome::Done;

    const int perColumn = static_cast<int>(
        std::clamp(std::ceil(request.perColumn / n), 1.0, static_cast<double>(kMaxWindowsPerColumn)));
    // Window j of column x is centred on first + (x + (j + 0.5) / perColumn) x request.perColumn.
    const auto windowStart = [&](int x, int j) {
        const double centre = static_cast<double>(request.first) +
                              (x + (j + 0.5) / perColumn) * request.perColumn;
        return static_cast<int64_t>(std::llround(centre)) - n / 2;
    };
    const int64_t lo = windowStart(0, 0), hi = windowStart(columns - 1, perColumn - 1) + n;
    const MonoWindows source(sound, lo, hi, int64_t{columns} * perColumn * n);

    std::vector<float> hann(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) hann[static_cast<std::size_t>(i)] = static_cast<float>(0.5 - 0.5 * std::cos(2 * kPi * i / n));
    const std::vector<RowBins> rows = MapRows(rate, n);
    RealFft fft(n);
    std::vector<float> power, loudest;
    if (progress) progress->SetTotal(columns);
    for (int x = 0; x < columns; ++x) {
        if (progress && x % kColumnsPerPiece == 0) {
            if (progress->Cancelled()) return SpectrogramOutcome::Cancelled;
            progress->SetDone(x);
        }
        for (int j = 0; j < perColumn; ++j) {
            source.Fill(windowStart(x, j), hann, fft.In());
            fft.Power(power);
            if (j == 0) loudest = power;
            else
                for (std::size_t k = 0; k < power.size(); ++k) loudest[k] = std::max(loudest[k], power[k]);
        }
        for (int r = 0; r < SpectrogramAxis::kRows; ++r) {
            const RowBins& row = rows[static_cast<std::size_t>(r)];
            if (row.dark) continue;
            const uint8_t level = LevelOf(RowPower(row, loudest), n);
            const std::size_t cell = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) +
                                     static_cast<std::size_t>(x);
            out.levels[cell] = level;
            out.pixels[cell] = SpectrogramColour(level);
        }
    }
    if (progress) progress->SetDone(columns);
    return SpectrogramOutcome::Done;
}

} // namespace zv
