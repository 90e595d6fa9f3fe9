#pragma once
// Undo and Redo over the document's tracks (marks, words, phonemes, mouth
// shapes, beats). Every edit the user makes is one step: the items of one or
// more tracks before and after it. Doing, undoing and redoing a step each
// write the document beside the sound, as any change does (MarkKeeper).
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/Report.h"
#include "document/TrackItem.h"

namespace zv {

class MarkKeeper;
class SoundDocument;

class TrackUndo : public QObject {
    Q_OBJECT
public:
    // One track's items after a step.
    using TrackItems = std::pair<std::string, std::vector<TrackItem>>;
    // Told after every step done, undone or redone, with the save's report
    // (the window shows a failure and redraws what follows the tracks).
    using Changed = std::function<void(const Report&)>;

    TrackUndo(SoundDocument& document, MarkKeeper& keeper, Changed changed, QObject* parent);

    // Sets each named track (made if missing) to its items, as one step
    // called `what` ("Undo <what>" in the Edit menu). Nothing is recorded
    // when no track changes. Steps given the same non-zero `mergeKey`
    // one after the other are one step (a run of taps, a drag): its undo
    // goes back to before the first.
    void Change(std::vector<TrackItems> after, const QString& what, uint64_t mergeKey = 0);
    // The same for one track.
    void Change(const std::string& track, std::vector<TrackItem> after, const QString& what, uint64_t mergeKey = 0) {
        Change({{track, std::move(after)}}, what, mergeKey);
    }

    // A new sound: the steps of the last one are gone.
    void Clear() { stack_.clear(); }
    QUndoStack& Stack() { return stack_; }

private:
    class Step;
    void Apply(const std::vector<TrackItems>& items);

    SoundDocument& document_;
    MarkKeeper& keeper_;
    Changed changed_;
    QUndoStack stack_;
};

} // namespace zv
