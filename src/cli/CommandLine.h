#pragma once
// The headless commands' arguments (`zorvane --beats SOUND --fps 24 ...`):
// "--name value" pairs after the command's own option, each name at most
// once unless it is one that may be repeated. No Qt: the commands run
// without a display.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/FrameRate.h"

namespace zv {

// What a headless command exits with.
enum ExitCode : int { kExitDone = 0, kExitUsage = 1, kExitUnreadable = 2, kExitNothingFound = 3 };

class CommandLine {
public:
    // Parses args[first ..]: every argument is a known option name
    // (`known`, with its leading "--") followed by its value. On a fault
    // (an unknown option, one given twice, a missing value) returns nothing
    // and says why in `error`. Options in `repeatable` may be given again.
    static std::optional<CommandLine> Parse(const std::vector<std::string>& args, std::size_t first,
                                            const std::set<std::string>& known, std::string& error,
                                            const std::set<std::string>& repeatable = {});

    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    // The option's value, or `fallback` when it was not given.
    std::string Value(const std::string& name, const std::string& fallback = {}) const;
    // Every value given to the option, in order.
    std::vector<std::string> Values(const std::string& name) const;

private:
    std::map<std::string, std::string> values_;            // the first value of each
    std::map<std::string, std::vector<std::string>> all_;  // every value of each
};

// A frame rate as the window's rate box reads it ("24", "23.976", "29.97",
// "12.5"); nothing for text that is no positive rate.
std::optional<FrameRate> ParseFrameRate(const std::string& text);

// Writes `text` to the file at `path`, or to standard output when the path
// is empty or "-". False (and `error` says why, naming the path) when it
// cannot be written.
bool WriteCommandOutput(const std::string& text, const std::string& path, std::string& error);

} // namespace zv
