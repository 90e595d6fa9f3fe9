// Starts programs detached, the classic Unix way: fork a child that starts a
// new session and forks the program itself, then ends at once. The program is
// adopted by init (or the session's subreaper), so it outlives nothing of
// ours, keeps no terminal and never becomes our zombie; the short-lived child
// is reaped here. A close-on-exec pipe tells whether the exec worked: it
// closes without data on success and carries errno on failure.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "common/Log.h"
#include "volume/ProgramStarter.h"

extern char** environ;

namespace zv {
namespace {

// Writes errno to the pipe and ends the process. Async-signal-safe.
[[noreturn]] void FailInChild(int errorPipe) {
    const int error = errno;
    ssize_t written;
    do {
        written = write(errorPipe, &error, sizeof error);
    } while (written < 0 && errno == EINTR);
    _exit(127);
}

// Runs in the grandchild, after fork in a process that may have other
// threads: only async-signal-safe calls from here on.
[[noreturn]] void ExecProgram(const char* path, char* const argv[], int errorPipe) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &defaultAction, nullptr);

    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        if (devNull != STDIN_FILENO) close(devNull);
    }
    // Keep only stdin, stdout, stderr and the error pipe: descriptors that
    // libraries opened without close-on-exec are none of the program's business.
    if (errorPipe > 3) close_range(3, static_cast<unsigned>(errorPipe) - 1, 0);
    close_range(static_cast<unsigned>(errorPipe) + 1, ~0U, 0);

    execve(path, argv, environ);
    FailInChild(errorPipe);
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

class ProcessStarter final : public ProgramStarter {
public:
    bool Start(const std::string& path) override { return StartWithArguments(path, {}); }

    bool StartWithArguments(const std::string& path, const std::vector<std::string>& arguments) override {
        try {
            return StartDetached(path, arguments);
        } catch (...) {
            LogCurrentError(LogArea::Mixer, "Starting a program");   // out of memory building the argument list
            return false;
        }
    }

    std::string FindOnPath(const std::string& name) override {
        try {
            if (name.empty()) return {};
            if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
            const char* pathVariable = std::getenv("PATH");
            std::istringstream directories(pathVariable != nullptr ? pathVariable : "/usr/local/bin:/usr/bin:/bin");
            std::string directory;
            while (std::getline(directories, directory, ':')) {
                // An empty entry would mean the current directory: a program
                // is never picked up from wherever Zorvane was started.
                if (directory.empty()) continue;
                std::string candidate = directory + '/' + name;
                if (IsExecutableFile(candidate)) return candidate;
            }
        } catch (...) {
            LogCurrentError(LogArea::Mixer, "Looking for a program on PATH");   // out of memory
        }
        return {};
    }

private:
    static bool StartDetached(const std::string& path, const std::vector<std::string>& arguments) {
        if (path.empty()) return false;
        // Everything the children need is built before fork: they must not allocate.
        std::vector<std::string> strings;
        strings.reserve(arguments.size() + 1);
        strings.push_back(path);
        strings.insert(strings.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        argv.reserve(strings.size() + 1);
        for (std::string& text : strings) argv.push_back(text.data());
        argv.push_back(nullptr);

        int errorPipe[2];
        if (pipe2(errorPipe, O_CLOEXEC) != 0) return false;

        const pid_t child = fork();
        if (child < 0) {
            close(errorPipe[0]);
            close(errorPipe[1]);
            return false;
        }
        if (child == 0) {
            close(errorPipe[0]);
            setsid();
            const pid_t program = fork();
            if (program < 0) FailInChild(errorPipe[1]);
            if (program > 0) _exit(0);
            ExecProgram(path.c_str(), argv.data(), errorPipe[1]);
        }

        close(errorPipe[1]);
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        // The pipe ends when the program's exec closed the last write end.
        int error = 0;
        ssize_t got;
        do {
            got = read(errorPipe[0], &error, sizeof error);
        } while (got < 0 && errno == EINTR);
        close(errorPipe[0]);
        return got == 0;
    }
};

} // namespace

std::unique_ptr<ProgramStarter> CreateSystemProgramStarter() { return std::make_unique<ProcessStarter>(); }

} // namespace zv
