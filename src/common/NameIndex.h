#pragma once
// Names to numbers (a place in the caller's list), found in constant time
// however many there are. The names are kept one after another in one
// block and the table holds each name's hash beside its place in that
// block, so a look-up touches one slot (and the name only when the hashes
// agree): a reader meeting hundreds of thousands of names stays linear in
// time, where a node per name would scatter them through memory.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv {

class NameIndex {
public:
    // The number kept for `name`, and false; or, for a name not met yet,
    // `value` kept for it, and true.
    std::pair<std::size_t, bool> Emplace(std::string_view name, std::size_t value);
    std::optional<std::size_t> Find(std::string_view name) const;
    std::size_t size() const { return entries_.size(); }
    void Clear();

private:
    // A slot is 8 bytes, so the table of a million names stays a few MB.
    struct Slot {
        uint32_t tag = 0;     // the hash's high bits
        uint32_t entry = 0;   // 1 + the name's place in entries_; 0: empty
    };
    struct Entry {
        std::size_t offset;   // of the name in names_
        std::size_t length;
        std::size_t value;
        uint64_t hash;
    };
    // The slot holding `name`, or the empty one where it would go.
    std::size_t SlotOf(std::string_view name, uint64_t hash) const;
    void Grow();

    std::vector<Slot> slots_;   // a power of two in size, at most half full
    std::vector<Entry> entries_;
    std::string names_;
};

} // namespace zv
