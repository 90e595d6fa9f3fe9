#pragma once
// Form1: the program's only window. It holds every control, the menu bar and
// the state the handlers share; the handlers stay thin and hand the work to
// the core (sound, waveview, playback, selection, volume).
// Geometry is designed in twips (1/1440 inch); see Twips.h for the mapping.
#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/Track.h"
#include "session/Session.h"
#include "sound/SoundData.h"
#include "window/Platform.h"
#include "window/SessionField.h"
#include "window/FormControls.h"
#include "window/TwipsPlacement.h"
#include "window/WaveformHost.h"

namespace zv {

class FormTimelineView;
class TimelineRefresh;
class QtSpeakerVolume;
class WaveformInteraction;
class MarkKeeper;
class MarksActions;
class BeatsActions;
class DialogueActions;
class CharacterActions;
class SheetsActions;
class LaneEditing;
class TrackUndo;
class MarksWindow;
class SoundDocument;
class SoundOpening;
class ActionLinks;
class TransportMenu;
class SelectionSliders;
class MouthPreview;

class Form1 : public QMainWindow, public FormControls, private WaveformHost {
    Q_OBJECT
    // Made first: the fields below are views of it.
    Session session_;

public:
    // Creates every control at its design-time place (client area 10485 x
    // 9315 twips), then runs Form_Load. Showing the window is the caller's.
    explicit Form1(Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    // The client area (below the menu bar) in twips: the window's
    // ScaleWidth and ScaleHeight.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // A control's placement in its container's twips, as last set (the
    // widget's pixels are rounded from it). Controls: Picture1, PicWave,
    // LabFilePath and the panel's children other than RedLine.
    const TwipsRect& Geometry(const QWidget* control) const;

    // Public methods of the window.
    // Redraws the loaded sound into PicWave at its size in twips. Raises
    // the renderer's errors (overflow, division by zero): callers trap them.
    void DrawWaves() override;
    void SetupVolume();

    // Form variables.
    std::string WavFileName;
    // Views of the session's selection, in ms (rounded to nearest): reading
    // reads the session, assigning moves the edge to that time.
    SessionField<int32_t, &Session::SelectionStartMs, &Session::SetSelectionStartMs> SelStartMs{session_};
    SessionField<int32_t, &Session::SelectionEndMs, &Session::SetSelectionEndMs> SelEndMs{session_};
    // The frame rate rounded to whole frames a second (30 from start-up on;
    // 30 also for "29.97"), a view of the session's exact rate; a whole rate
    // assigned here becomes the rate.
    SessionField<int16_t, &Session::WholeRate, &Session::SetWholeRate> FramesPerSecond{session_};
    bool Dragging = false;         // a mouse button is held down on PicTime
    // The mixer handle and the speaker volume control live in speakerVolume_.

    // The loaded-sound record.
    SoundData Sound;

    // Handlers and routines (public so tests can drive them).
    void Form_Load();
    void Form_Resize();
    void MnuOpen_Click();
    void MnuExit_Click();
    void MnuAbout_Click();
    void MnuSelInput_Click();
    void MnuShowTimecode_Click();
    void OpenWavFile();
    // Opens the sound file at `path` as the File menu does once the dialog
    // has given a path (same messages, same state afterwards): from the
    // command line and from a file dropped on the window. A compressed
    // sound is decoded first, on a worker thread, while the previous file
    // stays open and playable; a failed or cancelled decode keeps it.
    void OpenSoundFile(const std::string& path);
    // True while a sound is being read or decoded for an open (as a job).
    bool Opening() const;
    // A path or a file:// URL as a desktop hands it over (command line,
    // drop); a relative path counts from the working directory.
    void OpenGivenFile(const QString& pathOrUrl);
    void ShowTimes();
    void RefreshTimeline();
    // The one reader of the frame-rate box: runs when its text changes and
    // sets the session's rate (a text that rounds outside 16 bits keeps it).
    void TxtNumFrames_Change();
    void PicTime_MouseDown(int16_t button, int16_t shift, float x, float y);
    void PicTime_MouseMove(int16_t button, int16_t shift, float x, float y);
    void PicTime_MouseUp(int16_t button, int16_t shift, float x, float y);
    void ScrollStart_Scroll();
    void ScrollEnd_Scroll();
    void VolSlider_MouseMove();
    void VolSlider_Scroll();
    // Marks (see MarksActions): a mark at the position being heard, the
    // selection as a range mark, the list, export and import.
    void MnuAddMark_Click();
    void MnuAddSelectionMark_Click();
    void MnuMarksList_Click();
    void MnuExportMarks_Click();
    void MnuImportMarks_Click();
    // The document of the open sound: its tracks, the marks first
    // (Document().Marks()); the keeper of its file; the list window (made
    // when first shown).
    const SoundDocument& Document() const { return *document_; }
    // The Analyze menu's beat work and corrections; Undo over the tracks.
    BeatsActions& BeatWork() const { return *beatsActions_; }
    // The dialogue breakdown: its panel, the alignment, its exports.
    DialogueActions& Dialogue() const { return *dialogueActions_; }
    // Analyze > Characters and the lanes' right-click menus.
    CharacterActions& Characters() const { return *characters_; }
    TrackUndo& Undo() const { return *trackUndo_; }
    const MarkKeeper& Marks() const;
    MarksWindow* MarksList() const;

    // The frame rate every frame figure and Step/Back use.
    FrameRate FrameRateNow() const { return session_.Rate(); }
    // The state the views share: the rate, the selection, the position and
    // the view in samples, the speed, loop and snap.
    Session& State() { return session_; }
    const Session& State() const { return session_; }

    // The waveform's view, overlays, click and scrub, and the single keys.
    WaveformInteraction& Waveform() { return *waveform_; }

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Docks Picture1 to the client area's bottom edge, full width, 2295 high
    // (the toolkit's docking: runs before Form_Resize on every size change).
    void DockPanel();
    // Ends the program at once: no other handler of it runs afterwards.
    void EndProgram();

    // The controls that follow the session: the rate, speed, loop and snap.
    void SessionChanged(Session::Change change);

    // The Analyze menu (after Marks): the beats and onsets analyses.
    void CreateAnalyzeMenu();
    // The entries that need a sound are enabled while one is open.
    void EnableMarkEntries();
    // What the waveform's handlers ask of the window (WaveformHost).
    int HiddenBelow() const override;
    void MoveStartSlider(int32_t frame) override;
    void MoveEndSlider(int32_t frame) override;
    void ContextMenu(int64_t sample, const QPoint& where) override;

    Platform& platform_;
    std::unique_ptr<FormTimelineView> timelineView_;
    std::unique_ptr<TimelineRefresh> timeline_;
    QtSpeakerVolume* speakerVolume_ = nullptr;
    WaveformInteraction* waveform_ = nullptr;   // child of the window
    QWidget* client_ = nullptr;   // the client area (central widget)
    TwipsPlacement placement_{*this};   // the controls' places in twips
    std::unique_ptr<SoundDocument> document_;
    MarksActions* marksActions_ = nullptr;   // child of the window
    // Undo over the document's tracks (child of the window). The lead keeps
    // one Form1 member at merge: this is the only place it is made here.
    TrackUndo* trackUndo_ = nullptr;
    BeatsActions* beatsActions_ = nullptr;   // child of the window
    DialogueActions* dialogueActions_ = nullptr;   // child of the window
    CharacterActions* characters_ = nullptr;       // child of the window
    SheetsActions* sheetsActions_ = nullptr;       // child of the window: the File menu's sheets
    MouthPreview* preview_ = nullptr;   // View > Mouth Preview (deleted first: it reads the document)
    std::unique_ptr<LaneEditing> laneEditing_;   // the Words and Phonemes lanes' edits
    TransportMenu* transport_ = nullptr;   // child of the window
    std::unique_ptr<ActionLinks> links_;   // how the helpers reach one another
    std::unique_ptr<SelectionSliders> selection_;   // the strip's and the sliders' handlers
    // The open routine, with its decode, big reads and peak summary run as jobs.
    std::unique_ptr<SoundOpening> opening_;
};

} // namespace zv
