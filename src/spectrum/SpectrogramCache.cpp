#include "spectrum/SpectrogramCache.h"

namespace zv {

SpectrogramRequest SpectrogramKey::Request() const {
    SpectrogramRequest request;
    request.first = start;
    request.columns = width;
    request.perColumn = width > 0 ? static_cast<double>(end - start) / width : 0.0;
    return request;
}

const SpectrogramImage* SpectrogramCache::Find(const SpectrogramKey& key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (!(it->first == key)) continue;
        entries_.splice(entries_.begin(), entries_, it);
        return &entries_.front().second;
    }
    return nullptr;
}

const SpectrogramImage* SpectrogramCache::Nearest(const SpectrogramKey& key) const {
    for (const auto& [kept, image] : entries_)
        if (kept.start < key.end && kept.end > key.start && !image.Empty()) return &image;
    return nullptr;
}

void SpectrogramCache::Put(const SpectrogramKey& key, SpectrogramImage image) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->first == key) {
            entries_.erase(it);
            break;
        }
    }
    entries_.emplace_front(key, std::move(image));
    while (entries_.size() > kEntries) entries_.pop_back();
}

} // namespace zv
