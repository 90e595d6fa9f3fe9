#pragma once
// A named, sorted list of items over the open sound (see TrackItem.h): the
// marks, the words, the mouth shapes, the beats. Items are kept sorted by
// start sample; items at the same start keep the order they were added in.
// Indexes are positions in that order: any change may shift the ones after it.
//
// Every change raises one notification to each listener, after the change
// is complete (a batch such as AddAll or Assign raises one, not one per item).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

class Track {
public:
    using Listener = std::function<void(const Track&)>;

    explicit Track(std::string name) : name_(std::move(name)) {}
    Track(const Track&) = delete;
    Track& operator=(const Track&) = delete;

    const std::string& Name() const { return name_; }
    const std::vector<TrackItem>& Items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const TrackItem& operator[](std::size_t index) const { return items_[index]; }

    // Inserts the item at its place in time; returns its index.
    std::size_t Add(TrackItem item);
    // Adds many at once (one sort, one notification).
    void AddAll(std::vector<TrackItem> items);
    // Replaces every item.
    void Assign(std::vector<TrackItem> items);
    // Replaces the item at `index` (it moves to its new place in time);
    // returns its new index, or size() for an index out of range.
    std::size_t Replace(std::size_t index, TrackItem item);
    // Removes the items at these indexes (any order; duplicates and indexes
    // out of range ignored). Returns how many were removed.
    std::size_t Remove(std::vector<std::size_t> indexes);
    // Sets an item's text; false for an index out of range.
    bool SetText(std::size_t index, std::string text);
    void Clear() { Assign({}); }

    // The first item whose start lies at or after `sample`.
    std::size_t FirstAtOrAfter(int64_t sample) const;

    // Goes up by one on every change: views redraw only when it moved.
    uint64_t Revision() const { return revision_; }

    // Listeners are called on the thread that made the change, in the order
    // they were added. Returns an id for RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int id);

private:
    void Sort();
    void Changed();

    std::string name_;
    std::vector<TrackItem> items_;
    uint64_t revision_ = 0;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
};

} // namespace zv
