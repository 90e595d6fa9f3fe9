#pragma once
// zorvane --beats SOUND [--fps RATE] [--bpm BPM] [--format json|csv|xsheet|labels] [--output FILE]
//
// Finds the beats of SOUND without the window (no display, no toolkit) and
// writes them in the format asked for (json by default; the names are the
// Beats formats of the export list, export/ExportWriters.h) to FILE or to
// standard output; the readout ("128.00 BPM · 11.25 frames a beat (45/4) at
// 24 fps") goes to standard error. RATE is read as the window's rate box
// reads it (24 when not given); BPM fixes the tempo (20-400) and only the
// phase is fitted.
//
// Exits with kExitDone; kExitUsage for bad arguments (a message says which)
// or an output that cannot be written; kExitUnreadable when the sound
// cannot be read (the message names the path); kExitNothingFound with "No
// steady beat found" when it has no steady pulse (nothing is written).
#include <cstdio>
#include <string>
#include <vector>

namespace zv {

// True when the program's arguments ask for this command (argv[1] is "--beats").
bool IsBeatsCommand(int argc, char** argv);

// args: the program's arguments, args[1] being "--beats". Messages go to
// `messages`. Never throws.
int RunBeatsCommand(const std::vector<std::string>& args, std::FILE* messages);

} // namespace zv
