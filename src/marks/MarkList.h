#pragma once
// The marks of one sound, kept sorted by time (ms, then sample frame); marks
// at the same time keep the order they were added in. Indexes are positions
// in that order: any change may shift the ones after it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "marks/Mark.h"

namespace zv {

class MarkList {
public:
    const std::vector<Mark>& Marks() const { return marks_; }
    std::size_t size() const { return marks_.size(); }
    bool empty() const { return marks_.empty(); }
    const Mark& operator[](std::size_t index) const { return marks_[index]; }

    // Inserts the mark at its place in time; returns its index.
    std::size_t Add(Mark mark);
    // Adds many at once (one sort, not one insert each).
    void AddAll(std::vector<Mark> marks);
    // Replaces every mark.
    void Assign(std::vector<Mark> marks);
    // Removes the marks at these indexes (any order, duplicates and
    // indexes out of range ignored). Returns how many were removed.
    std::size_t Remove(std::vector<std::size_t> indexes);
    // Sets a mark's text; false for an index out of range.
    bool SetText(std::size_t index, std::string text);

    // The first mark whose start lies at or after `ms`.
    std::size_t FirstAtOrAfterMs(int64_t ms) const;

    // Goes up by one on every change: views redraw only when it moved.
    uint64_t Revision() const { return revision_; }

private:
    void Sort();

    std::vector<Mark> marks_;
    uint64_t revision_ = 0;
};

} // namespace zv
