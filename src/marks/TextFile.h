#pragma once
// Whole-file reads and writes for the small text files the marks live in.
// Writes are atomic: the text goes to a temporary file in the same folder,
// is flushed to the disk (fsync) and then renamed over the target, so the
// target is at every moment either the old file, whole, or the new one,
// whole, even when the write fails half-way or the machine stops.
// Errors come back as a reason the user can read (the system's text).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "document/SoundDocument.h"

namespace zv {

struct TextFileRead {
    bool exists = false;          // false: there is no file at the path (not an error)
    std::optional<std::string> error;   // the file is there but could not be read
    std::string text;
};

// Reads the file at `path` whole. A file larger than `maxBytes` is an error.
TextFileRead ReadTextFile(const std::string& path, std::size_t maxBytes);

// Replaces (or creates) the file at `path` with `text`, atomically. A
// symbolic link at `path` is followed: the file it points to is replaced.
// A new file gets the usual permissions (0666 less the umask); a replaced
// one keeps its own. Returns the reason when it failed; the old file, if
// any, is then untouched and no temporary file is left behind.
std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text);

// Which file is at `path` (device, inode, size, modification time); all
// zero when it cannot be looked at.
FileIdentity IdentityOfFile(const std::string& path);

} // namespace zv
