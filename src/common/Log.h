#pragma once
// The log of errors the program passes over on purpose (a failure it can
// go on from and that the user need not hear about). The core has no logging
// of its own: it hands each entry to a sink that the window installs (the
// Qt logging categories zorvane.window, zorvane.playback, zorvane.sound and
// zorvane.mixer, silent unless QT_LOGGING_RULES turns them on). Without a
// sink entries are dropped.
#include <string>

namespace zv {

enum class LogArea { Window, Playback, Sound, Mixer };

// Receives "context: reason" texts. Must not throw.
using LogSink = void (*)(LogArea area, const std::string& text) noexcept;

// Installs the sink for every thread; nullptr drops entries again.
void SetLogSink(LogSink sink) noexcept;

// Logs `context: reason`.
void LogPassedOver(LogArea area, const char* context, const std::string& reason) noexcept;

// Logs the exception being handled: `context: what()`. Call it only inside
// a catch block.
void LogCurrentError(LogArea area, const char* context) noexcept;

} // namespace zv
