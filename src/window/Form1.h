#pragma once
// Form1: the program's only window. It holds every control, the menu bar and
// the state the handlers share; the handlers stay thin and hand the work to
// the core (sound, waveview, playback, selection, volume).
// Geometry is designed in twips (1/1440 inch); see Twips.h for the mapping.
#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/FrameRate.h"
#include "document/Track.h"
#include "session/Session.h"
#include "sound/SoundData.h"
#include "window/Platform.h"
#include "window/SessionField.h"
#include "window/LaneHost.h"
#include "window/MarkSources.h"
#include "window/Twips.h"
#include "window/WaveformHost.h"

class QLabel;
class QLineEdit;
class QMenu;
class QAction;

namespace zv {

class PictureBox;
class Slider;
class LineShape;
class MediaControl;
class FormTimelineView;
class TimelineRefresh;
class QtSpeakerVolume;
class WaveformInteraction;
struct SelectionContext;
class MarkKeeper;
class MarksActions;
class BeatsActions;
class DialogueActions;
class LaneEditing;
class TrackUndo;
class MarksWindow;
class SoundDocument;
class SoundOpener;

class Form1 : public QMainWindow, private WaveformHost, private MarkSources, private LaneHost {
    Q_OBJECT
    // Made first: the fields below are views of it.
    Session session_;

public:
    // Panel height, twips: Picture1 is docked to the client area's bottom edge.
    static constexpr float PanelHeight = 2295.0f;

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

    // Controls (children of the window).
    QWidget* Picture1 = nullptr;       // the bottom panel
    PictureBox* PicWave = nullptr;
    QLabel* LabFilePath = nullptr;
    // Children of Picture1.
    PictureBox* PicTime = nullptr;
    QLabel* LabMCIposition = nullptr;
    QLabel* LblStartFrame = nullptr;
    QLabel* LblEndFrame = nullptr;
    Slider* ScrollStart = nullptr;
    Slider* ScrollEnd = nullptr;
    LineShape* RedLine = nullptr;
    MediaControl* MMControl1 = nullptr;
    Slider* VolSlider = nullptr;
    QLabel* LblTotalTime = nullptr;
    QLabel* LblSelectedTime = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* TxtNumFrames = nullptr;
    // Menus.
    QMenu* MnuFile = nullptr;
    QAction* MnuOpen = nullptr;
    QAction* MnuExit = nullptr;
    QMenu* MnuEdit = nullptr;
    // Edit > Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z), after the entries
    // above: every edit of the marks, the words, the phonemes, the mouth
    // shapes and the beats.
    QAction* MnuUndo = nullptr;
    QAction* MnuRedo = nullptr;
    QAction* MnuAbout = nullptr;
    QAction* MnuSelInput = nullptr;
    // The Transport menu (after View): the player's commands, each naming
    // its key (single keys of the window, see WaveKeys).
    QMenu* MnuTransport = nullptr;
    QAction* MnuPlayPause = nullptr;      // Space
    QAction* MnuLoopSelection = nullptr;  // L, checkable
    QAction* MnuNormalSpeed = nullptr;    // one of the three speeds, remembered
    QAction* MnuHalfSpeed = nullptr;
    QAction* MnuQuarterSpeed = nullptr;
    QAction* MnuPlaySlowly = nullptr;     // Shift+Space: at the last slow speed
    QAction* MnuStep = nullptr;           // Right
    QAction* MnuBack = nullptr;           // Left
    // The Marks menu (after View): the only entries with shortcuts.
    QMenu* MnuMarks = nullptr;
    QMenu* MnuAnalyze = nullptr;   // after Marks
    QAction* MnuAddMark = nullptr;            // M
    QAction* MnuAddSelectionMark = nullptr;   // Shift+M
    QAction* MnuMarksList = nullptr;          // Ctrl+L
    QAction* MnuExportMarks = nullptr;        // Ctrl+E
    QAction* MnuImportMarks = nullptr;   // a marks file, a CSV or JSON export, or labels
    QAction* MnuImportBreakdown = nullptr;   // a Papagayo .pgo, a breakdown's JSON or Moho switch data
    QMenu* MnuView = nullptr;
    QAction* MnuZoomIn = nullptr;
    QAction* MnuZoomOut = nullptr;
    QAction* MnuZoomToSelection = nullptr;
    QAction* MnuShowWholeSound = nullptr;
    QAction* MnuShowPeaks = nullptr;     // checkable, remembered
    // Checkable, remembered: the spectrogram in place of the waveform.
    QAction* MnuSpectrogram = nullptr;
    // Checkable: the readouts add the SMPTE timecode of their frame count.
    // Off at the first start; remembered (setting "view/showTimecode").
    QAction* MnuShowTimecode = nullptr;
    // View > Snap to Beats: marks and selection ends set by the pointer or
    // the keys land on the nearest beat or half-beat; remembered.
    QAction* MnuSnapToBeats = nullptr;
    // Which two channels the traces show: the open sound's channels.
    QMenu* MnuChannels = nullptr;

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
    void CreateControls();
    void CreateMenus();
    void SetTabOrder();
    void ConnectHandlers();
    // Docks Picture1 to the client area's bottom edge, full width, 2295 high
    // (the toolkit's docking: runs before Form_Resize on every size change).
    void DockPanel();
    // Placement in twips; each raises (changing nothing) for a negative or
    // non-finite size, or a place beyond a widget's reach.
    void Place(QWidget* control, const TwipsRect& twips);
    void SetLeft(QWidget* control, float left);
    void SetWidth(QWidget* control, float width);
    void SetHeight(QWidget* control, float height);
    // Places every control again from its twips (the DPI changed).
    void PlaceAll();
    // Ends the program at once: no other handler of it runs afterwards.
    void EndProgram();

    // The selection as the selection rules see it.
    SelectionContext Selection();
    // The controls that follow the session: the rate, speed, loop and snap.
    void SessionChanged(Session::Change change);
    // The sliders' ranges follow a rate changed since the open.
    void SlidersFollowRate();

    void CreateMarksMenu();
    // The Transport menu's entries and keys (after the waveform's handlers).
    void CreateTransportMenu();
    // Sets the speed (1, 0.5, 0.25) of every play from now on, remembered.
    void SetSpeed(double speed);
    // The Analyze menu (after Marks): the beats and onsets analyses.
    void CreateAnalyzeMenu();
    // The entries that need a sound are enabled while one is open.
    void EnableMarkEntries();
    // Snap to Beats (when on and there are beats): a sample frame, or an
    // animation frame at the rate in force, moved to the nearest beat or
    // half-beat; unchanged otherwise.
    int64_t SnappedSample(int64_t sample) const override;
    int32_t SnappedFrame(int32_t frame);
    // After the strip moved the selection: the ends it moved snap.
    void SnapSelection(int32_t startBefore, int32_t endBefore);
    // The waveform box's right-click menu at sample frame `sample`.
    void WaveformMenu(int64_t sample, const QPoint& where);
    // What the waveform's handlers ask of the window (WaveformHost).
    int HiddenBelow() const override;
    void MoveStartSlider(int32_t frame) override;
    void MoveEndSlider(int32_t frame) override;
    void ContextMenu(int64_t sample, const QPoint& where) override;
    // What the marks' actions take from the beats and the dialogue (MarkSources).
    BeatAnalysis Beats() const override;
    std::optional<std::string> DialogueText(BreakdownFormat format, const std::string& soundName) const override;
    // What the lanes' edits ask of the window (LaneHost).
    std::vector<TrackItem> MouthsFor(const std::vector<TrackItem>& phonemes) const override;
    void PlaySamples(int64_t first, int64_t last) override;
    std::optional<std::string> AskText(const std::string& what, const std::string& initial) override;
    void LanesChanged() override;

    Platform& platform_;
    std::unique_ptr<FormTimelineView> timelineView_;
    std::unique_ptr<TimelineRefresh> timeline_;
    QtSpeakerVolume* speakerVolume_ = nullptr;
    WaveformInteraction* waveform_ = nullptr;   // child of the window
    QWidget* client_ = nullptr;   // the client area (central widget)
    std::unordered_map<const QWidget*, TwipsRect> twips_;
    std::unique_ptr<SoundDocument> document_;
    MarksActions* marksActions_ = nullptr;   // child of the window
    // Undo over the document's tracks (child of the window). The lead keeps
    // one Form1 member at merge: this is the only place it is made here.
    TrackUndo* trackUndo_ = nullptr;
    BeatsActions* beatsActions_ = nullptr;   // child of the window
    DialogueActions* dialogueActions_ = nullptr;   // child of the window
    std::unique_ptr<LaneEditing> laneEditing_;   // the Words and Phonemes lanes' edits
    FrameRate slidersRate_;   // the rate the sliders' ranges count at
    // The open routine's decode, big reads and peak summary, run as jobs.
    std::unique_ptr<SoundOpener> opener_;
};

} // namespace zv
