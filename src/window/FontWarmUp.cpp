#include "window/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace zv {

FontWarmUp::FontWarmUp() {
    try {
        // FcInit loads the default configuration and the font list once;
        // later calls (the toolkit's) find it and return.
        thread_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread: the toolkit loads it when it needs it.
    }
}

FontWarmUp::~FontWarmUp() { Wait(); }

void FontWarmUp::Wait() {
    if (thread_.joinable()) thread_.join();
}

} // namespace zv
