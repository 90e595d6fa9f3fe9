#pragma once
// zorvane --sheet SOUND --output FILE.xdts|FILE.pdf [--text SCRIPT] [--beats]
//         [--fps RATE] [--cut N] [--scene N] [--layout one|two]
// The exposure sheet of SOUND without the window: an XDTS file (with the
// mouth numbers' mapping file beside it) or a printed sheet as PDF. It
// uses what is kept beside the sound (the marks file: marks, words, mouth
// shapes, beats), so what was corrected in the window comes out as it was
// left. With no words kept, --text SCRIPT breaks the dialogue down from the
// typed text; with no beats kept, --beats finds them. RATE is read as the
// window's rate box reads it (24 when not given). Cut and scene: 1 to 4
// digits (1 when not given).
//
// Exit codes (cli/CommandLine.h): 0 written; 1 bad usage or an output that
// can't be written (nothing half-written is left); 2 the sound, the script
// or the marks file can't be read (the message names the path); 3 nothing
// to show (no marks, words, mouths or beats): nothing is written.
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zv {

class SheetLayout;

// Writes a laid-out sheet as PDF (the toolkit's part, handed in by main):
// nothing when written, else why not.
using SheetPdfWriter = std::function<std::optional<std::string>(const SheetLayout&, const std::string&)>;

// `args` as main has them ("zorvane", "--sheet", SOUND, ...). Never throws.
int RunSheetCommand(const std::vector<std::string>& args, std::ostream& messages, const SheetPdfWriter& writePdf);

// The command's usage line.
const char* SheetUsage();

} // namespace zv
