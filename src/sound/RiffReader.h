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

    // RF64 and BW64 (the 64-bit forms of RIFF WAVE, for sounds beyond
    // 4 GiB): the file starts with "RF64" or "BW64", form type WAVE, and its
    // first chunk "ds64" holds the 64-bit sizes of the whole and of the data
    // chunk that stand for a 32-bit size of 0xFFFFFFFF.
    struct Rf64 {
        uint64_t end = 0;        // file offset where the RF64 chunk ends
        uint64_t dataSize = 0;   // the data chunk's size from ds64
    };
    // Reads the RF64/BW64 header and its ds64 chunk at the start of the
    // file; true when both are there and ds64 states a size that holds at
    // least the form type. `chunk` is the top chunk as for FindRiff (its
    // cksize the 32-bit field as stored); the position is after ds64.
    bool FindRf64(uint32_t formType, ChunkInfo& chunk, Rf64& sizes);
    // FindChunk inside an RF64 chunk: offsets are 64-bit (the walk reaches
    // past 4 GiB), a data chunk of size 0xFFFFFFFF has ds64's size, and
    // `size` is the found chunk's true size. A chunk whose data starts
    // beyond 4 GiB is not found (the chunk record holds 32-bit offsets).
    bool FindChunk64(uint32_t id, const Rf64& parent, ChunkInfo& chunk, uint64_t& size);

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
