// Rows: ten thousand marks of a ten-minute sound.
//   - the marks list: the table read again and repainted, against the same
//     list holding ten marks;
//   - the marks over the waveform: the box repainted with the marks drawn
//     over its picture (the whole sound, and zoomed to ten seconds where the
//     texts have room), against the same box repainted without them;
//   - one save of the marks file (text, temporary file, fsync, rename),
//     against writing the same text with a plain write and no fsync;
//   - reading a marks file of 80,000 tracks (3 MB) as a sound opens,
//     and a mouth set of 80,000 shapes, each against parsing its JSON into
//     a tree alone; each again at four times the size, where the time
//     should be four times too (the readers are linear in their input).
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchPlatform.h"
#include "BenchTable.h"
#include "common/FrameTime.h"
#include "dialogue/MouthSet.h"
#include "document/SoundDocument.h"
#include "marks/MarkKeeper.h"
#include "marks/JsonText.h"
#include "marks/MarksFile.h"
#include "sound/SoundData.h"
#include "window/MarkTableModel.h"
#include "window/MarksWindow.h"
#include "window/PictureBox.h"

namespace zv::bench {

namespace {

constexpr int32_t kSampleRate = 48000;
constexpr int64_t kSoundMs = 600000;   // ten minutes

// `count` marks spread over the sound, every tenth a range, each with a word.
std::vector<TrackItem> SpreadMarks(int count) {
    std::vector<TrackItem> marks;
    marks.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int64_t ms = kSoundMs * i / count;
        const int64_t start = MsToSamples(ms, kSampleRate);
        const int64_t end = i % 10 == 0 ? MsToSamples(ms + 40, kSampleRate) : start;
        marks.push_back(TrackItem{start, end, "word " + std::to_string(i), {}});
    }
    return marks;
}

// The ten-minute sound at `path`, as the window tells its keeper.
SoundInfo SoundAt(const std::string& path) {
    SoundInfo info;
    info.path = path;
    info.sampleRate = kSampleRate;
    info.frames = MsToSamples(kSoundMs, kSampleRate);
    info.channels = 1;
    return info;
}

// A folder for the marks files on the build's disk (not a RAM disk, where
// fsync would cost nothing).
std::string BenchFolder() {
    const std::filesystem::path dir = std::filesystem::path(ZORVANE_BENCH_DIR) / "marks-bench";
    std::filesystem::create_directories(dir);
    return dir.string();
}

// One marks list with its own keeper, shown.
struct ShownList {
    PrintingMessageBox messages;
    SoundDocument document;
    MarkKeeper keeper{document};
    MarkTableModel model{keeper};
    MarksWindow window{model, nullptr};
    ShownList(const std::string& sound, int count) {
        std::filesystem::remove(MarksFilePath(sound));
        ShowReport(messages, keeper.OpenFor(SoundAt(sound)));
        ShowReport(messages, keeper.AddAll(SpreadMarks(count)));
        model.SetRate(30);
        model.Reload();
        window.resize(520, 600);
        window.show();
        QApplication::processEvents();
    }
    void Redraw() {
        model.Reload();
        window.Table()->viewport()->repaint();
    }
};

void MarksListRow(benchmark::State& state) {
    const std::string folder = BenchFolder();
    ShownList big(folder + "/list-big.wav", 10000);
    ShownList small(folder + "/list-small.wav", 10);
    if (big.messages.shown != 0 || small.messages.shown != 0) {
        state.SkipWithError("the marks could not be kept");
        return;
    }
    double base = 0;
    int n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        big.Redraw();
        state.SetIterationTime(SecondsSince(start));
        start = std::chrono::steady_clock::now();
        small.Redraw();
        base += SecondsSince(start);
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    SetRowText(state, "ms", "< 16 ms", "base: the same list with 10 marks; read again and repainted");
}

void MarksSaveRow(benchmark::State& state) {
    const std::string folder = BenchFolder();
    const std::string sound = folder + "/save.wav";
    std::filesystem::remove(MarksFilePath(sound));
    PrintingMessageBox messages;
    SoundDocument document;
    MarkKeeper keeper(document);
    ShowReport(messages, keeper.OpenFor(SoundAt(sound)));
    ShowReport(messages, keeper.AddAll(SpreadMarks(10000)));
    if (!keeper.Saved() || messages.shown != 0) {
        state.SkipWithError("the marks file could not be written");
        return;
    }
    const std::string plain = folder + "/plain.json";
    double base = 0;
    int n = 0;
    for (auto _ : state) {
        // A text edit: the whole file is written again.
        auto start = std::chrono::steady_clock::now();
        ShowReport(messages, keeper.SetText(5000, n % 2 == 0 ? "edited" : "word 5000"));
        state.SetIterationTime(SecondsSince(start));
        start = std::chrono::steady_clock::now();
        {
            std::ofstream out(plain, std::ios::binary | std::ios::trunc);
            out << MarksFileText(keeper.Document());
        }
        base += SecondsSince(start);
        ++n;
    }
    if (messages.shown != 0) {
        state.SkipWithError("the marks file could not be written");
        return;
    }
    state.counters[kBaseline] = base / n * 1e3;
    char note[160];
    std::snprintf(note, sizeof note, "%.0f KiB; base: the same text written plainly, no fsync",
                  static_cast<double>(std::filesystem::file_size(keeper.FilePath())) / 1024.0);
    SetRowText(state, "ms", "< 50 ms", note);
}

// A marks file of `tracks` tracks, each named apart, every tenth holding
// one item (80,000 tracks make about 3 MB).
std::string ManyTracksText(int tracks) {
    std::vector<FileTrack> all;
    all.reserve(static_cast<std::size_t>(tracks) + 1);
    all.push_back({SoundDocument::kMarks, {}});
    for (int i = 0; i < tracks; ++i) {
        all.push_back({"t" + std::to_string(i), {}});
        if (i % 10 == 0) all.back().items.push_back(TrackItem{int64_t{i} * 100, int64_t{i} * 100, "x", {}});
    }
    return MarksFileText(all, "many.wav", kSampleRate);
}

void MarksFileReadRow(benchmark::State& state, int tracks) {
    const std::string folder = BenchFolder();
    const std::string sound = folder + "/many-tracks.wav";
    const std::string text = ManyTracksText(tracks);
    {
        std::ofstream out(MarksFilePath(sound), std::ios::binary | std::ios::trunc);
        out << text;
    }
    PrintingMessageBox messages;
    SoundDocument document;
    MarkKeeper keeper(document);
    double base = 0;
    int n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        ShowReport(messages, keeper.OpenFor(SoundAt(sound)));
        state.SetIterationTime(SecondsSince(start));
        start = std::chrono::steady_clock::now();
        JsonRead parsed = ReadJson(text);
        benchmark::DoNotOptimize(parsed);
        base += SecondsSince(start);
        ++n;
    }
    if (messages.shown != 0 || document.Tracks().size() != static_cast<std::size_t>(tracks) + 1) {
        state.SkipWithError("the marks file was not read whole");
        return;
    }
    state.counters[kBaseline] = base / n * 1e3;
    char note[160];
    std::snprintf(note, sizeof note, "%d tracks, %.1f MB; base: its JSON parsed into a tree alone", tracks,
                  static_cast<double>(text.size()) / 1e6);
    SetRowText(state, "ms", tracks <= 80000 ? "< 500 ms" : "< 2000 ms", note);
}

void MouthSetReadRow(benchmark::State& state, int shapes) {
    std::string text = "{\"shapes\": [";
    for (int i = 0; i < shapes; ++i) text += (i > 0 ? ", \"shape " : "\"shape ") + std::to_string(i) + "\"";
    text += "], \"rest\": \"shape 0\", \"phonemes\": {\"M\": \"shape 1\"}}";
    double base = 0;
    int n = 0;
    std::string error;
    bool read = true;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        read = read && MouthSet::FromJson(text, "many", error).has_value();
        state.SetIterationTime(SecondsSince(start));
        start = std::chrono::steady_clock::now();
        JsonRead parsed = ReadJson(text);
        benchmark::DoNotOptimize(parsed);
        base += SecondsSince(start);
        ++n;
    }
    if (!read) {
        state.SkipWithError(error.c_str());
        return;
    }
    state.counters[kBaseline] = base / n * 1e3;
    char note[160];
    std::snprintf(note, sizeof note, "%d shapes, %.1f MB; base: its JSON parsed into a tree alone", shapes,
                  static_cast<double>(text.size()) / 1e6);
    SetRowText(state, "ms", shapes <= 80000 ? "< 500 ms" : "< 2000 ms", note);
}

}  // namespace

void RegisterMarksRows() {
    benchmark::RegisterBenchmark("Marks list, 10000 marks", MarksListRow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    // The marks drawn over the waveform: the layers' rows (LayersBench.cpp).
    benchmark::RegisterBenchmark("Marks file save, 10000 marks", MarksSaveRow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    // Two sizes each, four times apart: the times should be too.
    for (const int tracks : {80000, 320000})
        benchmark::RegisterBenchmark(("Marks file read, " + std::to_string(tracks) + " tracks").c_str(),
                                     [tracks](benchmark::State& state) { MarksFileReadRow(state, tracks); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
    for (const int shapes : {80000, 320000})
        benchmark::RegisterBenchmark(("Mouth set read, " + std::to_string(shapes) + " shapes").c_str(),
                                     [shapes](benchmark::State& state) { MouthSetReadRow(state, shapes); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
}

}  // namespace zv::bench
