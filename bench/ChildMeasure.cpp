#include "ChildMeasure.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchTable.h"
#include "common/MessageBox.h"
#include "sound/WavLoader.h"

namespace zv::bench {

namespace {

class PrintingBox : public MessageBox {
public:
    void Show(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        shown = true;
    }
    bool shown = false;
};

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int ChildLoad(const char* path) {
    SoundData sound;
    PrintingBox box;
    const auto start = std::chrono::steady_clock::now();
    LoadWavFile(sound, path, box);
    const double seconds = SecondsSince(start);
    if (!sound.WavLoaded || box.shown) return 3;
    std::printf("%.6f %ld\n", seconds, PeakKiB());
    return 0;
}

int ChildRead(const char* path, long offset, std::size_t bytes) {
    auto* buffer = static_cast<uint8_t*>(std::malloc(bytes));
    if (buffer == nullptr) return 3;
    std::memset(buffer, 1, bytes);  // touched: its pages exist before the clock starts
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0 || lseek(fd, offset, SEEK_SET) != offset) return 3;
    const auto start = std::chrono::steady_clock::now();
    std::size_t done = 0;
    while (done < bytes) {  // one read; more only if the system returns short
        const ssize_t n = read(fd, buffer + done, bytes - done);
        if (n <= 0) return 3;
        done += static_cast<std::size_t>(n);
    }
    const double seconds = SecondsSince(start);
    close(fd);
    std::printf("%.6f %ld\n", seconds, PeakKiB());
    std::free(buffer);
    return 0;
}

}  // namespace

int RunChild(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[0], "load") == 0) return ChildLoad(argv[1]);
    if (argc == 4 && std::strcmp(argv[0], "read") == 0)
        return ChildRead(argv[1], std::atol(argv[2]), std::strtoull(argv[3], nullptr, 10));
    std::fprintf(stderr, "unknown child command\n");
    return 2;
}

ChildResult MeasureInChild(const std::vector<std::string>& args) {
    ChildResult result;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        std::vector<char*> argv;
        std::string self = "/proc/self/exe", child = "--child";
        argv.push_back(self.data());
        argv.push_back(child.data());
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[256];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long peakKiB = 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
        std::sscanf(text.c_str(), "%lf %ld", &result.seconds, &peakKiB) == 2) {
        result.ok = true;
        result.peakMiB = static_cast<double>(peakKiB) / 1024.0;
    } else {
        result.error = "child failed: " + (args.empty() ? std::string() : args[0]);
    }
    return result;
}

}  // namespace zv::bench
