#pragma once
// While PortAudio lists the devices, ALSA loads its a52 output plugin (and
// with it libavcodec) and unloads it again. What libavcodec allocated for
// itself then has no owner LeakSanitizer can see, and is reported as
// leaked. Keeping the plugin loaded for the whole test run keeps those
// owners in sight; it changes nothing else.
#include <dlfcn.h>

#include <string>

namespace zv::test {

// Call once, before the first real sound device is made.
inline bool KeepSoundPluginsLoaded() {
    static const bool pinned = [] {
        void* symbol = dlsym(RTLD_DEFAULT, "snd_pcm_open");
        Dl_info library{};
        if (!symbol || !dladdr(symbol, &library) || !library.dli_fname) return false;
        std::string dir(library.dli_fname);
        dir.erase(dir.find_last_of('/') + 1);
        return dlopen((dir + "alsa-lib/libasound_module_pcm_a52.so").c_str(), RTLD_LAZY | RTLD_NODELETE) != nullptr;
    }();
    return pinned;
}

} // namespace zv::test
