#include "common/NameIndex.h"

#include <functional>

namespace zv {

namespace {

uint32_t TagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

} // namespace

std::size_t NameIndex::SlotOf(std::string_view name, uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const uint32_t tag = TagOf(hash);
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.entry == 0) return i;
        if (s.tag != tag) continue;
        const Entry& e = entries_[s.entry - 1];
        if (e.hash == hash && std::string_view(names_).substr(e.offset, e.length) == name) return i;
    }
}

void NameIndex::Grow() {
    slots_.assign(slots_.empty() ? 16 : slots_.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t n = 0; n < entries_.size(); ++n) {
        std::size_t i = static_cast<std::size_t>(entries_[n].hash) & mask;
        while (slots_[i].entry != 0) i = (i + 1) & mask;
        slots_[i] = Slot{TagOf(entries_[n].hash), static_cast<uint32_t>(n + 1)};
    }
}

std::pair<std::size_t, bool> NameIndex::Emplace(std::string_view name, std::size_t value) {
    if ((entries_.size() + 1) * 2 > slots_.size()) Grow();
    const uint64_t hash = std::hash<std::string_view>{}(name);
    Slot& s = slots_[SlotOf(name, hash)];
    if (s.entry != 0) return {entries_[s.entry - 1].value, false};
    entries_.push_back(Entry{names_.size(), name.size(), value, hash});
    s = Slot{TagOf(hash), static_cast<uint32_t>(entries_.size())};
    names_.append(name);
    return {value, true};
}

std::optional<std::size_t> NameIndex::Find(std::string_view name) const {
    if (slots_.empty()) return std::nullopt;
    const Slot& s = slots_[SlotOf(name, std::hash<std::string_view>{}(name))];
    if (s.entry == 0) return std::nullopt;
    return entries_[s.entry - 1].value;
}

void NameIndex::Clear() {
    slots_.clear();
    entries_.clear();
    names_.clear();
}

} // namespace zv
