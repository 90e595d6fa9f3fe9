#pragma once
// Loads the font configuration (fontconfig's XML files and its font caches:
// 5-10 ms at start-up) on a thread of its own while the toolkit connects to
// the display, so that the window's first text finds it loaded instead of
// loading it then, before the first paint.
//
// The toolkit reads the same configuration through fontconfig: once Wait
// has returned it is there, and the toolkit uses it as its own. Made before
// the QApplication, waited for before the first widget. Should the toolkit
// still ask first (a desktop theme that reads fonts while the application
// starts), fontconfig installs a loaded configuration atomically: both
// load, one is kept, and nothing is lost but the time.
#include <thread>

namespace zv {

class FontWarmUp {
public:
    // Starts the loading; if no thread can be started, the toolkit loads
    // the configuration itself when it first needs it, as without this.
    FontWarmUp();
    // Waits for the loading if it is still running.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // Returns once the configuration is loaded (or the loading failed).
    void Wait();

private:
    std::thread thread_;
};

} // namespace zv
