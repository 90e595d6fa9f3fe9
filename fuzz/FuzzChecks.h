#pragma once
// What every reader's fuzz target checks besides crashes and sanitizer
// reports: a broken promise aborts with its reason, so libFuzzer keeps the
// input that broke it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "document/TrackItem.h"

namespace zv::fuzz {

inline void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// The input as text (the readers take std::string or std::string_view).
inline std::string Text(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Every item starts at or after the sound's start and ends at or after
// its start: the tracks' own rule.
inline void RequireOrdered(const std::vector<TrackItem>& items, const char* what) {
    for (const TrackItem& m : items) Require(m.start >= 0 && m.start <= m.end, what);
}

// Runs of one shape laid end to end: each starts where the one before
// starts or later.
inline void RequireInOrder(const std::vector<TrackItem>& items, const char* what) {
    for (std::size_t i = 1; i < items.size(); ++i) Require(items[i - 1].start <= items[i].start, what);
}

} // namespace zv::fuzz
