// Rows: the waveform box's screen layers over ten thousand marks and a words
// lane of two thousand items, and over two thousand beats, a ten-minute
// sound at 48 kHz: the 1920x400 box repainted (its picture, then the frame
// grid, the beats, the selection, the play line, the marks and the lane
// through the window's painter canvas), for the whole sound and zoomed to
// ten seconds (grid, texts and word boxes drawn), against the same box
// repainted with the same layers over empty tracks. Registers itself (rows
// are listed in the order they register).
#include <QApplication>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchTable.h"
#include "document/SoundDocument.h"
#include "document/Track.h"
#include "waveview/WaveView.h"
#include "waveview/layers/BeatsLayer.h"
#include "waveview/layers/FrameGridLayer.h"
#include "waveview/layers/LayerStack.h"
#include "waveview/layers/MarksLayer.h"
#include "waveview/layers/PlayLineLayer.h"
#include "waveview/layers/SelectionLayer.h"
#include "waveview/layers/TrackLaneLayer.h"
#include "window/PainterCanvas.h"
#include "window/PictureBox.h"

namespace zv::bench {

namespace {

constexpr int32_t kSampleRate = 48000;
constexpr int64_t kSoundFrames = int64_t{kSampleRate} * 600;   // ten minutes
constexpr int kWidth = 1920, kHeight = 400;

// `count` items spread over the sound, each `length` samples long (0: points), with a text.
std::vector<TrackItem> Spread(int count, int64_t length, const char* word) {
    std::vector<TrackItem> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int64_t start = kSoundFrames * i / count;
        items.push_back({start, start + length, word + std::to_string(i), {}});
    }
    return items;
}

// What the tracks hold.
enum class Fill { Nothing, MarksAndWords, Beats };

// A box with a picture of many short lines, its layers painted over it.
struct LayeredBox {
    PictureBox box;
    WaveView view;
    Track marks{"Marks"}, words{"Words"};
    SoundDocument document;   // its Beats track
    LayerStack layers;
    LayeredBox(int64_t viewFrames, Fill fill) {
        box.SetBackColor({64, 0, 64});
        box.resize(kWidth, kHeight);
        box.show();
        for (int x = 0; x < kWidth; ++x)
            box.Line(static_cast<float>(x * 15), 1500, static_cast<float>(x * 15), 4500, {255, 0, 0});
        box.Image();
        document.Reset({"bench.wav", kSampleRate, kSoundFrames, 1, {}});
        if (fill == Fill::Beats) {
            std::vector<TrackItem> beats = Spread(2000, 0, "");
            for (std::size_t i = 0; i < beats.size(); ++i) {
                beats[i].text = std::to_string(i / 4 + 1) + "." + std::to_string(i % 4 + 1);
                beats[i].kind = i % 4 == 0 ? "downbeat" : "beat";
            }
            document.Ensure(SoundDocument::kBeats).Assign(std::move(beats));
        }
        if (fill == Fill::MarksAndWords) {
            std::vector<TrackItem> m = Spread(10000, 0, "mark ");
            for (std::size_t i = 0; i < m.size(); i += 10) m[i].end = m[i].start + kSampleRate / 25;   // every tenth a range
            marks.Assign(std::move(m));
            words.Assign(Spread(2000, kSampleRate / 4, "word "));
        }
        layers.Emplace<TrackLaneLayer>(words);
        layers.Emplace<FrameGridLayer>();
        layers.Emplace<BeatsLayer>(document);
        layers.Emplace<SelectionLayer>();
        layers.Emplace<PlayLineLayer>();
        layers.Emplace<MarksLayer>(marks);
        view.SetWidth(kWidth);
        view.Reset(kSoundFrames);
        view.ZoomTo(kSoundFrames / 2, kSoundFrames / 2 + viewFrames);
        box.AddOverlay([this](QPainter& p) {
            LayerScene scene(view);
            scene.height = kHeight;
            scene.sampleRate = kSampleRate;
            scene.fps = 30;
            scene.transportReady = true;
            scene.positionSample = view.Start() + view.Span() / 3;
            scene.selStartSample = view.Start() + view.Span() / 4;
            scene.selEndSample = view.Start() + view.Span() / 2;
            PainterCanvas canvas(p);
            layers.DrawScreen(canvas, scene);
        });
        QApplication::processEvents();
    }
};

void LayersRow(benchmark::State& state, int64_t viewFrames, Fill fill) {
    LayeredBox filled(viewFrames, fill), empty(viewFrames, Fill::Nothing);
    double base = 0, worst = 0;
    int n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        filled.box.repaint();
        const double seconds = SecondsSince(start);
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
        start = std::chrono::steady_clock::now();
        empty.box.repaint();
        base += SecondsSince(start);
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    char note[160];
    std::snprintf(note, sizeof note, "base: the same 1920x400 box and layers over empty tracks; worst %.2f ms",
                  worst * 1e3);
    SetRowText(state, "ms", "< 16 ms", note);
}

void LayersWhole(benchmark::State& state) { LayersRow(state, kSoundFrames, Fill::MarksAndWords); }
void LayersZoomed(benchmark::State& state) { LayersRow(state, int64_t{kSampleRate} * 10, Fill::MarksAndWords); }
void BeatsWhole(benchmark::State& state) { LayersRow(state, kSoundFrames, Fill::Beats); }
void BeatsZoomed(benchmark::State& state) { LayersRow(state, int64_t{kSampleRate} * 10, Fill::Beats); }

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("Layers: 10000 marks + 2000 words", LayersWhole)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("  zoomed to 10 s (grid, texts)", LayersZoomed)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("Layers: 2000 beats", BeatsWhole)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("  zoomed to 10 s (bar.beat texts)", BeatsZoomed)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    return true;
}();

}  // namespace

}  // namespace zv::bench
