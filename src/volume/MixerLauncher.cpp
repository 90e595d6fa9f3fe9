#include "volume/MixerLauncher.h"

#include <array>

#include "common/Log.h"
#include "volume/ProgramStarter.h"

namespace zv {
namespace {

// Where the Windows volume control lives, in the order they are tried.
constexpr std::array<const char*, 3> kWindowsPaths = {
    "C:\\winnt\\system32\\sndvol32.exe",
    "C:\\windows\\system32\\sndvol32.exe",
    "C:\\windows\\sndvol32.exe",
};

struct DesktopProgram {
    const char* name;
    const char* argument;  // nullptr: none
};

// The volume-control programs of the Linux desktops, the most common first.
constexpr std::array<DesktopProgram, 4> kDesktopPrograms = {{
    {"pavucontrol", nullptr},
    {"pwvucontrol", nullptr},
    {"gnome-control-center", "sound"},  // opens on its sound panel
    {"kmix", nullptr},
}};

} // namespace

MixerLauncher::MixerLauncher(ProgramStarter& starter) : starter_(starter) {}

int MixerLauncher::Launch() noexcept {
    int started = 0;
    try {
        for (const char* path : kWindowsPaths) {
            if (starter_.Start(path)) ++started;
        }
        if (started > 0) return started;

        // A program found but failing to start gives way to the next one.
        for (const DesktopProgram& program : kDesktopPrograms) {
            const std::string path = starter_.FindOnPath(program.name);
            if (path.empty()) continue;
            std::vector<std::string> arguments;
            if (program.argument != nullptr) arguments.emplace_back(program.argument);
            if (starter_.StartWithArguments(path, arguments)) return 1;
        }
    } catch (...) {
        // The menu entry reports nothing; a failure just starts nothing more.
        LogCurrentError(LogArea::Mixer, "Starting a volume-control program");
    }
    return started;
}

} // namespace zv
