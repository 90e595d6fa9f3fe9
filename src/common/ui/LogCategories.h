#pragma once
// The program's Qt logging categories, where passed-over errors go. Silent
// by default; QT_LOGGING_RULES="zorvane.*=true" turns them all on (the text
// a user can add to a bug report). The core's log (common/Log.h) lands here
// too: linking this file installs the sink.
#include <QLoggingCategory>

namespace zv {

Q_DECLARE_LOGGING_CATEGORY(LogWindow)     // zorvane.window: layout and event handlers
Q_DECLARE_LOGGING_CATEGORY(LogPlayback)   // zorvane.playback: the media control and the sound output
Q_DECLARE_LOGGING_CATEGORY(LogSound)      // zorvane.sound: opening, loading and drawing a sound
Q_DECLARE_LOGGING_CATEGORY(LogMixer)      // zorvane.mixer: the volume control and the mixer program

// Logs the exception being handled under `category` as "context: what()".
// Call it only inside a catch block.
void LogCurrentError(const QLoggingCategory& category, const char* context) noexcept;

} // namespace zv
