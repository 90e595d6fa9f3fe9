#pragma once
// The window's open routine: File > Open's dialog, then the steps that open
// a sound (from the dialog, the command line or a drop) and bring every
// view to it. The file that is open stays open, and playable, until a new
// one has been chosen and the device has opened it: a cancelled or refused
// open loses nothing. A compressed sound or a big WAV is first read on a
// worker (SoundOpener) while the window keeps answering.
#include <functional>
#include <memory>
#include <string>

class QMimeData;
class QObject;
class QString;

namespace zv {

class Form1;
class PeakSummary;
class MarksActions;
class SelectionSliders;
class SoundOpener;
struct Platform;

class SoundOpening {
public:
    // All of them outlive this object; `enableEntries` enables the menu
    // entries that need a sound once one is open; `peaksMade` gets the
    // sound's peak summary on the window's thread.
    SoundOpening(Form1& form, Platform& platform, MarksActions& marks, SelectionSliders& selection,
                 std::function<void()> enableEntries, std::function<void(PeakSummary&&)> peaksMade);
    // Stops a read or decode that is running, first.
    ~SoundOpening();

    // File > Open: the dialog, then Open with the path chosen.
    void Choose();
    // Opens the sound file at `path` (see Form1::OpenSoundFile).
    void Open(const std::string& path);
    // A path or a file:// URL as a desktop hands it over; a relative path
    // counts from the working directory.
    void OpenGiven(const QString& pathOrUrl);
    // True while a sound is being read or decoded for an open.
    bool Preparing() const;
    // A drag over the window: true when it carries a local file and no open
    // is under way.
    bool AcceptsDrop(const QMimeData& data) const;
    // A drop on the window: the first local file opens once the drop has
    // ended (the open may show a dialog). False when it carries none.
    bool Drop(const QMimeData& data, QObject& context);

private:
    Form1& form_;
    Platform& platform_;
    MarksActions& marks_;
    SelectionSliders& selection_;
    std::function<void()> enableEntries_;
    std::unique_ptr<SoundOpener> opener_;
};

} // namespace zv
