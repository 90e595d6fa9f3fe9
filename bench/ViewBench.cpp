// Rows: the waveform with "Show Peaks" for a one-hour 48 kHz 16-bit stereo
// sound, 1920 pixels wide, into the window's real PictureBox (its picture
// flushed), for the whole sound and three zooms, each against one fill plus
// one QPainter::drawLines of the same segments prepared beforehand; and the
// peak summary made during the load of the 1 GiB test file (as the window
// makes it: by a job that follows the loader's read) against loading that
// file alone, with the summary's memory beside the samples'.
#include <QImage>
#include <algorithm>
#include <QPainter>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "BenchPlatform.h"
#include "BenchTable.h"
#include "sound/SoundData.h"
#include "jobs/JobThread.h"
#include "sound/WavLoader.h"
#include "waveview/PeakRenderer.h"
#include "waveview/PeakSummary.h"
#include "waveview/SummaryDuringLoad.h"
#include "window/PictureBox.h"
#include "window/Twips.h"

namespace zv::bench {

namespace {

constexpr int kWidthPixels = 1920;
constexpr float kBoxHeightTwips = 3675;

// One hour of 48 kHz stereo: two tones under slow envelopes, a noise burst
// every seven seconds.
SoundData& HourSound() {
    static SoundData sound = [] {
        SoundData s;
        const int32_t frames = 48000 * 3600;
        s.Samples.Allocate(std::size_t(frames) * 4, std::size_t(frames) * 4);
        uint32_t noise = 12345;
        auto* out = reinterpret_cast<int16_t*>(s.Samples.data());
        for (int32_t i = 0; i < frames; ++i) {
            const double t = i / 48000.0;
            noise = noise * 1664525u + 1013904223u;
            const double burst = std::fmod(t, 7.0) < 0.8 ? ((noise >> 16) / 65536.0 - 0.5) : 0.0;
            const double l = 0.6 * std::sin(t * 0.9) * std::sin(t * 2 * M_PI * 110) + 0.5 * burst;
            const double r = 0.5 * std::cos(t * 0.4) * std::sin(t * 2 * M_PI * 165) + 0.3 * burst;
            out[2 * std::size_t(i)] = static_cast<int16_t>(std::lround(l * 32767));
            out[2 * std::size_t(i) + 1] = static_cast<int16_t>(std::lround(r * 32767));
        }
        s.WavFormat.wFormatTag = 1;
        s.WavFormat.nChannels = 2;
        s.WavFormat.nSamplesPerSec = 48000;
        s.WavFormat.nBlockAlign = 4;
        s.WavFormat.wBitsPerSample = 16;
        s.SubChunk.cksize = uint32_t(frames) * 4;
        s.NumSamples = frames;
        s.WavLoaded = true;
        return s;
    }();
    return sound;
}

const PeakSummary& HourPeaks() {
    static PeakSummary peaks = [] {
        PeakSummary p;
        p.Build(HourSound());
        return p;
    }();
    return peaks;
}

class CollectingCanvas : public Canvas {
public:
    CollectingCanvas(double kx, double ky) : kx_(kx), ky_(ky) {}
    void Clear() override { lines.clear(); }
    void Line(float x1, float y1, float x2, float y2, Rgb) override {
        lines.emplace_back(x1 * kx_, y1 * ky_, x2 * kx_, y2 * ky_);
    }
    void Box(float, float, float, float, Rgb) override {}
    std::vector<QLineF> lines;

private:
    double kx_, ky_;
};

// The view: 1 / `zoom` of the sound, around its middle. `scrolling`: the
// view moves by one frame between redraws, so every redraw queries the
// summary afresh (no kept columns), as while the view scrolls.
void PeaksRow(benchmark::State& state, int zoom, bool scrolling = false) {
    SoundData& sound = HourSound();
    const PeakSummary& peaks = HourPeaks();
    const int32_t span = sound.NumSamples / zoom;
    sound.ViewStart = (sound.NumSamples - span) / 2;
    sound.ViewEnd = sound.ViewStart + span;

    PictureBox box;
    box.SetBackColor({64, 0, 64});
    const double dpiX = box.logicalDpiX(), dpiY = box.logicalDpiY();
    const auto widthTwips = static_cast<float>(PixelsToTwips(kWidthPixels, dpiX));
    box.resize(kWidthPixels, PixelEdge(kBoxHeightTwips, dpiY));
    const QSize pixels = box.size() * box.devicePixelRatioF();
    QImage baseImage(pixels, QImage::Format_RGB32);
    CollectingCanvas collect(dpiX / TwipsPerInch, dpiY / TwipsPerInch);
    DrawWavePeaks(sound, peaks, collect, widthTwips, kBoxHeightTwips, kWidthPixels);
    const std::vector<QLineF> prepared = collect.lines;

    double base = 0, worst = 0;
    int n = 0;
    for (auto _ : state) {
        if (scrolling) {
            sound.ViewStart = (sound.NumSamples - span) / 2 + n % 2;
            sound.ViewEnd = sound.ViewStart + span;
        }
        auto start = std::chrono::steady_clock::now();
        DrawWavePeaks(sound, peaks, box, widthTwips, kBoxHeightTwips, kWidthPixels);
        benchmark::DoNotOptimize(box.Image().constBits());
        const double seconds = SecondsSince(start);
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);

        start = std::chrono::steady_clock::now();
        baseImage.fill(QColor(64, 0, 64));
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
    char note[200];
    std::snprintf(note, sizeof note, "%.0f frames/px; base: fill + one drawLines of the %zu segments; worst %.2f ms (< 16)",
                  static_cast<double>(span) / kWidthPixels, prepared.size(), worst * 1e3);
    SetRowText(state, "ms", "", note);
    box.Image().save(QString::fromUtf8(ZORVANE_BENCH_DIR) + "/peaks-1h-zoom" + QString::number(zoom) +
                     (scrolling ? "-scrolling.png" : ".png"));
}

void PeaksWhole(benchmark::State& state) { PeaksRow(state, 1); }
void PeaksZoom16(benchmark::State& state) { PeaksRow(state, 16); }
void PeaksZoom256(benchmark::State& state) { PeaksRow(state, 256); }
void PeaksZoom4096(benchmark::State& state) { PeaksRow(state, 4096); }
void PeaksZoom16Scrolling(benchmark::State& state) { PeaksRow(state, 16, true); }

// The load with its summary made during the read, until the summary is
// ready, against the load alone: the row's value is the time the summary
// adds. The old way (a second pass after the load) is in the note.
void SummaryDuringLoadRow(benchmark::State& state) {
    const std::string path = BigWav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    WarmCache(path);
    PrintingMessageBox box;
    double load = 0, lag = 0, secondPass = 0;
    std::size_t summaryBytes = 0, sampleBytes = 0;
    int levels = 0, n = 0;
    for (auto _ : state) {
        double plain = 0, withSummary = 0, afterLoad = 0;
        const auto loadAlone = [&] {
            SoundData sound;
            const auto start = std::chrono::steady_clock::now();
            ShowReport(box, LoadWavFile(sound, path));
            plain = SecondsSince(start);
            const auto pass = std::chrono::steady_clock::now();
            PeakSummary old;
            old.Build(sound);
            secondPass += SecondsSince(pass);
        };
        const auto loadWithSummary = [&] {
            SoundData sound;
            auto during = std::make_shared<SummaryDuringLoad>();
            auto job = std::make_unique<ResultJob<PeakSummary>>(
                [during](JobProgress& p, PeakSummary& out, std::string&) { return during->Build(p, out); });
            ResultJob<PeakSummary>* result = job.get();
            const auto start = std::chrono::steady_clock::now();
            JobThread thread(std::move(job), {});
            ShowReport(box, LoadWavFile(sound, path, during.get()));
            const double loaded = SecondsSince(start);
            during->LoadEnded();
            thread.Join();
            withSummary = SecondsSince(start);
            afterLoad = withSummary - loaded;
            summaryBytes = result->Result().Bytes();
            levels = result->Result().Levels();
            sampleBytes = sound.size();
        };
        if (n % 2 == 0) {
            loadAlone();
            loadWithSummary();
        } else {
            loadWithSummary();
            loadAlone();
        }
        state.SetIterationTime(std::max(0.0, withSummary - plain));
        load += plain;
        lag += afterLoad;
        ++n;
    }
    if (box.shown != 0) {
        state.SkipWithError("the file did not load");
        return;
    }
    state.counters[kBaseline] = load / n * 1e3;
    state.counters[kTarget] = 0.10;
    char note[240];
    std::snprintf(note, sizeof note,
                  "base: LoadWavFile alone; ready %.0f ms after the load returned; old second pass %.0f ms; "
                  "%.1f MiB = 1/%.0f of the samples, %d levels",
                  lag / n * 1e3, secondPass / n * 1e3, static_cast<double>(summaryBytes) / (1 << 20),
                  static_cast<double>(sampleBytes) / static_cast<double>(std::max<std::size_t>(summaryBytes, 1)),
                  levels);
    SetRowText(state, "ms", "", note);
}

}  // namespace

void RegisterViewRows() {
    benchmark::RegisterBenchmark("Summary during 1 GiB WAV load", SummaryDuringLoadRow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    for (auto [name, row] : {std::pair{"Peaks 1 h 48k stereo, whole", &PeaksWhole},
                             std::pair{"Peaks 1 h 48k stereo, 1/16", &PeaksZoom16},
                             std::pair{"Peaks 1 h 48k stereo, 1/256", &PeaksZoom256},
                             std::pair{"Peaks 1 h 48k stereo, 1/4096", &PeaksZoom4096},
                             std::pair{"Peaks 1 h 48k stereo, 1/16 scrolling", &PeaksZoom16Scrolling}})
        benchmark::RegisterBenchmark(name, row)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

}  // namespace zv::bench
