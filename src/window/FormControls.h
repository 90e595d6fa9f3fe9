#pragma once
// The window's controls and menu entries under their design names, and how
// they are made: each control at its design-time place in twips (client
// area 10485 x 9315), the menus with their captions and keys. The window
// (Form1) wires them to its handlers; tests reach them by these names.
#include <QObject>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QUndoStack;
class QWidget;

namespace zv {

class LineShape;
class MediaControl;
class MediaDevice;
class PictureBox;
class Slider;
class TwipsPlacement;

class FormControls {
public:
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

    // Panel height, twips: Picture1 is docked to the client area's bottom edge.
    static constexpr float PanelHeight = 2295.0f;

protected:
    FormControls() = default;
    ~FormControls() = default;
    // Makes the controls in `client` (the client area), each placed through
    // `place`; the media control plays through `device`.
    void CreateControls(QWidget* client, MediaDevice& device, TwipsPlacement& place);
    // The File, Edit and View menus and the Transport menu's title, in `bar`.
    void CreateMenus(QMenuBar* bar);
    // The Marks menu (after View): M, Shift+M, Ctrl+L and Ctrl+E work
    // wherever the focused control does not take the key as text.
    void CreateMarksMenu(QMenuBar* bar, QWidget* owner);
    // Edit > Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z) over `stack`.
    void CreateUndoEntries(QUndoStack& stack);
    // The controls' places for a client area of that size (twips), in the
    // design's order of steps; the first error (raised by `place`) ends them
    // where they stand, keeping what was already set. Halves and quarters
    // are kept fractional: the twips-to-pixels mapping rounds edges, so the
    // two halves meet on one pixel.
    void FollowClientSize(TwipsPlacement& place, float clientWidth, float clientHeight);
    // The design order of the controls that take focus.
    void SetTabOrder();
};

} // namespace zv
