#include "window/TrackUndo.h"

#include "document/SoundDocument.h"
#include "marks/MarkKeeper.h"

namespace zv {

// The tracks' items before and after one edit.
class TrackUndo::Step : public QUndoCommand {
public:
    Step(TrackUndo& owner, std::vector<TrackItems> before, std::vector<TrackItems> after, const QString& what,
         uint64_t mergeKey)
        : QUndoCommand(what), owner_(owner), before_(std::move(before)), after_(std::move(after)), mergeKey_(mergeKey) {}
    void undo() override { owner_.Apply(before_); }
    void redo() override { owner_.Apply(after_); }
    // Steps with a merge key ask QUndoStack to offer them for merging;
    // only the same key merges.
    int id() const override { return mergeKey_ != 0 ? kMergingId : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const Step*>(other);
        if (next->mergeKey_ != mergeKey_ || !SameTracks(*next)) return false;
        after_ = next->after_;
        return true;
    }

private:
    static constexpr int kMergingId = 0x5a76;
    bool SameTracks(const Step& other) const {
        if (other.after_.size() != after_.size()) return false;
        for (std::size_t i = 0; i < after_.size(); ++i)
            if (other.after_[i].first != after_[i].first) return false;
        return true;
    }

    TrackUndo& owner_;
    std::vector<TrackItems> before_;
    std::vector<TrackItems> after_;
    uint64_t mergeKey_;
};

TrackUndo::TrackUndo(SoundDocument& document, MarkKeeper& keeper, Changed changed, QObject* parent)
    : QObject(parent), document_(document), keeper_(keeper), changed_(std::move(changed)), stack_(this) {}

void TrackUndo::Change(std::vector<TrackItems> after, const QString& what, uint64_t mergeKey) {
    std::vector<TrackItems> before;
    bool differs = false;
    for (const auto& [name, items] : after) {
        const Track* track = document_.Find(name);
        before.emplace_back(name, track ? track->Items() : std::vector<TrackItem>{});
        differs = differs || before.back().second != items;
    }
    if (!differs) return;
    stack_.push(new Step(*this, std::move(before), std::move(after), what, mergeKey));   // runs redo()
}

void TrackUndo::Apply(const std::vector<TrackItems>& items) {
    for (const auto& [name, list] : items) document_.Ensure(name).Assign(list);
    const Report saved = keeper_.Save();
    if (changed_) changed_(saved);
}

} // namespace zv
