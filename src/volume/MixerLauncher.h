#pragma once
// Edit > Select Input Device: starts the system's own volume-control program.
//
// Each call tries the three Windows paths of the volume control in order,
// each started detached and passed over in silence when it fails. When none
// of them started (as on every Linux system), it starts the first of the
// Linux desktops' volume-control programs found on PATH: pavucontrol,
// pwvucontrol, gnome-control-center (on its sound panel), kmix. Nothing is
// reported, whatever happens; nothing keeps track of the programs started.
#include <string>
#include <vector>

namespace zv {

class ProgramStarter;

class MixerLauncher {
public:
    // Not owned; must outlive this object.
    explicit MixerLauncher(ProgramStarter& starter);

    // Runs the attempts above. Returns the number of programs started (for
    // tests; the menu handler ignores it). Never throws.
    int Launch() noexcept;

private:
    ProgramStarter& starter_;
};

} // namespace zv
