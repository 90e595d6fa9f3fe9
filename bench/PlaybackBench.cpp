// Row: the program's CPU share (user + system time of the whole process over
// wall time) while the window plays a file for 10 s on the X display: the
// real media device sounding through the system's output, the media
// control's status updates about every 20 ms, each running RefreshTimeline
// (captions, strip redraw, readouts) and the repaints that follow. Baseline:
// the media device alone playing the same file, its position read every
// 20 ms, with no window. Both run in children of their own; the window's
// child needs a display (DISPLAY; `make bench` runs under
// scripts/with-sound-stack.sh, which starts Xvfb and a null sound sink).
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QMainWindow>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "BenchFiles.h"
#include "BenchPlatform.h"
#include "BenchTable.h"
#include "ChildMeasure.h"
#include "playback/DeferredMediaDevice.h"
#include "playback/system/PortAudioDevice.h"
#include "playback/ui/MediaControl.h"
#include "window/MainWindow.h"

namespace zv::bench {

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

// CPU seconds of each live thread: id -> (name, seconds). Clock-tick resolution.
std::map<std::string, std::pair<std::string, double>> ThreadCpuSeconds() {
    std::map<std::string, std::pair<std::string, double>> threads;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        std::ifstream stat(task.path() / "stat");
        const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const std::size_t paren = text.rfind(')');
        if (paren == std::string::npos) continue;
        std::istringstream rest(text.substr(paren + 2));
        const std::vector<std::string> f((std::istream_iterator<std::string>(rest)),
                                         std::istream_iterator<std::string>());
        if (f.size() > 12) threads[task.path().filename()] = {name, (std::stod(f[11]) + std::stod(f[12])) / ticks};
    }
    return threads;
}

// "name x.x %, ..." for the threads that used at least 0.05 % of a core over `wall`.
std::string ThreadShares(const std::map<std::string, std::pair<std::string, double>>& before, double wall) {
    std::vector<std::pair<double, std::string>> shares;
    for (const auto& [id, entry] : ThreadCpuSeconds()) {
        const auto old = before.find(id);
        const double used = entry.second - (old == before.end() ? 0.0 : old->second.second);
        if (used / wall >= 0.0005) shares.emplace_back(100.0 * used / wall, entry.first);
    }
    std::sort(shares.rbegin(), shares.rend());
    std::string text;
    for (const auto& [share, name] : shares) {
        char part[64];
        std::snprintf(part, sizeof part, "%s%s %.1f", text.empty() ? "" : ", ", name.c_str(), share);
        text += part;
    }
    return text.empty() ? "no thread above 0.05 %" : text;
}

const char* DeviceKind(MediaDevice& device) {
    if (auto* deferred = dynamic_cast<DeferredMediaDevice*>(&device)) return DeviceKind(deferred->Device());
    return dynamic_cast<const PortAudioDevice*>(&device) != nullptr ? "PortAudio" : "silent";
}

}  // namespace

int ChildPlay(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string path = argv[0];
    const double seconds = std::atof(argv[1]);
    int qtArgc = 1;
    char name[] = "zorvane_bench";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);

    BenchPlatform fake;
    fake.fileDialog.answer = path;
    const std::unique_ptr<QMainWindow> window = MakeMainWindow(fake.platform);
    QMainWindow& form = *window;
    MediaControl& media = *ControlsOf(form).media;
    form.show();
    QElapsedTimer wait;
    wait.start();
    while (!(form.windowHandle() && form.windowHandle()->isExposed()) && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    fake.WindowShown();
    ChooseFileToOpen(form);
    if (!OpenSound(form)->WavLoaded || fake.messages.shown != 0) return 3;
    // Let the open's redraw reach the screen before the clock starts.
    QTimer::singleShot(300, Qt::PreciseTimer, &app, &QApplication::quit);
    QApplication::exec();

    int updates = 0;
    QObject::connect(&media, &MediaControl::StatusUpdate, [&] { ++updates; });
    media.Button(QStringLiteral("Play"))->click();
    const auto threads = ThreadCpuSeconds();
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &app, &QApplication::quit);
    QApplication::exec();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = SecondsSince(start);
    const bool playing = media.Mode() == MediaControl::ModePlay;
    const std::string note = std::string(DeviceKind(*fake.device)) + (playing ? "" : ", NOT PLAYING") +
                             "; threads %: " + ThreadShares(threads, wall);
    return ChildReport(100.0 * cpu / wall, {static_cast<double>(updates), wall}, note);
}

// argv: the file, the seconds, optionally the speed (0.5: Half Speed).
int ChildDevicePlay(int argc, char** argv) {
    if (argc != 2 && argc != 3) return 2;
    const double seconds = std::atof(argv[1]);
    auto device = CreateSystemMediaDevice();
    device->Open(argv[0]);
    PlayStyle style;
    if (argc == 3) style.speed = std::atof(argv[2]);
    device->SetPlayStyle(style);
    device->Play(0, device->LengthSamples());
    const auto threads = ThreadCpuSeconds();
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    int64_t position = 0;
    while (SecondsSince(start) < seconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        position = std::max(position, device->PositionSample());
    }
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = SecondsSince(start);
    const std::string note = std::string(DeviceKind(*device)) + (device->IsPlaying() ? "" : ", NOT PLAYING") +
                             "; threads %: " + ThreadShares(threads, wall);
    device->Close();
    return ChildReport(100.0 * cpu / wall, {static_cast<double>(position), wall}, note);
}

namespace {

constexpr double kPlaySeconds = 10.0;

// The run whose value is the median of the runs' (not empty).
const ChildResult& MedianRun(const std::vector<ChildResult>& runs) {
    std::vector<double> values;
    for (const ChildResult& r : runs) values.push_back(r.value);
    const double median = Median(values);
    return *std::find_if(runs.begin(), runs.end(), [median](const ChildResult& r) { return r.value == median; });
}

// The lowest and highest of the runs' values (not empty).
std::pair<double, double> ValueRange(const std::vector<ChildResult>& runs) {
    const auto [low, high] = std::minmax_element(runs.begin(), runs.end(), [](const ChildResult& a, const ChildResult& b) {
        return a.value < b.value;
    });
    return {low->value, high->value};
}

void PlayingCpuShare(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("needs an X display: run under scripts/with-sound-stack.sh");
        return;
    }
    const std::string path = PlayWav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    const std::string secs = std::to_string(kPlaySeconds);
    // Three pairs, the row giving their medians: the device's own share swings
    // by a whole percent with the host's load from one 10 s run to the next.
    std::vector<ChildResult> windows, devices;
    for (auto _ : state) {
        ChildResult window = MeasureInChild({"play", path, secs}, {{"QT_QPA_PLATFORM", "xcb"}});
        ChildResult device = MeasureInChild({"device-play", path, secs});
        if (!window.ok || !device.ok || window.extra.size() != 2) {
            state.SkipWithError((window.error + " " + device.error).c_str());
            return;
        }
        state.SetIterationTime(window.extra[1]);
        windows.push_back(std::move(window));
        devices.push_back(std::move(device));
    }
    // The notes tell the runs whose shares are the medians.
    const ChildResult& window = MedianRun(windows);
    const ChildResult& device = MedianRun(devices);
    state.counters[kValue] = window.value;
    state.counters[kBaseline] = device.value;
    state.counters[kPeak] = window.peakMiB;
    state.counters[kBasePeak] = device.peakMiB;
    const auto [windowLow, windowHigh] = ValueRange(windows);
    const auto [baseLow, baseHigh] = ValueRange(devices);
    char note[640];
    std::snprintf(note, sizeof note,
                  "base: the device alone; medians of %zu pairs (window %.2f-%.2f, base %.2f-%.2f); the median "
                  "run: %.0f updates in %.1f s; %s | base %s",
                  windows.size(), windowLow, windowHigh, baseLow, baseHigh, window.extra[0], window.extra[1],
                  window.note.c_str(), device.note.c_str());
    SetRowText(state, "%", "< 3 %", note);
}

// Row: the device alone at Half Speed (Rubber Band stretching on the
// output's producer thread) against the same device at normal speed.
void HalfSpeedCpuShare(benchmark::State& state) {
    const std::string path = PlayWav();
    if (path.empty()) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    const std::string secs = std::to_string(kPlaySeconds);
    ChildResult half, normal;
    for (auto _ : state) {
        half = MeasureInChild({"device-play", path, secs, "0.5"});
        normal = MeasureInChild({"device-play", path, secs});
        if (!half.ok || !normal.ok || half.extra.size() != 2) {
            state.SkipWithError((half.error + " " + normal.error).c_str());
            return;
        }
        state.SetIterationTime(half.extra[1]);
    }
    state.counters[kValue] = half.value;
    state.counters[kBaseline] = normal.value;
    state.counters[kPeak] = half.peakMiB;
    state.counters[kBasePeak] = normal.peakMiB;
    char note[512];
    std::snprintf(note, sizeof note, "base: normal speed; %s | base %s", half.note.c_str(), normal.note.c_str());
    SetRowText(state, "%", "< 10 %", note);
}

}  // namespace

void RegisterPlaybackRows() {
    benchmark::RegisterBenchmark("CPU at Half Speed 10 s (device)", HalfSpeedCpuShare)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("CPU while playing 10 s (xcb)", PlayingCpuShare)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
}

}  // namespace zv::bench
