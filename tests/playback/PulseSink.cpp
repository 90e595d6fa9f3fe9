#include "PulseSink.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace zv::test {

namespace {

std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

pid_t Spawn(const std::vector<std::string>& args, const char* input, const std::string& output,
            char** environment = environ) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input, O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

void EndProcess(pid_t pid, int signal) {
    if (pid <= 0) return;
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
}

} // namespace

bool SoundStackRunning() {
    const char* sink = std::getenv("ZORVANE_TEST_SINK");
    return sink && *sink;
}

bool SoundStackRequired() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

PrivateSink::PrivateSink() {
    static std::atomic<int> counter{0};
    name_ = "zorvane_playback_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    module_ = Run("pactl load-module module-null-sink sink_name=" + name_ + " 2>/dev/null");
    if (module_.empty() || module_.find_first_not_of("0123456789") != std::string::npos)
        throw std::runtime_error("cannot load a null sink");
    keepAlive_ = Spawn({"pacat", "--playback", "--latency-msec=10", "--raw", "--format=s16le", "--rate=44100",
                        "--channels=2", "-d", name_},
                       "/dev/zero", "/dev/null");
    if (const char* old = std::getenv("PULSE_SINK")) {
        hadOldSink_ = true;
        oldSink_ = old;
    }
    setenv("PULSE_SINK", name_.c_str(), 1);
}

PrivateSink::~PrivateSink() {
    EndProcess(keepAlive_, SIGTERM);
    Run("pactl unload-module " + module_ + " 2>/dev/null");
    if (hadOldSink_)
        setenv("PULSE_SINK", oldSink_.c_str(), 1);
    else
        unsetenv("PULSE_SINK");
}

PrivateSoundServer::PrivateSoundServer() {
    char pattern[] = "/tmp/zorvane-pulse-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    const std::string socket = dir_ + "/native";
    // Its own runtime directory, so that it does not meet the test script's server.
    std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + dir_, "PULSE_RUNTIME_PATH=" + dir_ + "/runtime",
                                    "HOME=" + dir_, "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "")};
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    server_ = Spawn({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                     "--load=module-null-sink sink_name=doomed",
                     "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket},
                    "/dev/null", "/dev/null", envp.data());
    if (const char* old = std::getenv("PULSE_SERVER")) {
        hadOldServer_ = true;
        oldServer_ = old;
    }
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    for (int i = 0; i < 200; ++i) {
        if (Run("pactl info >/dev/null 2>&1 && echo up") == "up") return;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    throw std::runtime_error("the private sound server did not start");
}

PrivateSoundServer::~PrivateSoundServer() {
    Kill();
    if (hadOldServer_)
        setenv("PULSE_SERVER", oldServer_.c_str(), 1);
    else
        unsetenv("PULSE_SERVER");
    Run("rm -rf '" + dir_ + "'");
}

void PrivateSoundServer::Kill() {
    EndProcess(server_, SIGKILL);
    server_ = -1;
}

MonitorRecording::MonitorRecording(const std::string& sink) {
    char pattern[] = "/tmp/zorvane-monitor-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    path_ = pattern;
    recorder_ = Spawn({"parec", "-d", sink + ".monitor", "--latency-msec=10", "--raw", "--format=s16le",
                       "--rate=44100", "--channels=2"},
                      "/dev/null", path_);
    // The silent stream makes the monitor deliver as soon as both are connected.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    struct stat st {};
    while (std::chrono::steady_clock::now() < deadline) {
        if (stat(path_.c_str(), &st) == 0 && st.st_size >= 44100 * 4 / 5) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    throw std::runtime_error("the monitor delivers nothing");
}

MonitorRecording::~MonitorRecording() {
    EndProcess(recorder_, SIGINT);
    if (!path_.empty()) unlink(path_.c_str());
}

std::vector<int16_t> MonitorRecording::Stop() {
    EndProcess(recorder_, SIGINT);
    recorder_ = -1;
    std::ifstream in(path_, std::ios::binary);
    std::vector<int16_t> left;
    int16_t frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) left.push_back(frame[0]);
    return left;
}

std::vector<int16_t> MonitorRecording::StopAfter(int ms) {
    struct stat st {};
    const off_t start = stat(path_.c_str(), &st) == 0 ? st.st_size : 0;
    const off_t wanted = start + static_cast<off_t>(ms) * 44100 / 1000 * 4;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (stat(path_.c_str(), &st) == 0 && st.st_size >= wanted) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Stop();
}

struct MonitorClock::State {
    pa_simple* stream = nullptr;
    std::thread reader;
    std::atomic<bool> stop{false};
    std::atomic<int> live{0};   // chunks in a row that came as they played
    std::mutex mutex;
    struct Chunk {
        int64_t firstNs;   // when its first sample played
        std::vector<int16_t> samples;
    };
    std::vector<Chunk> chunks;
};

namespace {
int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
constexpr int kChunkFrames = 110;   // 2.5 ms
}  // namespace

MonitorClock::MonitorClock(const std::string& sink) : state_(std::make_unique<State>()) {
    const pa_sample_spec format{PA_SAMPLE_S16LE, 44100, 1};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = kChunkFrames * 2;
    int error = 0;
    const std::string monitor = sink + ".monitor";
    state_->stream = pa_simple_new(nullptr, "zorvane-test-clock", PA_STREAM_RECORD, monitor.c_str(), "clock", &format,
                                   nullptr, &attr, &error);
    if (!state_->stream) throw std::runtime_error("cannot record the sink's monitor");
    State* s = state_.get();
    s->reader = std::thread([s] {
        int64_t lastNs = SteadyNs();
        while (!s->stop.load()) {
            State::Chunk chunk{0, std::vector<int16_t>(kChunkFrames)};
            int error = 0;
            if (pa_simple_read(s->stream, chunk.samples.data(), chunk.samples.size() * 2, &error) < 0) return;
            const int64_t now = SteadyNs();
            s->live.store(now - lastNs >= 1'000'000 ? s->live.load() + 1 : 0);
            lastNs = now;
            // The null sink renders as it plays and hands each block to its
            // monitor at once; the chunk's last sample has just come. (The
            // latency the recording stream reports is the sink's notional
            // one, hundreds of ms, not how late the samples come.)
            chunk.firstNs = now - kChunkFrames * 1'000'000'000LL / 44100;
            std::lock_guard<std::mutex> lock(s->mutex);
            s->chunks.push_back(std::move(chunk));
        }
    });
    // A new recording first delivers a backlog in a burst, then stalls for
    // a while: times are good once the chunks come as they play.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (s->live.load() < 40 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (s->live.load() < 40) {
        s->stop.store(true);
        s->reader.join();
        pa_simple_free(s->stream);
        throw std::runtime_error("the sink's monitor does not deliver in time");
    }
}

MonitorClock::~MonitorClock() {
    state_->stop.store(true);
    state_->reader.join();
    pa_simple_free(state_->stream);
}

int64_t MonitorClock::NextSoundNs(int64_t afterNs, int threshold, int timeoutMs) {
    const int64_t deadline = SteadyNs() + int64_t{timeoutMs} * 1'000'000;
    size_t next = 0;
    while (SteadyNs() < deadline) {
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            for (; next < state_->chunks.size(); ++next) {
                const State::Chunk& chunk = state_->chunks[next];
                for (size_t i = 0; i < chunk.samples.size(); ++i) {
                    const int64_t at = chunk.firstNs + static_cast<int64_t>(i) * 1'000'000'000LL / 44100;
                    if (at > afterNs && std::abs(static_cast<int>(chunk.samples[i])) > threshold) return at;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

std::vector<Burst> FindBursts(const std::vector<int16_t>& samples, int threshold, int64_t bridge) {
    std::vector<Burst> bursts;
    for (int64_t i = 0; i < static_cast<int64_t>(samples.size()); ++i) {
        if (std::abs(static_cast<int>(samples[static_cast<size_t>(i)])) <= threshold) continue;
        if (!bursts.empty() && i - bursts.back().end < bridge)
            bursts.back().end = i + 1;
        else
            bursts.push_back({i, i + 1});
    }
    return bursts;
}

} // namespace zv::test
