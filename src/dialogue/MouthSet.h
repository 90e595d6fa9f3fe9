#pragma once
// A set of mouth shapes and which shape each phoneme (CMU phone, "AA" ...
// "ZH") takes. Two sets come with the program: Preston Blair's (AI, E, O,
// U, etc, L, WQ, MBP, FV, rest; the default) and the nine shapes A-H + X
// many rigs use. A user's own sets are JSON files in Zorvane's config
// folder (~/.config/Zorvane/mouths/*.json):
//   {
//     "name": "Robot",                 // optional: the file's name otherwise
//     "shapes": ["Open", "Shut", "Idle"],
//     "rest": "Idle",                  // the shape of silence
//     "other": "Open",                 // optional: for phonemes not listed (default: rest)
//     "closures": ["Shut"],            // optional: kept even when shorter than the hold
//     "phonemes": {"M": "Shut", "B": "Shut", "P": "Shut", "AA": "Open"}
//   }
// A damaged file is refused whole, the message giving its line.
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zv {

class MouthSet {
public:
    // A set file larger than this (bytes) is refused unread.
    static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

    static MouthSet PrestonBlair();
    static MouthSet NineShapes();
    // "preston-blair" or "a-h"; nothing for another name.
    static std::optional<MouthSet> BuiltIn(const std::string& name);

    // A set from a JSON text (`fallbackName` when it names none). Nothing,
    // and `error` says why ("line 4: ..."), when the text is damaged.
    static std::optional<MouthSet> FromJson(const std::string& text, const std::string& fallbackName,
                                            std::string& error);
    // A set from a file: `error` names the path.
    static std::optional<MouthSet> ReadFile(const std::string& path, std::string& error);
    // The user's sets' folder: $XDG_CONFIG_HOME/Zorvane/mouths, else
    // $HOME/.config/Zorvane/mouths (the caller passes the two variables).
    static std::string UserFolder(const char* xdgConfigHome, const char* home);
    // Every *.json in `folder`, by file name; the damaged ones' messages in `errors`.
    static std::vector<MouthSet> ReadFolder(const std::string& folder, std::vector<std::string>& errors);
    // What the user is told of ReadFolder's errors, once: the first few
    // messages, one a line (each naming its file), then how many more.
    // "" when there are none.
    static std::string FolderErrorsText(const std::vector<std::string>& errors);

    const std::string& Name() const { return name_; }
    const std::vector<std::string>& Shapes() const { return shapes_; }
    const std::string& Rest() const { return rest_; }
    // The shape of a phoneme: as the set lists it, else without its stress
    // digits ("AH0" is "AH").
    const std::string& ShapeOf(const std::string& phoneme) const;
    // A phoneme that takes `shape` (the first by name), "" for rest,
    // or nothing when the set has no such shape: a breakdown that names
    // only shapes (a .pgo) becomes phonemes that give them back.
    std::optional<std::string> PhonemeOf(const std::string& shape) const;
    bool IsClosure(const std::string& shape) const { return closures_.count(shape) != 0; }

private:
    // Fills phonemeOfShape_ from phonemes_ (once the set is made).
    void IndexShapes();

    std::string name_;
    std::vector<std::string> shapes_;
    std::string rest_;
    std::string other_;
    std::set<std::string> closures_;
    std::map<std::string, std::string> phonemes_;
    // Each shape's first phoneme by name: a .pgo of many shapes comes in
    // without a search of the set for each.
    std::map<std::string, std::string> phonemeOfShape_;
};

} // namespace zv
