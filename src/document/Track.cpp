#include "document/Track.h"

#include <algorithm>
#include <iterator>

namespace zv {

namespace {

bool Earlier(const TrackItem& a, const TrackItem& b) { return a.start < b.start; }

} // namespace

std::size_t Track::Add(TrackItem item) {
    const auto at = std::upper_bound(items_.begin(), items_.end(), item, Earlier);
    const auto index = static_cast<std::size_t>(at - items_.begin());
    items_.insert(at, std::move(item));
    Changed();
    return index;
}

void Track::AddAll(std::vector<TrackItem> items) {
    if (items.empty()) return;
    items_.insert(items_.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    Sort();
}

void Track::Assign(std::vector<TrackItem> items) {
    if (items.empty() && items_.empty()) return;
    items_ = std::move(items);
    Sort();
}

std::size_t Track::Replace(std::size_t index, TrackItem item) {
    if (index >= items_.size()) return items_.size();
    if (items_[index] == item) return index;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return Add(std::move(item));
}

void Track::Sort() {
    std::stable_sort(items_.begin(), items_.end(), Earlier);
    Changed();
}

std::size_t Track::Remove(std::vector<std::size_t> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    std::size_t removed = 0;
    std::size_t next = 0;   // next index of `indexes` to drop
    std::size_t kept = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (next < indexes.size() && indexes[next] == i) {
            ++next;
            ++removed;
            continue;
        }
        if (kept != i) items_[kept] = std::move(items_[i]);
        ++kept;
    }
    items_.resize(kept);
    if (removed > 0) Changed();
    return removed;
}

bool Track::SetText(std::size_t index, std::string text) {
    if (index >= items_.size()) return false;
    if (items_[index].text == text) return true;
    items_[index].text = std::move(text);
    Changed();
    return true;
}

std::size_t Track::FirstAtOrAfter(int64_t sample) const {
    const auto at = std::lower_bound(items_.begin(), items_.end(), sample,
                                     [](const TrackItem& m, int64_t s) { return m.start < s; });
    return static_cast<std::size_t>(at - items_.begin());
}

int Track::AddListener(Listener listener) {
    const int id = nextListener_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void Track::RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void Track::Changed() {
    ++revision_;
    // A listener may add or remove listeners: call a copy.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners) listener(*this);
}

} // namespace zv
