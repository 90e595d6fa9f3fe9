// Rows:
//   - the beats of a four-minute piece (a drum loop at 128 BPM, 44.1 kHz,
//     made here), against aubio's own onset pass over the same samples (its
//     command-line tool's settings: the default method, a 512-sample window,
//     a 256-sample hop): at most 3 times that pass, and under 2 s;
//   - the beats of the composed set (music composed here as MIDI and played
//     by fluidsynth, ComposedPiece.h): the mean beat F-measure within a
//     frame at 24 fps, against aubio's own beat tracker on the same pieces;
//     the table per style (beats, downbeats, tempo level) is printed once.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>

#include "BeatLoops.h"
#include "BeatScore.h"
#include "BenchTable.h"
#include "RenderedPiece.h"
#include "beats/BeatAnalysis.h"
#include "beats/FramesPerBeat.h"
#include "beats/OnsetDetection.h"

namespace zv::bench {

namespace {

// This thread's CPU time, seconds: on a loaded machine the wall time
// counts the waits for a core too.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void BeatsOfAPiece(benchmark::State& state) {
    test::LoopSpec recipe;
    recipe.bpm = 128;
    recipe.seconds = 240;
    recipe.offsetSeconds = 0.37;
    const test::Loop piece = test::MakeLoop(recipe);
    double base = 0, cpu = 0, baseCpu = 0;
    int n = 0;
    std::size_t beats = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ThreadSeconds();
        const auto found = FindBeats(piece.mono.data(), piece.mono.size(), recipe.sampleRate, 0, {});
        state.SetIterationTime(SecondsSince(start));
        cpu += ThreadSeconds() - cpuStart;
        beats = found ? found->beats.size() : 0;
        start = std::chrono::steady_clock::now();
        cpuStart = ThreadSeconds();
        const std::vector<int64_t> onsets = PlainAubioOnsets(piece.mono.data(), piece.mono.size(), recipe.sampleRate);
        base += SecondsSince(start);
        baseCpu += ThreadSeconds() - cpuStart;
        benchmark::DoNotOptimize(onsets.data());
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    state.counters[kTarget] = 3;
    char note[200];
    std::snprintf(note, sizeof note,
                  "%zu of %zu beats; base: aubio's onset pass (default, 512/256); also < 2000 ms; CPU %.0f ms, %.2fx the base's",
                  beats, piece.beatSeconds.size(), cpu / n * 1e3, baseCpu > 0 ? cpu / baseCpu : 0.0);
    SetRowText(state, "ms", "", note);
}

std::vector<double> Seconds(const std::vector<int64_t>& samples, int32_t rate) {
    std::vector<double> out;
    for (const int64_t s : samples) out.push_back(static_cast<double>(s) / rate);
    return out;
}

struct StyleScore {
    double beatF = 0, downbeatF = 0, aubioF = 0;
    int pieces = 0, rightLevel = 0;
};

void BeatsOfTheComposedSet(benchmark::State& state) {
    if (!test::CanRender()) {
        state.SkipWithError("fluidsynth or the FluidR3_GM soundfont is not installed");
        return;
    }
    // Renderings are slow: they are kept between runs outside the sources.
    const std::string folder = (std::filesystem::temp_directory_path() / "zorvane-rendered-music").string();
    const std::vector<test::RenderedPiece> pieces = test::RenderAll(test::ComposedSet(), folder);
    double meanF = 0, meanAubio = 0, meanDownbeatF = 0;
    int right = 0, scored = 0;
    std::map<std::string, StyleScore> styles;
    for (auto _ : state) {
        meanF = meanAubio = meanDownbeatF = 0;
        right = scored = 0;
        styles.clear();
        std::printf("\n  %-22s %7s %7s %7s  %-7s %s\n", "piece", "beats F", "downb F", "aubio F", "level", "readout");
        for (const test::RenderedPiece& piece : pieces) {
            if (piece.mono.empty()) continue;
            const auto found = FindBeats(piece.mono.data(), piece.mono.size(), piece.sampleRate, 0, {});
            std::vector<double> beats, downbeats;
            if (found)
                for (const Beat& b : found->beats) {
                    beats.push_back(static_cast<double>(b.sample) / piece.sampleRate);
                    if (b.beat == 1) downbeats.push_back(beats.back());
                }
            const std::vector<double> aubio =
                Seconds(PlainAubioBeats(piece.mono.data(), piece.mono.size(), piece.sampleRate), piece.sampleRate);
            const double f = test::FMeasure(beats, piece.beatSeconds);
            const double d = test::FMeasure(downbeats, piece.downbeatSeconds);
            const double a = test::FMeasure(aubio, piece.beatSeconds);
            const std::string level = test::TempoLevel(beats, piece.beatSeconds);
            std::printf("  %-22s %7.3f %7.3f %7.3f  %-7s %s\n", piece.recipe.name.c_str(), f, d, a, level.c_str(),
                        found ? BeatReadout(*found, 24).c_str() : "-");
            StyleScore& s = styles[piece.recipe.style];
            s.beatF += f;
            s.downbeatF += d;
            s.aubioF += a;
            ++s.pieces;
            s.rightLevel += level == "right";
            meanF += f;
            meanDownbeatF += d;
            meanAubio += a;
            right += level == "right";
            ++scored;
        }
        std::printf("\n  %-14s %6s %7s %7s %7s %s\n", "style", "pieces", "beats F", "downb F", "aubio F", "level right");
        for (const auto& [name, s] : styles)
            std::printf("  %-14s %6d %7.3f %7.3f %7.3f %d/%d\n", name.c_str(), s.pieces, s.beatF / s.pieces,
                        s.downbeatF / s.pieces, s.aubioF / s.pieces, s.rightLevel, s.pieces);
        std::printf("\n");
    }
    if (scored == 0) {
        state.SkipWithError("no piece could be rendered");
        return;
    }
    double worst = 1;
    std::string worstStyle;
    for (const auto& [name, s] : styles)
        if (s.beatF / s.pieces < worst) {
            worst = s.beatF / s.pieces;
            worstStyle = name;
        }
    state.counters[kValue] = 100 * meanF / scored;
    state.counters[kBaseline] = 100 * meanAubio / scored;
    char note[200];
    std::snprintf(note, sizeof note,
                  "%d pieces; base: aubio's beat tracker; downbeat F %.1f %%, tempo level right %d/%d, worst style %s %.1f %%",
                  scored, 100 * meanDownbeatF / scored, right, scored, worstStyle.c_str(), 100 * worst);
    SetRowText(state, "% F", ">= 95 % F", note);
}

}  // namespace

void RegisterBeatsRows() {
    benchmark::RegisterBenchmark("Beats, 4-minute piece", BeatsOfAPiece)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Beats, composed set (F within a frame)", BeatsOfTheComposedSet)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

}  // namespace zv::bench
