#include "sound/SoundKind.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zv {

namespace {

bool Starts(const uint8_t* head, std::size_t size, const char* magic, std::size_t at = 0) {
    const std::size_t n = std::strlen(magic);
    return size >= at + n && std::memcmp(head + at, magic, n) == 0;
}

}  // namespace

SoundKind ClassifySoundHeader(const uint8_t* head, std::size_t size) {
    if ((Starts(head, size, "RIFF") || Starts(head, size, "RF64") || Starts(head, size, "BW64")) &&
        Starts(head, size, "WAVE", 8))
        return SoundKind::Wave;
    if (Starts(head, size, "fLaC") || Starts(head, size, "OggS") || Starts(head, size, "ID3"))
        return SoundKind::Compressed;
    // An MPEG audio frame header: eleven sync bits, a version other than
    // "reserved", a layer other than "reserved", a bitrate other than "bad"
    // and a sample rate other than "reserved".
    if (size >= 4 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0 && (head[1] & 0x18) != 0x08 &&
        (head[1] & 0x06) != 0 && (head[2] & 0xF0) != 0xF0 && (head[2] & 0x0C) != 0x0C)
        return SoundKind::Compressed;
    return SoundKind::Unknown;
}

SoundKind ClassifySoundFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return SoundKind::Unknown;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return SoundKind::Unknown;
    uint8_t head[12];
    std::size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = pread(fd, head + got, sizeof head - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    return ClassifySoundHeader(head, got);
}

} // namespace zv
