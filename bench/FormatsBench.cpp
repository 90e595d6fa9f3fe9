// Rows: the wider sound files through the window's open routine.
//   - A 1 GiB 48 kHz 24-bit stereo WAV opened through the window (device open,
//     load, draw, selection), against one plain read of the same bytes into
//     a touched buffer; peak memory against the data + 64 MiB.
//   - A one-hour 48 kHz stereo FLAC opened through the window (decoded on the
//     worker thread while the event loop turns), against a bare libsndfile
//     sf_readf_short loop over the same file into memory for its samples.
//     The note gives the longest gap between two turns of the event loop
//     during the open (a 10 ms timer's longest wait between firings): the
//     window answers when it is small.
// Both files are written once into /tmp/zorvane-bench and reused.
#include <memory>
#include <sndfile.h>
#include <sys/stat.h>

#include <QApplication>
#include <QMainWindow>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "BenchPlatform.h"
#include "BenchTable.h"
#include "ChildMeasure.h"
#include "sound/SampleBuffer.h"
#include "window/MainWindow.h"
#include "window/PictureBox.h"

namespace zv::bench {

namespace {

constexpr int32_t kRate = 48000;
constexpr uint64_t kWide24Bytes = (uint64_t{1} << 30) / 6 * 6;   // 1 GiB of whole frames
constexpr long kWide24Offset = 44;
constexpr int64_t kHourFrames = int64_t{3600} * kRate;

std::string BenchDir() {
    const std::string dir = "/tmp/zorvane-bench";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir;
}

// Two tones under slow envelopes, as the other bench files.
void Tones(int64_t first, std::vector<float>& out) {
    for (std::size_t i = 0; i < out.size(); i += 2) {
        const double t = static_cast<double>(first + static_cast<int64_t>(i / 2)) / kRate;
        const double env = 0.5 + 0.5 * std::sin(t * 0.7);
        out[i] = static_cast<float>(0.6 * env * std::sin(t * 2 * M_PI * 220));
        out[i + 1] = static_cast<float>(0.45 * env * std::sin(t * 2 * M_PI * 331));
    }
}

bool Exists(const std::string& path, long long size = -1) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (size < 0 || st.st_size == size);
}

// Writes `frames` stereo frames of Tones in libsndfile's `format`.
std::string Write(const std::string& path, int format, int64_t frames) {
    std::fprintf(stderr, "writing %s ...\n", path.c_str());
    const std::string temp = path + ".tmp";
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = format;
    SNDFILE* file = sf_open(temp.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return {};
    std::vector<float> block(std::size_t{1} << 18);
    bool ok = true;
    for (int64_t done = 0; ok && done < frames;) {
        const int64_t n = std::min<int64_t>(frames - done, static_cast<int64_t>(block.size() / 2));
        Tones(done, block);
        ok = sf_writef_float(file, block.data(), n) == n;
        done += n;
    }
    ok = sf_close(file) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return {};
    }
    return path;
}

std::string Wide24Wav() {
    const std::string path = BenchDir() + "/bench-1gib-48k-stereo24.wav";
    if (Exists(path, kWide24Offset + static_cast<long long>(kWide24Bytes))) return path;
    return Write(path, SF_FORMAT_WAV | SF_FORMAT_PCM_24, static_cast<int64_t>(kWide24Bytes / 6));
}

std::string HourFlac() {
    const std::string path = BenchDir() + "/bench-1h-48k-stereo16.flac";
    if (Exists(path)) return path;
    return Write(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kHourFrames);
}

}  // namespace

// open-answering <file>: File > Open of `file` through the window; the value is
// the open's seconds, the extra figure the longest gap (s) between two
// firings of a 10 ms timer while it ran.
int ChildOpenAnswering(int argc, char** argv) {
    if (argc != 1) return 2;
    const std::string path = argv[0];
    int qtArgc = 1;
    char name[] = "zorvane_bench";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    BenchPlatform fake;
    fake.fileDialog.answer = path;
    const std::unique_ptr<QMainWindow> window = MakeMainWindow(fake.platform);
    QMainWindow& form = *window;
    form.show();
    QCoreApplication::processEvents();
    fake.WindowShown();
    WarmCache(path);          // the file's pages cached, as for the bare decode
    WarmMemory(kWarmBytes);   // and the memory warmed, as the other children that fill a gigabyte

    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer turns;
    turns.setInterval(10);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    turns.start();
    const auto start = std::chrono::steady_clock::now();
    ChooseFileToOpen(form);
    // A compressed file decodes as a job while the event loop turns.
    while (IsOpening(form)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ControlsOf(form).waveform->Image();
    QCoreApplication::processEvents();
    const double seconds = SecondsSince(start);
    if (!OpenSound(form)->WavLoaded || fake.messages.shown != 0 || OpenFileName(form) != path) return 3;
    return ChildReport(seconds, {static_cast<double>(longest) * 1e-9});
}

// sf-decode-kept <file>: one bare sf_readf_short loop over the whole file,
// into a buffer for all its samples allocated as a sound's are: a decode
// for playing keeps its samples, and on these machines memory first touched
// costs as much as the decode may (see WarmMemory).
int ChildSfDecodeKept(int argc, char** argv) {
    if (argc != 1) return 2;
    SF_INFO info{};
    SNDFILE* file = sf_open(argv[0], SFM_READ, &info);
    if (file == nullptr || info.frames <= 0 || info.channels <= 0) return 3;
    WarmCache(argv[0]);
    WarmMemory(kWarmBytes);   // the same start as the open's child
    const auto bytes = static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels) * 2;
    const auto start = std::chrono::steady_clock::now();
    SampleBuffer samples;
    if (!samples.Allocate(bytes, bytes)) return 3;
    auto* at = reinterpret_cast<short*>(samples.data());
    sf_count_t total = 0, got;
    while (total < info.frames &&
           (got = sf_readf_short(file, at + total * info.channels, std::min<sf_count_t>(16384, info.frames - total))) > 0)
        total += got;
    const double seconds = SecondsSince(start);
    sf_close(file);
    if (total <= 0) return 3;
    return ChildReport(seconds);
}

namespace {

void OpenWide24(benchmark::State& state) {
    const std::string path = Wide24Wav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    WarmCache(path);
    const std::vector<std::string> readArgs{"read", path, std::to_string(kWide24Offset), std::to_string(kWide24Bytes)};
    if (!MeasurePairs(state, {"open", path}, readArgs)) return;
    state.counters[kTarget] = 1.5;
    SetRowText(state, "ms", "", "base: one read() into a touched buffer; peak target <= 1088 MiB");
}

void OpenHourFlac(benchmark::State& state) {
    const std::string path = HourFlac();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    WarmCache(path);
    const auto runs = MeasurePairs(state, {"open-answering", path}, {"sf-decode-kept", path}, 1);
    if (!runs) return;
    double gap = 0;
    for (const ChildResult& open : *runs) gap = std::max(gap, open.extra[0]);
    state.counters[kTarget] = 1.2;
    char note[160];
    std::snprintf(note, sizeof note,
                  "base: bare sf_readf_short loop into memory for all samples; longest event-loop gap %.0f ms; samples 659 MiB at 16 bits",
                  gap * 1e3);
    SetRowText(state, "ms", "", note);
}

}  // namespace

void RegisterFormatsRows() {
    benchmark::RegisterBenchmark("Open 1 GiB 24-bit WAV (window)", OpenWide24)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Open 1 h FLAC (window)", OpenHourFlac)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
}

}  // namespace zv::bench
