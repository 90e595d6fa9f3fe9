#include "sound/RiffReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zv {

namespace {

constexpr uint32_t kRiff = FourCC("RIFF");
constexpr uint32_t kList = FourCC("LIST");
// Offsets are held in 32-bit chunk records: nothing beyond this is addressed.
constexpr uint64_t kMaxOffset = UINT32_MAX;

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// End of a chunk's data plus its pad byte.
uint64_t ChunkEnd(uint64_t dataOffset, uint32_t size) { return dataOffset + size + (size & 1u); }

}  // namespace

RiffReader::RiffReader(int fd) : fd_(fd) {
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        fileSize_ = static_cast<uint64_t>(st.st_size);
}

long RiffReader::ReadAt(uint64_t offset, void* destination, std::size_t count) {
    if (count == 0 || offset >= fileSize_) return 0;
    if (offset < cacheOffset_ || offset + count > cacheOffset_ + cacheLength_) {
        // Refill the cache from `offset`; a short fill means the file ends.
        std::size_t got = 0;
        while (got < cache_.size()) {
            const ssize_t n = pread(fd_, cache_.data() + got, cache_.size() - got,
                                    static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                cacheLength_ = 0;
                return -1;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        cacheOffset_ = offset;
        cacheLength_ = got;
    }
    const std::size_t from = static_cast<std::size_t>(offset - cacheOffset_);
    const std::size_t available = std::min(count, cacheLength_ - from);
    std::memcpy(destination, cache_.data() + from, available);
    return static_cast<long>(available);
}

long RiffReader::Read(void* destination, std::size_t count) {
    auto* out = static_cast<uint8_t*>(destination);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t part = std::min(count - done, cache_.size());
        const long n = ReadAt(pos_, out + done, part);
        if (n < 0) return -1;
        pos_ += static_cast<uint64_t>(n);
        done += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < part) break;
    }
    return static_cast<long>(done);
}

std::size_t RiffReader::ReadLarge(uint8_t* destination, std::size_t count) {
    const uint64_t available = pos_ < fileSize_ ? fileSize_ - pos_ : 0;
    if (count > available) count = static_cast<std::size_t>(available);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = pread(fd_, destination + done, count - done, static_cast<off_t>(pos_ + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // end of file, or an error: the rest stays zero
        done += static_cast<std::size_t>(n);
    }
    pos_ += done;
    return done;
}

bool RiffReader::ReadHeader(uint64_t offset, uint64_t limit, uint32_t& id, uint32_t& size) {
    if (offset > limit || limit - offset < 8) return false;
    uint8_t header[8];
    if (ReadAt(offset, header, 8) != 8) return false;
    id = Le32(header);
    size = Le32(header + 4);
    return true;
}

bool RiffReader::FindRiff(uint32_t formType, ChunkInfo& chunk) {
    const uint64_t limit = std::min(fileSize_, kMaxOffset);
    uint64_t offset = pos_;
    uint32_t id = 0, size = 0;
    while (ReadHeader(offset, limit, id, size)) {
        const uint64_t data = offset + 8;
        if (id == kRiff) {
            uint8_t form[4];
            if (limit - data < 4 || ReadAt(data, form, 4) != 4) return false;
            if (Le32(form) == formType) {
                chunk = ChunkInfo{id, size, formType, static_cast<uint32_t>(data), 0};
                pos_ = data + 4;
                return true;
            }
        }
        offset = ChunkEnd(data, size);
    }
    return false;
}

bool RiffReader::FindChunk(uint32_t id, const ChunkInfo& parent, ChunkInfo& chunk) {
    const uint64_t parentEnd = uint64_t{parent.dwDataOffset} + parent.cksize;
    const uint64_t limit = std::min({parentEnd, fileSize_, kMaxOffset});
    uint64_t offset = pos_;
    if (offset < parent.dwDataOffset) return false;
    uint32_t found = 0, size = 0;
    while (ReadHeader(offset, limit, found, size)) {
        const uint64_t data = offset + 8;
        if (found == id) {
            uint32_t form = 0;
            const bool hasForm = id == kRiff || id == kList;
            if (hasForm) {
                uint8_t bytes[4];
                if (limit - data < 4 || ReadAt(data, bytes, 4) != 4) return false;
                form = Le32(bytes);
            }
            chunk = ChunkInfo{found, size, form, static_cast<uint32_t>(data), 0};
            pos_ = data + (hasForm ? 4 : 0);
            return true;
        }
        offset = ChunkEnd(data, size);
    }
    return false;
}

void RiffReader::Ascend(const ChunkInfo& chunk) { pos_ = ChunkEnd(chunk.dwDataOffset, chunk.cksize); }

namespace {

uint64_t Le64(const uint8_t* p) { return uint64_t{Le32(p)} | uint64_t{Le32(p + 4)} << 32; }

constexpr uint32_t kData = FourCC("data");
constexpr uint32_t kDs64 = FourCC("ds64");
constexpr uint32_t kSizeFromDs64 = 0xFFFFFFFFu;

}  // namespace

bool RiffReader::FindRf64(uint32_t formType, ChunkInfo& chunk, Rf64& sizes) {
    uint8_t head[12 + 8 + 16];
    if (ReadAt(0, head, sizeof head) != static_cast<long>(sizeof head)) return false;
    const uint32_t id = Le32(head);
    if ((id != FourCC("RF64") && id != FourCC("BW64")) || Le32(head + 8) != formType) return false;
    if (Le32(head + 12) != kDs64 || Le32(head + 16) < 16) return false;
    const uint32_t size32 = Le32(head + 4);
    const uint64_t riffSize = size32 == kSizeFromDs64 ? Le64(head + 20) : size32;
    if (riffSize < 4) return false;   // not even room for the form type
    chunk = ChunkInfo{id, size32, formType, 8, 0};
    sizes.end = riffSize > UINT64_MAX - 8 ? UINT64_MAX : 8 + riffSize;
    sizes.dataSize = Le64(head + 28);
    pos_ = ChunkEnd(20, Le32(head + 16));
    return true;
}

bool RiffReader::FindChunk64(uint32_t id, const Rf64& parent, ChunkInfo& chunk, uint64_t& size) {
    const uint64_t limit = std::min(parent.end, fileSize_);
    uint64_t offset = pos_;
    uint32_t found = 0, size32 = 0;
    while (ReadHeader(offset, limit, found, size32)) {
        const uint64_t data = offset + 8;
        const uint64_t trueSize = found == kData && size32 == kSizeFromDs64 ? parent.dataSize : size32;
        if (found == id) {
            if (data > kMaxOffset) return false;
            chunk = ChunkInfo{found, size32, 0, static_cast<uint32_t>(data), 0};
            size = trueSize;
            pos_ = data;
            return true;
        }
        // A size that runs past every offset ends the walk.
        if (trueSize > UINT64_MAX / 2 - data) return false;
        offset = data + trueSize + (trueSize & 1u);
    }
    return false;
}

} // namespace zv
