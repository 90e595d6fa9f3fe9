// Row: opening the 1 GiB WAV through the window's open routine (File > Open
// Wav File with a dialog that answers at once: the real media device opens
// it, the loader loads it, DrawWaves draws it into the waveform box and the
// selection and sliders are reset) against LoadWavFile alone. Both run in
// children of their own, in alternating order. The child also opens the file
// with a media device of its own first and counts the bytes that open reads:
// the device must not read the sound itself when it opens a file.
#include <QApplication>
#include <QMainWindow>
#include <QCoreApplication>
#include <QEventLoop>
#include <memory>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "BenchPlatform.h"
#include "BenchTable.h"
#include "ChildMeasure.h"
#include "window/MainWindow.h"
#include "window/PictureBox.h"

namespace zv::bench {

int ChildOpen(int argc, char** argv) {
    if (argc != 1) return 2;
    const std::string path = argv[0];
    int qtArgc = 1;
    char name[] = "zorvane_bench";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);

    double deviceSeconds = 0;
    long long deviceBytes = 0;
    {
        auto device = CreateSystemMediaDevice();
        const long long before = ReadBytesSoFar();
        const auto start = std::chrono::steady_clock::now();
        device->Open(path);
        deviceSeconds = SecondsSince(start);
        deviceBytes = ReadBytesSoFar() - before;
        device->Close();
    }

    BenchPlatform fake;
    fake.fileDialog.answer = path;
    const std::unique_ptr<QMainWindow> window = MakeMainWindow(fake.platform);
    QMainWindow& form = *window;
    form.show();
    QCoreApplication::processEvents();
    fake.WindowShown();
    WarmCache(path);   // as LoadWavFile's child: the file's pages cached, then the memory warmed
    WarmMemory(kWarmBytes);

    const long long before = ReadBytesSoFar();
    const auto start = std::chrono::steady_clock::now();
    ChooseFileToOpen(form);
    // A big WAV is read as a job while the event loop turns.
    while (IsOpening(form)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ControlsOf(form).waveform->Image();               // the waveform drawn into the box's picture
    QCoreApplication::processEvents();   // and onto the (offscreen) screen
    const double seconds = SecondsSince(start);
    const long long openBytes = ReadBytesSoFar() - before;
    if (!OpenSound(form)->WavLoaded || fake.messages.shown != 0 || OpenFileName(form) != path) return 3;
    return ChildReport(seconds, {deviceSeconds, static_cast<double>(deviceBytes), static_cast<double>(openBytes)});
}

namespace {

void OpenThroughWindow(benchmark::State& state) {
    const std::string path = BigWav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    WarmCache(path);
    const auto runs = MeasurePairs(state, {"open", path}, {"load", path}, 3);
    if (!runs) return;
    double deviceMs = 0, deviceBytes = 0, openBytes = 0;
    for (const ChildResult& open : *runs) {
        deviceMs = std::max(deviceMs, open.extra[0] * 1e3);
        deviceBytes = std::max(deviceBytes, open.extra[1]);
        openBytes = std::max(openBytes, open.extra[2]);
    }
    state.counters[kTarget] = 1.5;
    char note[160];
    std::snprintf(note, sizeof note,
                  "base: LoadWavFile alone; device Open %.1f ms reads %.0f bytes; open reads %.0f MiB",
                  deviceMs, deviceBytes, openBytes / 1048576.0);
    SetRowText(state, "ms", "", note);
}

}  // namespace

void RegisterOpenRows() {
    benchmark::RegisterBenchmark("Open 1 GiB WAV through the window", OpenThroughWindow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(7);
}

}  // namespace zv::bench
