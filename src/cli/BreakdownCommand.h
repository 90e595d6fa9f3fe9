#pragma once
// zorvane --breakdown SOUND --text SCRIPT|- [--fps RATE] [--language CODE]
//         [--mouths preston-blair|a-h|FILE] [--format json|tsv|dat|pgo|xsheet|labels]
//         [--output FILE]
// The dialogue breakdown without the window: the typed text (a file, or
// standard input for "-") aligned to the sound, the mouth shapes laid at
// the exact rate (30 by default, read as the window's rate box reads it),
// written in the format asked for (JSON by default; the names are the
// Dialogue formats of the export list, export/ExportWriters.h) to the output file or
// standard output. --mouths also takes the name of a set in the user's
// mouths folder. The text may name its speakers ("NAME: words", see
// dialogue/DialogueScript.h): each character's lines are written as the
// format keeps characters, and a format of one file a character (dat)
// writes FILE-NAME.ext for each (NAME made safe for a file name), so it
// needs --output when there are several. Exit codes (cli/CommandLine.h): 0 done; 1 bad usage; 2 the
// sound, the text or the mouth set cannot be read (the message names the
// path), or the text is empty or a script with a name left out; 3 no speech was found (the words are spread
// evenly and written all the same).
#include <iosfwd>
#include <string>
#include <vector>

namespace zv {

// `args` as main has them ("zorvane", "--breakdown", SOUND, ...). Messages
// go to `messages`; "-" as the text reads `input`.
int RunBreakdownCommand(const std::vector<std::string>& args, std::istream& input, std::ostream& messages);

} // namespace zv
