#include "sound/SampleBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

namespace zv {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;  // x86-64 PMD size

std::size_t PageSize() {
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return page;
}

std::size_t RoundUp(std::size_t v, std::size_t to) { return (v + to - 1) / to * to; }

}  // namespace

struct SampleBuffer::Mapping {
    uint8_t* base = nullptr;
    std::size_t mapped = 0;
    std::size_t slack = 0;   // unused head of the first page of bytes
    Mapping(uint8_t* b, std::size_t m, std::size_t s) : base(b), mapped(m), slack(s) {}
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        // Only the head slack was marked; unmarking more would write the
        // sanitizer's shadow of the whole (maybe 4 GB) block.
        ASAN_UNPOISON_MEMORY_REGION(base + PageSize(), slack);
        munmap(base, mapped);
    }
};

SampleBuffer::~SampleBuffer() { Release(); }

SampleBuffer::SampleBuffer(SampleBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      block_(std::move(other.block_)) {}

SampleBuffer& SampleBuffer::operator=(SampleBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        block_ = std::move(other.block_);
    }
    return *this;
}

void SampleBuffer::Release() noexcept {
    block_.reset();   // unmapped here unless a holder keeps it
    data_ = nullptr;
    size_ = 0;
}

std::shared_ptr<const uint8_t> SampleBuffer::Share() const {
    if (!block_) return nullptr;
    return std::shared_ptr<const uint8_t>(block_, data_);
}

void SampleBuffer::Shrink(std::size_t size) noexcept {
    if (size >= size_ || data_ == nullptr) return;
    const std::size_t page = PageSize();
    const auto end = reinterpret_cast<std::uintptr_t>(data_ + size_);
    const std::uintptr_t firstFree = RoundUp(reinterpret_cast<std::uintptr_t>(data_ + size), page);
    if (end > firstFree) madvise(reinterpret_cast<void*>(firstFree), end - firstFree, MADV_DONTNEED);
    size_ = size;
}

bool SampleBuffer::Allocate(std::size_t size, std::size_t filled) {
    Release();
    if (size == 0) return true;  // an empty data chunk: an empty block
    if (size > SIZE_MAX / 2) return false;
    if (filled > size) filled = size;
    const std::size_t page = PageSize();
    const std::size_t length = RoundUp(size, page);   // the pages that hold the bytes
    const std::size_t slack = length - size;          // unused head of the first page
    // Huge pages only where the bytes about to be written fill them.
    const std::size_t hugeBytes = (slack + filled) / kHugePage * kHugePage;
    // For huge pages the bytes' pages must start on a 2 MiB boundary: map a
    // little more and cut the unaligned ends off again.
    const std::size_t align = hugeBytes > 0 ? kHugePage : page;
    const std::size_t reserve = page + length + page + (align - page);
    void* raw = mmap(nullptr, reserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return false;
    auto* const rawStart = static_cast<uint8_t*>(raw);
    auto* const pages = reinterpret_cast<uint8_t*>(
        RoundUp(reinterpret_cast<std::uintptr_t>(rawStart + page), align));
    uint8_t* const base = pages - page;
    const std::size_t mapped = page + length + page;
    if (base > rawStart) munmap(rawStart, static_cast<std::size_t>(base - rawStart));
    uint8_t* const end = base + mapped;
    if (rawStart + reserve > end) munmap(end, static_cast<std::size_t>(rawStart + reserve - end));
    mprotect(base, page, PROT_NONE);
    mprotect(pages + length, page, PROT_NONE);
    if (hugeBytes > 0) madvise(pages, hugeBytes, MADV_HUGEPAGE);
    // Where huge pages are the system's default, keep the part that may stay
    // unread (a stated size beyond the file's end) on small pages: it then
    // costs nothing.
    if (length > hugeBytes) madvise(pages + hugeBytes, length - hugeBytes, MADV_NOHUGEPAGE);
    try {
        block_ = std::make_shared<Mapping>(base, mapped, slack);
    } catch (...) {
        munmap(base, mapped);
        return false;
    }
    // The sanitizer does not watch mappings; mark the head slack for it.
    ASAN_POISON_MEMORY_REGION(pages, slack);
    data_ = pages + slack;
    size_ = size;
    return true;
}

} // namespace zv
