#include "marks/MarkList.h"

#include <algorithm>
#include <iterator>

namespace zv {

namespace {

bool Earlier(const Mark& a, const Mark& b) {
    if (a.ms != b.ms) return a.ms < b.ms;
    return a.sample < b.sample;
}

} // namespace

std::size_t MarkList::Add(Mark mark) {
    const auto at = std::upper_bound(marks_.begin(), marks_.end(), mark, Earlier);
    const auto index = static_cast<std::size_t>(at - marks_.begin());
    marks_.insert(at, std::move(mark));
    ++revision_;
    return index;
}

void MarkList::AddAll(std::vector<Mark> marks) {
    if (marks.empty()) return;
    marks_.insert(marks_.end(), std::make_move_iterator(marks.begin()), std::make_move_iterator(marks.end()));
    Sort();
}

void MarkList::Assign(std::vector<Mark> marks) {
    marks_ = std::move(marks);
    Sort();
}

void MarkList::Sort() {
    std::stable_sort(marks_.begin(), marks_.end(), Earlier);
    ++revision_;
}

std::size_t MarkList::Remove(std::vector<std::size_t> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    std::size_t removed = 0;
    std::size_t next = 0;   // next index of `indexes` to drop
    std::size_t kept = 0;
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        if (next < indexes.size() && indexes[next] == i) {
            ++next;
            ++removed;
            continue;
        }
        if (kept != i) marks_[kept] = std::move(marks_[i]);
        ++kept;
    }
    marks_.resize(kept);
    if (removed > 0) ++revision_;
    return removed;
}

bool MarkList::SetText(std::size_t index, std::string text) {
    if (index >= marks_.size()) return false;
    if (marks_[index].text == text) return true;
    marks_[index].text = std::move(text);
    ++revision_;
    return true;
}

std::size_t MarkList::FirstAtOrAfterMs(int64_t ms) const {
    const auto at = std::lower_bound(marks_.begin(), marks_.end(), ms,
                                     [](const Mark& m, int64_t t) { return m.ms < t; });
    return static_cast<std::size_t>(at - marks_.begin());
}

} // namespace zv
