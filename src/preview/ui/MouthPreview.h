#pragma once
// Keeps the Mouth Preview panel on the frame being heard. The window makes
// one; it follows the session (the position the timer refresh stores, so
// play, scrub, Step, Back and a click all reach it, and the rate and the
// sound) and the media control's status updates (tracks changed by an
// alignment, an edit or an undo), and redraws only when a shape, a
// character or a drawings folder changed. Nothing is done while the panel
// is hidden. Whether it shows is remembered from one run to the next.
//
// A character's drawings folder is kept in the Characters track (through
// TrackUndo: one undo step). Drawings that cannot be read are told once per
// folder and set, naming the files.
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dialogue/MouthSet.h"
#include "preview/ShapeHeard.h"

class QMainWindow;
class QMenu;

namespace zv {

class MediaControl;
class MessageBox;
class MouthDrawings;
class MouthPreviewPanel;
class Session;
class SoundDocument;
class TrackUndo;

class MouthPreview : public QObject {
    Q_OBJECT
public:
    // Asks for a folder: the dialog's title and the folder it starts in;
    // nothing when the user cancelled.
    using FolderChooser = std::function<std::optional<std::string>(const QString& title, const std::string& start)>;

    struct Parts {
        QMainWindow& window;   // the panel docks on its right
        MessageBox& messages;
        const SoundDocument& document;
        TrackUndo& undo;
        Session& session;
        MediaControl& media;
        // The mouth set of that name the Dialogue panel offers ("" or a
        // name not offered: the panel's chosen set).
        std::function<const MouthSet&(const std::string& name)> setNamed;
    };

    MouthPreview(Parts parts, QObject* parent);
    ~MouthPreview() override;

    // Adds View > Mouth Preview (checked while the panel shows).
    void FillViewMenu(QMenu& view);
    // Shows what is heard now when it differs from what is shown.
    void Refresh();

    // Picks the folder of a character's drawings (the real folder dialog
    // unless a test gave its own chooser) and keeps it as one undo step.
    void ChooseDrawings(int characterId);
    // Back to Zorvane's own drawings (one undo step).
    void UseOwnDrawings(int characterId);
    void SetFolderChooser(FolderChooser chooser) { chooser_ = std::move(chooser); }

    MouthPreviewPanel& Panel() const { return *panel_; }

private:
    const MouthSet& SetNamed(const std::string& name) const;
    // The drawings of each character shown, (re)read when its folder or set changed.
    const MouthDrawings& DrawingsOf(const HeardMouth& mouth);
    void SetFolder(int characterId, const std::string& folder);
    // Follows the session and the media control's ticks, or stops.
    void Follow(bool on);

    Parts parts_;
    MouthPreviewPanel* panel_ = nullptr;   // owned: deleted with this
    int subscription_ = 0;   // the session's listener while following (0: none)
    QMetaObject::Connection ticks_;
    FolderChooser chooser_;

    struct Loaded {
        std::string folder, setName;
        std::unique_ptr<MouthDrawings> drawings;
    };
    std::map<int, Loaded> drawings_;   // by character id
    std::set<std::string> told_;       // messages already shown
    std::vector<HeardMouth> shown_;
    bool drawingsChanged_ = true;
    bool refreshing_ = false;
};

} // namespace zv
