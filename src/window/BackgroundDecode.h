#pragma once
// Decodes a compressed sound file on a worker thread while the window's
// event loop keeps turning (it repaints, the open sound keeps playing and
// its readouts keep moving). A decode that takes longer than a moment shows
// a window-modal progress dialog with a Cancel button; Cancel, or the
// program ending, stops the worker at its next piece. Nothing of the
// window's state is touched: the decoded record is handed back to the caller.
#include <string>

#include "sound/SoundData.h"
#include "sound/SoundDecoding.h"

class QWidget;

namespace zv {

class BackgroundDecode {
public:
    explicit BackgroundDecode(QWidget* parent) : parent_(parent) {}

    // Opens `path` with the system's decoder and decodes it into `sound`.
    // Returns when the worker has ended: Loaded, Cancelled, or Failed with
    // `reason` (a person's words). Never throws.
    DecodeOutcome Run(const std::string& path, SoundData& sound, std::string& reason);

    // How long the decode waits before it shows its dialog, ms.
    static constexpr int kDialogDelayMs = 400;

private:
    QWidget* parent_;
};

} // namespace zv
