#pragma once
// The spectrogram images made for the open sound, kept per zoom level and
// view: the key is the view's first and end sample frames and its width in
// pixel columns (so its samples per pixel). Up to kEntries are kept; the
// one used least recently goes first. Drawing from a kept image costs one
// picture drawn, not a spectrum computed.
#include <cstddef>
#include <cstdint>
#include <list>
#include <utility>

#include "spectrum/Spectrogram.h"

namespace zv {

struct SpectrogramKey {
    int64_t start = 0, end = 0;   // sample frames: the view [start, end)
    int width = 0;                // pixel columns
    friend bool operator==(const SpectrogramKey&, const SpectrogramKey&) = default;
    // One column per pixel across the view.
    SpectrogramRequest Request() const;
};

class SpectrogramCache {
public:
    static constexpr std::size_t kEntries = 12;

    // The image made for `key`, or null; a found one becomes the newest.
    const SpectrogramImage* Find(const SpectrogramKey& key);
    // The newest image that covers part of `key`'s view (at another zoom or
    // scroll), to show stretched while the view's own is made; or null.
    const SpectrogramImage* Nearest(const SpectrogramKey& key) const;
    // Keeps `image` as `key`'s (replacing one kept for it).
    void Put(const SpectrogramKey& key, SpectrogramImage image);
    void Clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }

private:
    std::list<std::pair<SpectrogramKey, SpectrogramImage>> entries_;   // newest first
};

} // namespace zv
