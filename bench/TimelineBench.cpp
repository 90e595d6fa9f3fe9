// Row: one RefreshTimeline of the window with a file open on the real media
// device (the whole refresh: captions, play range, the strip drawn and
// flushed into its picture, ShowTimes), against one caption change of a
// label plus one strip update (clear, one box, flush). The selection end
// moves between iterations, so two captions change on every refresh, as the
// position readout does while a file plays.
#include <QApplication>
#include <QMainWindow>
#include <QCoreApplication>
#include <QLabel>
#include <memory>
#include <chrono>
#include <cstdio>
#include <string>

#include "BenchFiles.h"
#include "BenchPlatform.h"
#include "BenchTable.h"
#include "playback/ui/MediaControl.h"
#include "session/Session.h"
#include "window/MainWindow.h"
#include "window/PictureBox.h"

namespace zv::bench {

namespace {

void RefreshTimelineRow(benchmark::State& state) {
    const std::string path = PlayWav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    BenchPlatform fake;
    fake.fileDialog.answer = path;
    const std::unique_ptr<QMainWindow> window = MakeMainWindow(fake.platform);
    QMainWindow& form = *window;
    const MainWindowControls controls = ControlsOf(form);
    Session& session = *SharedState(form);
    form.show();
    QCoreApplication::processEvents();
    fake.WindowShown();
    ChooseFileToOpen(form);
    QCoreApplication::processEvents();
    const int32_t length = controls.media->Length();
    if (!OpenSound(form)->WavLoaded || length <= 0 || fake.messages.shown != 0) {
        state.SkipWithError("the file did not open");
        return;
    }
    QLabel probe(controls.panel);
    probe.setGeometry(0, 0, 200, 17);
    probe.show();
    PictureBox& strip = *controls.strip;

    double base = 0, repaint = 0;
    int n = 0;
    for (auto _ : state) {
        session.SetSelectionEndMs(n % 2 == 0 ? length - 500 : length);
        auto start = std::chrono::steady_clock::now();
        RefreshTimeLine(form);
        benchmark::DoNotOptimize(strip.Image().constBits());
        state.SetIterationTime(SecondsSince(start));

        start = std::chrono::steady_clock::now();
        probe.setText(n % 2 == 0 ? QStringLiteral("Start: 1") : QStringLiteral("Start: 2"));
        strip.Clear();
        strip.Box(0, 0, static_cast<float>(session.SelectionEndMs()), 2, {204, 204, 0});
        benchmark::DoNotOptimize(strip.Image().constBits());
        base += SecondsSince(start);

        // Onto the (offscreen) screen before the next refresh, as the event loop would.
        start = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        repaint += SecondsSince(start);
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    char note[160];
    std::snprintf(note, sizeof note, "base: QLabel::setText + PicTime clear, box, flush; then repaint %.3f ms",
                  repaint / n * 1e3);
    SetRowText(state, "ms", "< 1 ms", note);
}

}  // namespace

void RegisterTimelineRows() {
    benchmark::RegisterBenchmark("RefreshTimeline, file open", RefreshTimelineRow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
}

}  // namespace zv::bench
