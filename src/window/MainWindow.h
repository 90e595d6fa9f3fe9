#pragma once
// The program's window as main() and the benchmarks see it: made and handed
// a file to open, and driven through a few entries, without the rest of it
// in view.
#include <memory>
#include <string>

class QMainWindow;
class QString;
class QWidget;

namespace zv {

struct Platform;
struct SoundData;
class Session;
class PictureBox;
class MediaControl;

// The window, built and loaded (the platform pieces must outlive it);
// showing it is the caller's.
std::unique_ptr<QMainWindow> MakeMainWindow(Platform& platform);
// Opens a path or a file:// URL (as given on the command line) in `window`,
// one made by MakeMainWindow, as a file dropped on it opens.
void OpenInMainWindow(QMainWindow& window, const QString& pathOrUrl);

// For drivers outside the window (the benchmarks). Each one does nothing,
// or answers null, false or empty, for a window MakeMainWindow did not make.

// File > Open, as the menu entry runs it: the platform's dialog asks.
void ChooseFileToOpen(QMainWindow& window);
// True while a sound is read or decoded for an open (as a job).
bool IsOpening(const QMainWindow& window);
// The loaded-sound record, and the path of the open sound.
const SoundData* OpenSound(const QMainWindow& window);
std::string OpenFileName(const QMainWindow& window);
// The state the views share: the rate, the selection, the position and the view.
Session* SharedState(QMainWindow& window);
// Redraws the strip and the readouts (the time line) from the state.
void RefreshTimeLine(QMainWindow& window);

// The controls a driver looks at: the waveform box, the time strip, the
// panel under them and the media control (null for another window).
struct MainWindowControls {
    PictureBox* waveform = nullptr;
    PictureBox* strip = nullptr;
    QWidget* panel = nullptr;
    MediaControl* media = nullptr;
};
MainWindowControls ControlsOf(QMainWindow& window);

} // namespace zv
