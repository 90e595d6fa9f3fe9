#include "marks/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace zv {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// The folder `path` lies in ("." for a bare name).
std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The file a write to `path` should replace: the target of a symbolic link.
std::string ResolveLink(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) return current;
        const std::filesystem::path target(std::string(buffer.data(), static_cast<std::size_t>(n)));
        current = target.is_absolute() ? target.string()
                                        : (std::filesystem::path(current).parent_path() / target).string();
    }
    return current;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

} // namespace

TextFileRead ReadTextFile(const std::string& path, std::size_t maxBytes) {
    TextFileRead result;
    // Opened without blocking: a named pipe (or a device) under the file's
    // name would otherwise hold the caller until some writer came along.
    // Only a regular file is read, and reads of one never block.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return result;   // nothing there
        result.exists = true;
        result.error = Reason(errno);
        return result;
    }
    result.exists = true;
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) {
        result.error = Reason(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = S_ISDIR(st.st_mode) ? Reason(EISDIR) : std::string("not a regular file");
        return result;
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        result.error = "the file is too large";
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            result.error = Reason(errno);
            result.text.clear();
            return result;
        }
        if (n == 0) break;
        result.text.append(buffer, static_cast<std::size_t>(n));
        if (result.text.size() > maxBytes) {   // grew while being read
            result.error = "the file is too large";
            result.text.clear();
            return result;
        }
    }
    return result;
}

std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text) {
    const std::string target = ResolveLink(path);
    const std::string folder = FolderOf(target);
    const std::string name = std::filesystem::path(target).filename().string();
    // Hidden, and named after the target, so a left-over (after a power
    // cut) is recognisable; mkstemp makes the name unique.
    std::string temp = (std::filesystem::path(folder) / ("." + name + ".XXXXXX")).string();
    if (name.size() + 8 > 255) temp = (std::filesystem::path(folder) / ".zorvane.XXXXXX").string();
    Descriptor file{::mkstemp(temp.data())};
    if (file.fd < 0) return Reason(errno);
    ::fcntl(file.fd, F_SETFD, FD_CLOEXEC);

    const auto fail = [&](int error) -> std::optional<std::string> {
        ::unlink(temp.c_str());
        return Reason(error);
    };

    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    if (::fchmod(file.fd, mode) != 0) return fail(errno);

    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(file.fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) return fail(EIO);
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(file.fd) != 0) return fail(errno);
    const int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
    // The rename itself reaches the disk with the folder's entry.
    Descriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0) ::fsync(dir.fd);
    return std::nullopt;
}

FileIdentity IdentityOfFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    FileIdentity id;
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.bytes = static_cast<int64_t>(st.st_size);
    id.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + static_cast<int64_t>(st.st_mtim.tv_nsec);
    return id;
}

} // namespace zv
