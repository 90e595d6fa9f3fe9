// Rows: DrawWaves of a 16-bit stereo sound into the window's waveform box
// (the real PictureBox, its picture flushed: what users get) at the default
// size (9015 x 3675 twips) and 3840 pixels wide, against the best the paint
// engine can do with the same segments: one fill and one
// QPainter::drawLines call over a prepared array, into an image of the same
// size. Writes the pictures as PNG files beside the program for a look.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>

#include "BenchFiles.h"
#include "BenchTable.h"
#include "sound/SoundData.h"
#include "waveview/WaveRenderer.h"
#include "window/PictureBox.h"
#include "window/Twips.h"

namespace zv::bench {

namespace {

constexpr Rgb kBackground{64, 0, 64};
constexpr float kBoxHeightTwips = 3675;

// Two minutes of a stereo signal with some shape: two tones under slow
// envelopes, with noise bursts.
const SoundData& Sound() {
    static SoundData sound = [] {
        uint32_t noise = 12345;
        return Stereo16Sound(44100 * 120, 44100, [&](int32_t i) {
            const double t = i / 44100.0;
            noise = noise * 1664525u + 1013904223u;
            const double burst = std::fmod(t, 7.0) < 0.8 ? ((noise >> 16) / 65536.0 - 0.5) : 0.0;
            const double l = 0.6 * std::sin(t * 0.9) * std::sin(t * 2 * M_PI * 110) + 0.5 * burst;
            const double r = 0.5 * std::cos(t * 0.4) * std::sin(t * 2 * M_PI * 165) + 0.3 * burst;
            return std::pair{l, r};
        });
    }();
    return sound;
}

// Collects the segments DrawWaves makes, in pixels, for the baseline.
class CollectingCanvas : public Canvas {
public:
    CollectingCanvas(double pixelsPerTwipX, double pixelsPerTwipY) : kx_(pixelsPerTwipX), ky_(pixelsPerTwipY) {}
    void Clear() override { lines.clear(); }
    void Line(float x1, float y1, float x2, float y2, Rgb) override {
        lines.emplace_back(x1 * kx_, y1 * ky_, x2 * kx_, y2 * ky_);
    }
    void Box(float, float, float, float, Rgb) override {}
    std::vector<QLineF> lines;

private:
    double kx_, ky_;
};

// `widthTwips` 0: the box `widthPixels` wide.
void DrawWavesRow(benchmark::State& state, float widthTwips, int widthPixels, const char* png) {
    PictureBox box;
    box.SetBackColor(kBackground);
    const double dpiX = box.logicalDpiX(), dpiY = box.logicalDpiY();
    if (widthTwips == 0) widthTwips = static_cast<float>(PixelsToTwips(widthPixels, dpiX));
    box.resize(PixelEdge(widthTwips, dpiX), PixelEdge(kBoxHeightTwips, dpiY));
    const QSize pixels = box.size() * box.devicePixelRatioF();
    QImage baseImage(pixels, QImage::Format_RGB32);
    CollectingCanvas collect(dpiX / TwipsPerInch, dpiY / TwipsPerInch);
    DrawWaves(Sound(), collect, widthTwips, kBoxHeightTwips);
    const std::vector<QLineF> prepared = collect.lines;
    const QColor background(kBackground.r, kBackground.g, kBackground.b);

    double base = 0;
    int n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        DrawWaves(Sound(), box, widthTwips, kBoxHeightTwips);
        benchmark::DoNotOptimize(box.Image().constBits());  // the segments drawn into the picture
        state.SetIterationTime(SecondsSince(start));

        start = std::chrono::steady_clock::now();
        baseImage.fill(background);
        {
            QPainter p(&baseImage);
            p.setPen(QColor(0, 255, 0));
            p.drawLines(prepared.data(), int(prepared.size()));
        }
        base += SecondsSince(start);
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    state.counters[kTarget] = 1.5;
    SetRowText(state, "ms", "", "base: fill + one drawLines of the " + std::to_string(prepared.size()) +
                                    " segments, " + std::to_string(pixels.width()) + "x" +
                                    std::to_string(pixels.height()) + " px");
    box.Image().save(QString::fromUtf8(ZORVANE_BENCH_DIR) + "/" + png);
}

// DrawWaves' own share: the same pass into a canvas that paints nothing.
class NullCanvas : public Canvas {
public:
    void Clear() override {}
    void Line(float x1, float, float, float, Rgb) override { sum += x1; }
    void Box(float, float, float, float, Rgb) override {}
    float sum = 0;
};

void DrawWavesArithmetic(benchmark::State& state) {
    NullCanvas canvas;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        DrawWaves(Sound(), canvas, 9015, 3675);
        state.SetIterationTime(SecondsSince(start));
    }
    benchmark::DoNotOptimize(canvas.sum);
    SetRowText(state, "ms", "", "DrawWaves into a canvas that paints nothing");
}

void DrawWavesDefault(benchmark::State& state) { DrawWavesRow(state, 9015, 0, "drawwaves-9015tw.png"); }
void DrawWaves3840(benchmark::State& state) { DrawWavesRow(state, 0, 3840, "drawwaves-3840px.png"); }

}  // namespace

void RegisterDrawRows() {
    benchmark::RegisterBenchmark("DrawWaves 9015x3675 tw (PicWave)", DrawWavesDefault)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0);
    benchmark::RegisterBenchmark("  of which arithmetic, no painting", DrawWavesArithmetic)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("DrawWaves 3840 px wide (PicWave)", DrawWaves3840)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0);
}

}  // namespace zv::bench
