// Rows: View > Spectrogram. The spectrogram of one minute of a stereo
// 44.1 kHz sound across 1920 columns (what the job does for a full-width
// box), against FFTW alone running the same number of transforms of the
// same size; and the box repainted from the cached image, against the same
// box with the layer off. Registers itself (rows are listed in the order
// they register).
#include <QApplication>
#include <QPainter>
#include <fftw3.h>

#include <chrono>
#include <cmath>
#include <cstdio>

#include "BenchFiles.h"
#include "BenchTable.h"
#include "spectrum/FftwPlanLock.h"
#include "spectrum/Spectrogram.h"
#include "spectrum/SpectrogramCache.h"
#include "waveview/WaveView.h"
#include "waveview/layers/LayerStack.h"
#include "waveview/layers/SpectrogramLayer.h"
#include "window/PainterCanvas.h"
#include "window/PictureBox.h"

namespace zv::bench {

namespace {

constexpr int32_t kRate = 44100;
constexpr int32_t kFrames = kRate * 60;
constexpr int kColumns = 1920, kHeight = 400;

// A minute of speech-like sound: a gliding voiced tone with harmonics and
// bursts of noise, different in each channel.
const SoundData& Minute() {
    static SoundData sound = [] {
        uint32_t noise = 777;
        return Stereo16Sound(kFrames, kRate, [&](int32_t i) {
            const double t = i / double(kRate);
            noise = noise * 1664525u + 1013904223u;
            const double hiss = std::fmod(t, 1.3) < 0.15 ? ((noise >> 16) / 65536.0 - 0.5) : 0.0;
            const double f = 120 + 40 * std::sin(t * 1.7);
            double voiced = 0;
            for (int h = 1; h <= 6; ++h) voiced += std::sin(2 * M_PI * f * h * t) / h;
            const double l = 0.3 * voiced * (std::fmod(t, 1.3) >= 0.15) + 0.4 * hiss;
            const double r = 0.8 * l + 0.1 * std::sin(2 * M_PI * 2500 * t);
            return std::pair{l, r};
        });
    }();
    return sound;
}

void SpectrogramOfAMinute(benchmark::State& state) {
    const SoundData& sound = Minute();
    const SpectrogramKey key{0, kFrames, kColumns};
    // The baseline: the transforms alone, one a column.
    const int window = SpectrogramWindow(kRate);
    float* in = fftwf_alloc_real(static_cast<std::size_t>(window));
    fftwf_complex* out = fftwf_alloc_complex(static_cast<std::size_t>(window / 2 + 1));
    fftwf_plan plan;
    {
        const FftwPlanLock lock;
        plan = fftwf_plan_dft_r2c_1d(window, in, out, FFTW_ESTIMATE);
    }
    for (int i = 0; i < window; ++i) in[i] = static_cast<float>(std::sin(i * 0.1));
    double base = 0;
    int n = 0;
    for (auto _ : state) {
        SpectrogramImage image;
        auto start = std::chrono::steady_clock::now();
        ComputeSpectrogram(sound, key.Request(), nullptr, image);
        state.SetIterationTime(SecondsSince(start));
        benchmark::DoNotOptimize(image.pixels.data());
        start = std::chrono::steady_clock::now();
        for (int c = 0; c < kColumns; ++c) fftwf_execute(plan);
        base += SecondsSince(start);
        ++n;
    }
    {
        const FftwPlanLock lock;
        fftwf_destroy_plan(plan);
    }
    fftwf_free(in);
    fftwf_free(out);
    state.counters[kBaseline] = base / n * 1e3;
    char note[120];
    std::snprintf(note, sizeof note, "base: FFTW alone, %d transforms of %d samples", kColumns, window);
    SetRowText(state, "ms", "<= 200 ms", note);
}

// The box with the spectrogram layer over a cached image of the view.
struct SpectrumBox {
    PictureBox box;
    WaveView view;
    SpectrogramCache cache;
    LayerStack layers;
    explicit SpectrumBox(bool on) {
        box.SetBackColor({64, 0, 64});
        box.resize(kColumns, kHeight);
        box.show();
        box.Image();
        view.SetWidth(kColumns);
        view.Reset(kFrames);
        SpectrogramImage image;
        const SpectrogramKey key = SpectrogramLayer::KeyOf(view);
        ComputeSpectrogram(Minute(), key.Request(), nullptr, image);
        cache.Put(key, std::move(image));
        layers.Emplace<SpectrogramLayer>(cache, [](const SpectrogramKey&) {}).SetOn(on);
        box.AddOverlay([this](QPainter& p) {
            LayerScene scene(view);
            scene.height = kHeight;
            scene.sampleRate = kRate;
            scene.fps = 30;
            PainterCanvas canvas(p);
            layers.DrawScreen(canvas, scene);
        });
        QApplication::processEvents();
    }
};

void SpectrogramRedraw(benchmark::State& state) {
    SpectrumBox on(true), off(false);
    double base = 0;
    int n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        on.box.repaint();
        state.SetIterationTime(SecondsSince(start));
        start = std::chrono::steady_clock::now();
        off.box.repaint();
        base += SecondsSince(start);
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    SetRowText(state, "ms", "< 16 ms", "base: the same 1920x400 box with the layer off");
}

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("Spectrogram, 1 min at 1920 px", SpectrogramOfAMinute)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("  redraw from the cache", SpectrogramRedraw)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    return true;
}();

}  // namespace

}  // namespace zv::bench
