#pragma once
// The dialogue breakdown in the window:
//   - Analyze > Dialogue Breakdown... shows the panel (DialoguePanel),
//     docked under the window's panel or floating.
//   - Align breaks the typed dialogue down on the selection, or on the
//     whole sound, as a background job with progress and Cancel; the
//     words, phonemes and mouth shapes go to the document's Words, Phonemes
//     and Mouths tracks as one undoable step (Cancel keeps what was there).
//     No speech found: the words are spread evenly, with a message.
//   - Align Selected Words aligns again only the words inside the
//     selection, between the words kept beside them.
//   - Align Line (a button, and Analyze > Align Line) aligns the script
//     line under the text cursor alone inside the selection: its speaker's
//     words, phonemes and mouths there are replaced, everything outside
//     the selection and the other characters' tracks kept, as one step.
//     An empty selection, or the whole sound (nothing chosen), is told.
//   - A change of the mouth set or a mouth rule lays every character's
//     Mouths track again from its phonemes, as one step, each with its
//     own set (a character without one follows the panel's; see
//     CharacterActions for choosing it).
//   - The lanes' edits (LaneEditing) take their mouth shapes from here, and
//     so do the dialogue formats of Export Marks (ExportText).
//   - Import Breakdown... reads a Papagayo .pgo, Zorvane's JSON or Moho
//     switch data onto the tracks, refusing a damaged file whole. A JSON
//     character's mouth set, when the panel offers it and it is not the
//     panel's choice, becomes that character's own.
//
// Units: the selection in ms (the session's views of it); sample frames
// everywhere else.
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "export/ExportWriter.h"
#include "dialogue/MouthSet.h"
#include "document/TrackItem.h"

class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;

namespace zv {

class DialogueBreakdown;
class DialoguePanel;
class JobRunner;
class Session;
class SoundDocument;
class TrackUndo;
struct Platform;
struct SoundData;

class DialogueActions : public QObject {
public:
    static constexpr const char* kImportFilter =
        "Breakdowns (*.pgo *.json *.dat)|*.pgo *.json *.dat|All Files (*.*)|*.*";

    // The alignment reads `sound` (the document's samples); its results go
    // to `document`'s tracks as steps of `undo`; the selection and the rate
    // come from `session`; the panel docks in `window`. All of them outlive
    // this object.
    DialogueActions(Platform& platform, SoundDocument& document, const SoundData& sound, TrackUndo& undo,
                    const Session& session, QMainWindow* window, QObject* parent);
    ~DialogueActions() override;

    // Adds "Dialogue Breakdown..." and "Align Line" to `menu`.
    void FillMenu(QMenu& menu);
    void Enable(bool soundOpen);

    void ShowPanel();
    void AlignNow();
    void AlignSelectedNow();
    void AlignLineNow();
    void ImportNow();
    void Cancel();
    bool Running() const;

    // The Mouths track for these phonemes, with the set called `set` ("" or
    // a set no longer offered: the panel's) and the panel's rules, at the
    // rate in force.
    std::vector<TrackItem> MouthsFor(const std::vector<TrackItem>& phonemes, const std::string& set = {}) const;
    // The tracks' breakdown written by `writer` (a Dialogue format), with
    // `input`'s sound, rate and marks, every character's (a file each when
    // the format keeps one a file); nothing, with a message shown, when
    // there are no words.
    std::optional<std::vector<ExportFile>> ExportFiles(const ExportWriter& writer, ExportInput input) const;

    // The mouth sets the panel offers: the two built in, then the user's.
    const std::vector<MouthSet>& Sets() const { return sets_; }
    // The set chosen in the panel.
    const MouthSet& CurrentSet() const;
    // The offered set called `name`; the panel's for "" or a name not offered.
    const MouthSet& SetNamed(const std::string& name) const;
    // The set character `character`'s mouths are laid with (its own, or the panel's).
    const MouthSet& SetOf(int character) const;

    DialoguePanel& Panel() const { return *panel_; }
    QDockWidget& Dock() const { return *dock_; }
    QAction* breakdown = nullptr;
    QAction* alignLine = nullptr;

private:
    // Aligns `text` on sample frames [from, to); `replace` words [first,
    // last) of the tracks, or all; `alone`: the text placed alone in the
    // range (the words outside it kept).
    void Run(const std::string& text, int64_t from, int64_t to, std::optional<std::pair<std::size_t, std::size_t>> replace,
             bool alone = false);
    void Finished(DialogueBreakdown& done);
    void ReadSets();
    void LanguageChanged();
    void MouthsChanged();
    // The selection in sample frames, or nothing when it is empty.
    std::optional<std::pair<int64_t, int64_t>> Selected() const;

    Platform& platform_;
    SoundDocument& document_;
    const SoundData& sound_;
    TrackUndo& undo_;
    const Session& session_;
    QMainWindow* window_;
    DialoguePanel* panel_ = nullptr;
    QDockWidget* dock_ = nullptr;
    JobRunner* jobs_ = nullptr;
    uint64_t job_ = 0;
    bool soundOpen_ = false;
    std::vector<MouthSet> sets_;
};

} // namespace zv
