// Row: the beats of a four-minute piece (a drum loop at 128 BPM, 44.1 kHz,
// made here), against aubio's own onset pass over the same samples (its
// command-line tool's settings: the default method, a 512-sample window, a
// 256-sample hop). The beats should take at most 1.5 times that pass, and
// under 3 s.
#include <chrono>
#include <cstdio>

#include "BeatLoops.h"
#include "BenchTable.h"
#include "beats/BeatAnalysis.h"
#include "beats/OnsetDetection.h"

namespace zv::bench {

namespace {

void BeatsOfAPiece(benchmark::State& state) {
    test::LoopSpec recipe;
    recipe.bpm = 128;
    recipe.seconds = 240;
    recipe.offsetSeconds = 0.37;
    const test::Loop piece = test::MakeLoop(recipe);
    double base = 0;
    int n = 0;
    std::size_t beats = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const auto found = FindBeats(piece.mono.data(), piece.mono.size(), recipe.sampleRate, 0, {});
        state.SetIterationTime(SecondsSince(start));
        beats = found ? found->beats.size() : 0;
        start = std::chrono::steady_clock::now();
        const std::vector<int64_t> onsets = PlainAubioOnsets(piece.mono.data(), piece.mono.size(), recipe.sampleRate);
        base += SecondsSince(start);
        benchmark::DoNotOptimize(onsets.data());
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    state.counters[kTarget] = 1.5;
    char note[160];
    std::snprintf(note, sizeof note, "%zu of %zu beats; base: aubio's onset pass (default, 512/256); also < 3000 ms",
                  beats, piece.beatSeconds.size());
    SetRowText(state, "ms", "", note);
}

}  // namespace

void RegisterBeatsRows() {
    benchmark::RegisterBenchmark("Beats, 4-minute piece", BeatsOfAPiece)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
}

}  // namespace zv::bench
