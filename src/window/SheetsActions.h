#pragma once
// What the File menu's sheet entries and the XDTS format of Export Marks do,
// apart from the window: the exposure sheet printed (QPrinter) or written as
// PDF, the XDTS sheet with its mouth-number mapping beside it, and the
// selection written out as a sound. The sheet's content comes from the open
// sound's document (marks, words, mouths, beats); its layout and the XDTS
// text are core code (src/sheets), only the asking and drawing are here.
//
// Units: the selection in ms as the window keeps it; frames at the rate the
// window reads when asked; lead-in and tail in frames.
#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "common/FrameRate.h"
#include "dialogue/MouthSet.h"
#include "sheets/SheetContent.h"
#include "sheets/SheetLayout.h"

class QMenu;
class QAction;
class QWidget;

namespace zv {

class SoundDocument;
struct Platform;

// What the sheet dialog asks: scene and shot (cut), the layout; for XDTS it
// shows the mouth numbers and the note about the rate.
struct SheetChoice {
    std::string scene = "1";
    std::string shot = "1";
    SheetKind kind = SheetKind::OneColumn;
};
struct SheetQuestion {
    QString title;
    bool askLayout = true;      // the printed sheet's two layouts
    QString details;            // shown under the fields (the mapping, the rate note)
    SheetChoice initial;
};

class SheetsActions : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Platform& platform;
        SoundDocument& document;
        std::function<FrameRate()> readRate;          // reads the rate box, returns the rate
        std::function<std::pair<int32_t, int32_t>()> selectionMs;   // start, end
        MouthSetNamed mouthSet;                       // a character's kept set by name ("" = the panel's)
        QWidget* window;
    };
    // The sheet dialog; nothing when cancelled. Tests hand in their own.
    using Ask = std::function<std::optional<SheetChoice>(const SheetQuestion&)>;

    SheetsActions(Parts parts, QObject* parent);

    // File > Print Exposure Sheet..., Export Exposure Sheet as PDF...,
    // Export Selection as Sound..., Selection Sound Lead-in and Tail...
    void FillFileMenu(QMenu& file, QAction* before);
    void Enable(bool open);
    void SetAsk(Ask ask) { ask_ = std::move(ask); }

    // Each tells the user what went wrong; true when something was written.
    bool PrintSheet();
    bool ExportPdf();
    bool ExportXdts(const std::string& path);
    bool ExportSelectionSound();
    void AskSilence();

    // The sheet's content of the open sound at the rate now.
    SheetContent Content(FrameRate rate) const;
    int64_t LeadInFrames() const { return leadIn_; }
    int64_t TailFrames() const { return tail_; }
    void SetSilence(int64_t leadIn, int64_t tail) { leadIn_ = leadIn; tail_ = tail; }

private:
    // The content, or nothing (told why) when there is nothing to show.
    std::optional<SheetContent> ContentToShow(FrameRate rate);
    std::optional<SheetChoice> AskChoice(const SheetQuestion& question);

    Parts parts_;
    Ask ask_;
    SheetChoice last_;
    int64_t leadIn_ = 0;
    int64_t tail_ = 0;
    QAction* print_ = nullptr;
    QAction* pdf_ = nullptr;
    QAction* sound_ = nullptr;
    QAction* silence_ = nullptr;
};

} // namespace zv
