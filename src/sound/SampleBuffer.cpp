#include "sound/SampleBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace zv {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;  // x86-64 PMD size

std::size_t PageSize() {
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return page;
}

std::size_t RoundUp(std::size_t v, std::size_t to) { return (v + to - 1) / to * to; }

}  // namespace

SampleBuffer::~SampleBuffer() { Release(); }

SampleBuffer::SampleBuffer(SampleBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

SampleBuffer& SampleBuffer::operator=(SampleBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
    }
    return *this;
}

void SampleBuffer::Release() noexcept {
    if (data_ != nullptr) munmap(data_, mapped_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

bool SampleBuffer::Allocate(std::size_t size, std::size_t filled) {
    Release();
    if (size == 0) return true;  // an empty data chunk: an empty block
    if (size > SIZE_MAX - 2 * kHugePage) return false;
    if (filled > size) filled = size;
    const std::size_t length = RoundUp(size, PageSize());
    const bool huge = filled >= kHugePage;
    // For huge pages the block must start on a 2 MiB boundary: map a little
    // more and cut the unaligned ends off again.
    const std::size_t reserve = huge ? length + kHugePage : length;
    void* raw = mmap(nullptr, reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return false;
    auto* start = static_cast<uint8_t*>(raw);
    if (huge) {
        const auto address = reinterpret_cast<std::uintptr_t>(raw);
        auto* aligned = reinterpret_cast<uint8_t*>(RoundUp(address, kHugePage));
        const auto head = static_cast<std::size_t>(aligned - start);
        if (head > 0) munmap(start, head);
        const std::size_t tail = reserve - head - length;
        if (tail > 0) munmap(aligned + length, tail);
        start = aligned;
        const std::size_t hugeBytes = filled / kHugePage * kHugePage;
        madvise(start, hugeBytes, MADV_HUGEPAGE);
        // On systems where huge pages are the default, keep the part that
        // may stay unread (a stated size beyond the file's end) on small
        // pages, so it costs nothing.
        if (length > hugeBytes) madvise(start + hugeBytes, length - hugeBytes, MADV_NOHUGEPAGE);
    } else {
        madvise(start, length, MADV_NOHUGEPAGE);
    }
    data_ = start;
    size_ = size;
    mapped_ = length;
    return true;
}

} // namespace zv
