#include "cli/ProgramHelp.h"

#include "cli/SheetCommand.h"
#include "common/Version.h"

namespace zv {

std::string HelpText() {
    return std::string(
               "Zorvane times a sound against film and animation frames.\n"
               "\n"
               "Usage:\n"
               "  zorvane [FILE]\n"
               "      Opens the window, and FILE (a sound, a path or a file:// URL) in it.\n"
               "  zorvane --beats SOUND [--fps RATE] [--bpm BPM] [--format json|csv|xsheet|labels] [--output FILE]\n"
               "      Finds the beats of SOUND and writes them (JSON by default) to FILE or standard output.\n"
               "  zorvane --breakdown SOUND --text TEXTFILE|- [--fps RATE] [--language CODE]\n"
               "          [--mouths preston-blair|a-h|FILE] [--mouths NAME=SET|FILE ...]\n"
               "          [--format json|tsv|dat|pgo|xsheet|labels|xdts] [--output FILE]\n"
               "      Aligns the typed dialogue to SOUND and writes words, phonemes and mouth shapes.\n"
               "      Each character's mouths use the set it keeps beside SOUND (chosen in the window);\n"
               "      --mouths SET sets one for everyone, --mouths NAME=SET one for the character NAME.\n"
               "  zorvane --sheet SOUND --output FILE.xdts|FILE.pdf [--text SCRIPT] [--beats] [--fps RATE]\n"
               "          [--cut N] [--scene N] [--layout one|two]\n"
               "      Writes the exposure sheet of SOUND as XDTS (with the mouth numbers beside it) or PDF,\n"
               "      from the marks, breakdown and beats kept beside the sound.\n"
               "  zorvane --help       Shows this text.\n"
               "  zorvane --version    Shows the version.\n"
               "\n"
               "RATE is frames a second as the window's rate box reads it (24, 23.976, 29.97, 12.5).\n"
               "Exit codes: 0 done, 1 bad usage or an output that can't be written, 2 an input that can't be\n"
               "read, 3 nothing found (no speech, no steady beat, nothing to put on a sheet).\n");
}

std::string VersionText() { return std::string("zorvane ") + ProgramVersion() + "\n"; }

std::optional<std::string> HelpOrVersion(const std::vector<std::string>& args) {
    if (args.size() < 2) return std::nullopt;
    const std::string& first = args[1];
    if (first == "--help" || first == "-h") return HelpText();
    if (first == "--version" || first == "-V") return VersionText();
    return std::nullopt;
}

} // namespace zv
