// Measures what playing a file costs: the program's CPU share (user + system
// time of the whole process over wall time, from /proc/self/stat) while the
// media control plays a 10 s WAV through the system's sound output, and the
// time of one status update (the control's own side plus the two readout
// captions the window writes on every update).
//
//   bench_playback_cpu [seconds]     (default 10; needs a display, e.g. Xvfb)
//   scripts/with-sound-stack.sh build/bench/bench_playback_cpu
// Prints the figures; target: under 3 % of one core.
#include <sndfile.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <numbers>
#include <string>
#include <vector>

#include "playback/MediaDevice.h"
#include "playback/Readouts.h"
#include "playback/ui/MediaControl.h"

namespace {

// CPU seconds used by this process so far (all threads, user + system).
double ProcessCpuSeconds() {
    std::ifstream in("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name (which sits in parentheses).
    std::size_t at = text.rfind(')');
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = at + 2; i < text.size(); ++i) {
        if (text[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += text[i];
        }
    }
    // utime and stime are fields 14 and 15 of the whole line (11 and 12 here).
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (std::stod(fields.at(11)) + std::stod(fields.at(12))) / ticks;
}

// CPU seconds of each live thread: id -> (name, seconds).
std::map<std::string, std::pair<std::string, double>> ThreadCpuSeconds() {
    std::map<std::string, std::pair<std::string, double>> threads;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        std::ifstream stat(task.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        std::istringstream rest(text.substr(text.rfind(')') + 2));
        std::vector<std::string> f((std::istream_iterator<std::string>(rest)), std::istream_iterator<std::string>());
        if (f.size() > 12) threads[task.path().filename()] = {name, (std::stod(f[11]) + std::stod(f[12])) / ticks};
    }
    return threads;
}

std::string WriteTone(double seconds) {
    const std::string path = "/tmp/zorvane-bench-" + std::to_string(getpid()) + ".wav";
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto frames = static_cast<sf_count_t>(seconds * 44100);
    std::vector<short> data(static_cast<std::size_t>(frames) * 2);
    for (sf_count_t i = 0; i < frames; ++i)
        data[static_cast<std::size_t>(2 * i)] = data[static_cast<std::size_t>(2 * i + 1)] =
            static_cast<short>(8000 * std::sin(2 * std::numbers::pi * 440.0 * static_cast<double>(i) / 44100));
    sf_writef_short(file, data.data(), frames);
    sf_close(file);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::stod(argv[1]) : 10.0;
    const std::string path = WriteTone(seconds + 2.0);

    auto device = zv::CreateSystemMediaDevice();
    zv::MediaControl control(*device);
    QLabel total, position;
    control.show();
    total.show();
    position.show();

    // What the window does on every status update: the readouts.
    int updates = 0;
    double updateNs = 0;
    QObject::connect(&control, &zv::MediaControl::StatusUpdate, [&] {
        const auto start = std::chrono::steady_clock::now();
        const int32_t l1 = control.Length(), l2 = control.Length();
        total.setText(QString::fromStdString(zv::LengthCaption(l1, l2, 30)));
        const int32_t p1 = control.Position(), p2 = control.Position();
        position.setText(QString::fromStdString(zv::PositionCaption(p1, p2, 30)));
        (void)control.Mode();
        updateNs += static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
        ++updates;
    });

    control.SetDeviceType("WaveAudio");
    control.SetFileName(path);
    control.SetCommand("Open");
    control.SetTo(static_cast<int32_t>((seconds + 1.0) * 1000));   // still playing at the end
    control.Button("Play")->click();

    const auto threadsBefore = ThreadCpuSeconds();
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QApplication::quit);
    QApplication::exec();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();

    const auto threadsAfter = ThreadCpuSeconds();
    for (const auto& [id, entry] : threadsAfter) {
        const auto before = threadsBefore.find(id);
        const double used = entry.second - (before == threadsBefore.end() ? 0.0 : before->second.second);
        std::printf("  thread %-16s %.3f s\n", entry.first.c_str(), used);
    }
    std::printf("played %.1f s: CPU %.2f %% of one core; %d status updates, %.1f us each (control + readouts)\n",
                wall, 100.0 * cpu / wall, updates, updates ? updateNs / updates / 1000.0 : 0.0);
    control.SetCommand("Close");
    unlink(path.c_str());
    return 0;
}
