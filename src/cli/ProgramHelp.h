#pragma once
// zorvane --help and zorvane --version: printed on standard output and the
// program exits 0, before any toolkit starts, so they work with no display.
#include <optional>
#include <string>
#include <vector>

namespace zv {

// Every way the program runs, each with its options.
std::string HelpText();
// "zorvane 1.0.0".
std::string VersionText();

// The text to print when the arguments ask for help or the version
// (`--help`, `-h`, `--version`, `-V` as the first argument); else nothing.
std::optional<std::string> HelpOrVersion(const std::vector<std::string>& args);

} // namespace zv
