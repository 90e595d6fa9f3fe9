#pragma once
// Runs an event handler; whatever it raises ends there, never the program,
// and is logged (zorvane.window).
#include "common/ui/LogCategories.h"

namespace zv {

template <typename F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        LogCurrentError(LogWindow(), "An event handler stopped");
    }
}

} // namespace zv
