#pragma once
// The mouth sets a headless command lays each character's mouths with:
//   --mouths SET|FILE         one set for everyone (overrides what is kept);
//   --mouths NAME=SET|FILE    one character's set (repeatable; wins over both);
// else the set each character keeps beside the sound (chosen in the window),
// else Preston Blair's. SET is "preston-blair", "a-h", a set's name as the
// window shows it ("Preston Blair", "A-H") or a set of the user's mouths
// folder by name; FILE a set's JSON file.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialogue/MouthSet.h"

namespace zv {

class MouthSetChoice {
public:
    // What the --mouths values name: a set for everyone, or NAME and a set.
    // A value that names a set or file as a whole is for everyone, so a
    // path holding "=" still reads. Nothing, with `error`, when a value is
    // wrong: `unreadable` tells a set that can't be found or read from a
    // value that is wrongly given (no name before "=", a name twice).
    static std::optional<MouthSetChoice> Parse(const std::vector<std::string>& values, std::string& error,
                                               bool& unreadable);

    // The set called `name` (a built-in's name or short name, a file, a set
    // in the user's folder); `error` says why not.
    static std::optional<MouthSet> Find(const std::string& name, std::string& error);

    // A message for the first character name given that is none of `names`
    // (exactly, or but for letter case), naming those there are.
    std::optional<std::string> UnknownName(const std::vector<std::string>& names) const;

    // The set for the character called `name` ("" for the one unnamed
    // speaker) that keeps `kept` ("" = none). A kept set that is no longer
    // found falls back to Preston Blair's, and `note` (when given) says so.
    MouthSet For(const std::string& name, const std::string& kept, std::string* note = nullptr) const;


private:
    const MouthSet* Named(const std::string& name) const;

    std::optional<MouthSet> all_;
    std::vector<std::pair<std::string, MouthSet>> named_;
};

} // namespace zv
