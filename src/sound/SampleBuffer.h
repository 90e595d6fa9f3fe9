#pragma once
// One owned block of sample bytes: the data chunk of the loaded sound.
//
// The block is an anonymous private mapping, so its pages start as the
// kernel's shared zero page: a block costs memory only where bytes are
// written into it. A file that states a 4 GB data chunk but holds 100 bytes
// costs about one page. The leading part that the loader fills straight away
// is advised for transparent huge pages (fewer page faults and TLB misses on
// big sounds); the rest stays on small pages so an unread tail stays free.
//
// The block can be shared for reading (Share): the sound output plays a
// decoded sound from the very bytes the waveform draws, and the mapping
// goes only when the last holder lets go.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zv {

class SampleBuffer {
public:
    SampleBuffer() noexcept = default;
    ~SampleBuffer();
    SampleBuffer(SampleBuffer&& other) noexcept;
    SampleBuffer& operator=(SampleBuffer&& other) noexcept;
    SampleBuffer(const SampleBuffer&) = delete;
    SampleBuffer& operator=(const SampleBuffer&) = delete;

    // Releases any block held, then takes a zero-filled block of `size`
    // bytes. `filled` is how many leading bytes the caller is about to write
    // (clamped to `size`); only those are put on huge pages.
    // Returns false, holding no block, when the memory cannot be had.
    bool Allocate(std::size_t size, std::size_t filled);
    // Gives the block back. Safe to call when nothing is held.
    void Release() noexcept;
    // Keeps only the first `size` bytes (a decoder that stated more than it
    // gave); the whole pages past them go back to the system. A larger size
    // changes nothing.
    void Shrink(std::size_t size) noexcept;

    // A read-only hold on the bytes: they stay mapped and unchanged while
    // the hold lives, whatever this buffer does next (a new Allocate or a
    // Release leaves the held block alone). Null when no block is held.
    // Share only a block that is written in full: Shrink and writes after
    // sharing would change what the holders read.
    std::shared_ptr<const uint8_t> Share() const;

    uint8_t* data() noexcept { return data_; }
    const uint8_t* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }

private:
    struct Mapping;             // the whole mapping, guard pages included

    uint8_t* data_ = nullptr;   // nullptr for an empty block or none
    std::size_t size_ = 0;      // bytes the caller asked for
    std::shared_ptr<Mapping> block_;
};

} // namespace zv
