#include "common/Log.h"

#include <atomic>
#include <exception>

namespace zv {

namespace {
std::atomic<LogSink> gSink{nullptr};
} // namespace

void SetLogSink(LogSink sink) noexcept { gSink.store(sink, std::memory_order_release); }

void LogPassedOver(LogArea area, const char* context, const std::string& reason) noexcept {
    const LogSink sink = gSink.load(std::memory_order_acquire);
    if (sink == nullptr) return;
    try {
        sink(area, std::string(context) + ": " + reason);
    } catch (const std::exception&) {
        // Out of memory while building the entry: it is lost, nothing else.
    }
}

void LogCurrentError(LogArea area, const char* context) noexcept {
    if (gSink.load(std::memory_order_acquire) == nullptr) return;
    const std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const std::exception& e) {
        LogPassedOver(area, context, e.what());
    } catch (...) {
        LogPassedOver(area, context, "an error that is not a std::exception");
    }
}

} // namespace zv
