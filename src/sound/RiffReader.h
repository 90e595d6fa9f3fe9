#pragma once
// Chunk search over a RIFF file open for reading, with the descend/ascend
// rules of the platform's multimedia file I/O:
//   - FindRiff walks the top-level chunks from the start of the file for a
//     RIFF chunk of a given form type and stands after its form type;
//   - FindChunk walks forward from the current position among the children
//     of a parent chunk for a chunk id and stands at the start of its data;
//   - Ascend stands after a chunk's data and its pad byte (odd sizes).
// Every walk stays inside the file as it was when the reader was made and
// inside the parent chunk; a header that does not fit wholly ends the search.
// Reads use absolute offsets (pread), so the descriptor's own offset is not
// used; small reads go through a small cache, so a walk costs few calls.
#include <array>
#include <cstddef>
#include <cstdint>

#include "sound/SoundData.h"

namespace zv {

// A four-character code: the characters in file order, packed little-endian,
// a shorter string filled up with blanks ("fmt" is "fmt ").
constexpr uint32_t FourCC(const char* s) {
    uint32_t code = 0;
    bool ended = false;
    for (int i = 0; i < 4; ++i) {
        if (s[i] == '\0') ended = true;
        const auto c = static_cast<uint8_t>(ended ? ' ' : s[i]);
        code |= static_cast<uint32_t>(c) << (8 * i);
    }
    return code;
}

class RiffReader {
public:
    // `fd` stays owned by the caller. The file's size is taken now; a file
    // that is not a regular file (a pipe, a device) has size 0 and so holds
    // no chunks.
    explicit RiffReader(int fd);

    uint64_t FileSize() const { return fileSize_; }
    uint64_t Position() const { return pos_; }

    // Reads up to `count` bytes at the current position and moves past them.
    // Returns the bytes read (fewer at the end of the file) or -1 on error.
    long Read(void* destination, std::size_t count);
    // Reads as many of `count` bytes at the current position as the file
    // gives, straight into `destination` (no cache), in one loop of reads.
    // Returns the bytes read; stops early at the end of the file or an error.
    std::size_t ReadLarge(uint8_t* destination, std::size_t count);

    // Finds a RIFF chunk of form type `formType`; true when found, `chunk`
    // filled and the position after the form type.
    bool FindRiff(uint32_t formType, ChunkInfo& chunk);
    // Finds the child `id` of `parent` from the current position; true when
    // found, `chunk` filled and the position at the start of its data.
    bool FindChunk(uint32_t id, const ChunkInfo& parent, ChunkInfo& chunk);
    // Moves past `chunk`'s data and its pad byte.
    void Ascend(const ChunkInfo& chunk);

private:
    // Reads up to `count` bytes at `offset` (count <= the cache's size).
    long ReadAt(uint64_t offset, void* destination, std::size_t count);
    bool ReadHeader(uint64_t offset, uint64_t limit, uint32_t& id, uint32_t& size);

    int fd_;
    uint64_t fileSize_ = 0;
    uint64_t pos_ = 0;
    std::array<uint8_t, 4096> cache_{};
    uint64_t cacheOffset_ = 0;
    std::size_t cacheLength_ = 0;
};

} // namespace zv
