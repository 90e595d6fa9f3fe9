#pragma once
// What the Marks menu and the marks list do, apart from the window: a mark
// at the position, the selection as a mark, the list, export, import, going
// to a mark, removing marks, and the offer to export marks that live only in
// memory before they are lost. It works on the document of the open sound
// (SoundDocument, kept in its file by a MarkKeeper), the media control's
// transport and the platform pieces (message and question box, file dialog).
//
// Units: marks in sample frames of the sound; the selection in ms as the
// window keeps it; frames at the session's rate.
#include <QObject>
#include <QString>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "beats/BeatAnalysis.h"
#include "common/FrameRate.h"
#include "common/Report.h"
#include "document/TrackItem.h"

class QWidget;

namespace zv {

class ExportWriter;
class MarkKeeper;
class MarkTableModel;
class MarksWindow;
class MediaControl;
class MarkSources;
class PictureBox;
class Session;
class SoundDocument;
class TrackUndo;
struct ExportInput;
struct Platform;

class MarksActions : public QObject {
    Q_OBJECT
public:
    // The menu texts this class asks and tells with.
    static constexpr const char* kExportButton = "Export...";
    static constexpr const char* kDiscardButton = "Discard";
    static constexpr const char* kCancelButton = "Cancel";
    static constexpr const char* kImportFilter =
        "Marks Files (*.json *.csv *.txt)|*.json *.csv *.txt|All Files (*.*)|*.*";

    // The marks are the document's first track; `media` gives the position
    // and the length and goes to a frame; the marks are painted over
    // `waveBox`; the rate comes from `session`; the list sits beside
    // `window`. All of them outlive this object.
    MarksActions(Platform& platform, SoundDocument& document, MediaControl& media, PictureBox& waveBox,
                 const Session& session, const MarkSources& sources, QWidget* window, QObject* parent);
    ~MarksActions() override;

    // Every change of the marks from now on is one step of `undo` (made
    // after this object: it keeps the keeper's file).
    void SetUndo(TrackUndo* undo);
    // A track was changed elsewhere (an undo, an analysis): the list and
    // the waveform follow.
    void TracksChanged() { Changed(); }

    const MarkKeeper& Keeper() const { return *keeper_; }
    MarkKeeper& Keeper() { return *keeper_; }
    MarkTableModel& Model() const { return *model_; }
    MarksWindow* List() const { return list_; }
    bool HasSound() const;

    // The sound at `path` is open (the device has it; `channels` from the
    // loaded file): the document is made for it and its tracks read from
    // the file beside it (told about when that file cannot be read).
    void SoundOpened(const std::string& path, int channels);
    // The frame rate in force: the list's frame columns follow it.
    void SetRate(FrameRate rate);

    // M: a point mark at the sample being heard (exact at a frame's start
    // after Step, Back or a click).
    void AddMark();
    // Shift+M: the selection (ms, either order) as a range mark.
    void AddSelectionMark(int32_t selStartMs, int32_t selEndMs);
    void ShowList();
    // Export through the save dialog, in any format of the export list
    // (ExportWriters): the marks, the beats or the dialogue; true when a
    // file was written.
    bool Export();
    // Import a marks file, a CSV or JSON export, or a label file.
    void Import();
    void GoToMark(std::size_t row);
    void Remove(std::vector<std::size_t> rows);
    // Before the program quits (or another sound replaces this one): marks
    // that could not be saved beside the sound are offered for export
    // (Export... / Discard / Cancel). True when it may go on.
    bool MayLeave(const std::string& leaving = "quitting");

private:
    // After any change of the marks: the list and the waveform follow.
    void Changed(int showRow = -1);
    uint64_t Revision() const;   // of all tracks together
    // The marks set to `items` as one undoable step called `what`.
    Report ChangeMarks(std::vector<TrackItem> items, const QString& what);

    Platform& platform_;
    SoundDocument& document_;
    MediaControl& media_;
    PictureBox& waveBox_;
    const Session& session_;
    const MarkSources& sources_;
    QWidget* window_;
    std::unique_ptr<MarkKeeper> keeper_;
    TrackUndo* undo_ = nullptr;
    MarkTableModel* model_ = nullptr;
    MarksWindow* list_ = nullptr;
    int exportFilter_ = 1;   // the export format chosen last (its filter pair in the list, from 1)
    uint64_t exportedRevision_ = 0;   // the document as last exported
    bool exported_ = false;
};

} // namespace zv
