// Row: the Mouth Preview's redraw for one new frame while playing: two
// characters over a ten-minute sound at 48 kHz with a shape on every few
// frames (about 9000 runs each), the shapes on the heard frame found
// (ShapeHeard), the two tiles given them and the 2 x 220 x 260 panel
// repainted with Zorvane's own drawings; against the same panel repainted
// with nothing changed. Registers itself (rows are listed in the order they
// register).
#include <QApplication>
#include <QMainWindow>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchTable.h"
#include "common/FrameTime.h"
#include "dialogue/CharacterList.h"
#include "dialogue/MouthSet.h"
#include "document/SoundDocument.h"
#include "preview/ShapeHeard.h"
#include "preview/ui/MouthDrawings.h"
#include "preview/ui/MouthPreviewPanel.h"

namespace zv::bench {

namespace {

constexpr int32_t kSampleRate = 48000;
constexpr int64_t kSoundFrames = int64_t{kSampleRate} * 600;   // ten minutes
const FrameRate kRate(24);

// A shape every `every` frames, cycling through the set's shapes.
std::vector<TrackItem> Runs(const MouthSet& set, int every, std::size_t offset) {
    std::vector<TrackItem> runs;
    const int64_t frames = FrameOfSample(kSoundFrames - 1, kRate, kSampleRate) + 1;
    for (int64_t f = 0, n = 0; f < frames; f += every, ++n) {
        const std::string& shape = set.Shapes()[(static_cast<std::size_t>(n) + offset) % set.Shapes().size()];
        runs.push_back({FrameStartSample(f, kRate, kSampleRate),
                        std::min(kSoundFrames, FrameStartSample(f + every, kRate, kSampleRate)), shape, {}});
    }
    return runs;
}

void PreviewRedraw(benchmark::State& state) {
    const MouthSet prestonBlair = MouthSet::PrestonBlair(), nineShapes = MouthSet::NineShapes();
    SoundDocument document;
    document.Reset({"bench.wav", kSampleRate, kSoundFrames, 1, {}});
    CharacterList list;
    list.Rename(1, "Ann");
    list.Find(list.Add("Bob"))->mouthSet = nineShapes.Name();
    document.Ensure(CharacterList::kTrack).Assign(list.Items());
    document.Ensure(CharacterList::MouthsTrack(1)).Assign(Runs(prestonBlair, 3, 0));
    document.Ensure(CharacterList::MouthsTrack(2)).Assign(Runs(nineShapes, 2, 4));
    const MouthDrawings annDrawings = MouthDrawings::Load("", prestonBlair);
    const MouthDrawings bobDrawings = MouthDrawings::Load("", nineShapes);
    const ShapeHeard::SetOf setOf = [&](const std::string& name) -> const MouthSet& {
        return name == nineShapes.Name() ? nineShapes : prestonBlair;
    };

    QMainWindow window;
    auto* panel = new MouthPreviewPanel({}, {}, &window);
    window.addDockWidget(Qt::RightDockWidgetArea, panel);
    window.resize(700, 300);
    panel->setFloating(true);
    panel->resize(460, 290);
    window.show();
    const auto show = [&](int64_t sample) {
        const std::vector<HeardMouth> heard = ShapeHeard::Everyone(document, kRate, sample, setOf);
        std::vector<MouthPreviewPanel::Tile> tiles;
        for (const HeardMouth& m : heard)
            tiles.push_back({m.character.id, ShapeHeard::ShownName(m.character), m.character.colour, m.shape,
                             m.character.id == 1 ? &annDrawings : &bobDrawings});
        panel->Show(tiles, ShapeHeard::Description(heard));
        panel->repaint();
    };
    // Every drawing made once at the tiles' size, as the first seconds of play do.
    for (int64_t f = 0; f < 40; ++f) show(FrameStartSample(f, kRate, kSampleRate));
    QApplication::processEvents();

    double base = 0, worst = 0;
    int n = 0;
    int64_t frame = 1000;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        show(FrameStartSample(frame, kRate, kSampleRate));
        const double seconds = SecondsSince(start);
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
        start = std::chrono::steady_clock::now();
        panel->repaint();
        base += SecondsSince(start);
        frame = (frame + 1) % 14000;
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    char note[160];
    std::snprintf(note, sizeof note, "base: the same two tiles repainted unchanged; worst %.2f ms", worst * 1e3);
    SetRowText(state, "ms", "< 2 ms", note);
}

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("Mouth preview: a new frame, 2 characters", PreviewRedraw)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    return true;
}();

}  // namespace

}  // namespace zv::bench
