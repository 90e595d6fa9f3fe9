#include "common/ui/LogCategories.h"

#include <exception>

#include "common/Log.h"

namespace zv {

// Only warnings and above are on by default, and nothing here logs above info.
Q_LOGGING_CATEGORY(LogWindow, "zorvane.window", QtWarningMsg)
Q_LOGGING_CATEGORY(LogPlayback, "zorvane.playback", QtWarningMsg)
Q_LOGGING_CATEGORY(LogSound, "zorvane.sound", QtWarningMsg)
Q_LOGGING_CATEGORY(LogMixer, "zorvane.mixer", QtWarningMsg)

namespace {

const QLoggingCategory& CategoryOf(LogArea area) {
    switch (area) {
    case LogArea::Playback: return LogPlayback();
    case LogArea::Sound: return LogSound();
    case LogArea::Mixer: return LogMixer();
    case LogArea::Window: break;
    }
    return LogWindow();
}

void QtLogSink(LogArea area, const std::string& text) noexcept {
    try {
        const QLoggingCategory& category = CategoryOf(area);
        if (category.isInfoEnabled()) qCInfo(category).noquote() << QString::fromStdString(text);
    } catch (const std::exception&) {
        // The log itself failed (out of memory): the entry is lost.
    }
}

// Every program and test that links the window's code logs the core's
// entries through the categories above.
const bool kSinkInstalled = (SetLogSink(&QtLogSink), true);

} // namespace

void LogCurrentError(const QLoggingCategory& category, const char* context) noexcept {
    const std::exception_ptr current = std::current_exception();
    if (!current || !category.isInfoEnabled()) return;
    try {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            qCInfo(category).noquote() << context << ": " << e.what();
        } catch (...) {
            qCInfo(category).noquote() << context << ": an error that is not a std::exception";
        }
    } catch (const std::exception&) {
        // The log itself failed (out of memory): the entry is lost.
    }
}

} // namespace zv
