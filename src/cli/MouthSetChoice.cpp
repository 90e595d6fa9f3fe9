#include "cli/MouthSetChoice.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/TextCase.h"
#include "dialogue/CharacterList.h"

namespace zv {

namespace {

std::string UserFolder() { return MouthSet::UserFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

// True when `value` names a set or a file as it stands.
bool NamesASet(const std::string& value) {
    if (MouthSet::BuiltIn(value) || MouthSet::BuiltIn(AsciiLower(value)) || AsciiLower(value) == "preston blair") return true;
    std::error_code ec;
    if (std::filesystem::exists(value, ec)) return true;
    const std::string folder = UserFolder();
    return !folder.empty() && std::filesystem::exists(folder + "/" + value + ".json", ec);
}

} // namespace

std::optional<MouthSet> MouthSetChoice::Find(const std::string& name, std::string& error) {
    if (auto set = MouthSet::BuiltIn(name)) return set;
    // The names the window shows, as a character keeps them.
    for (const MouthSet& set : {MouthSet::PrestonBlair(), MouthSet::NineShapes()})
        if (AsciiLower(set.Name()) == AsciiLower(name)) return set;
    std::error_code ec;
    if (std::filesystem::exists(name, ec)) return MouthSet::ReadFile(name, error);
    const std::string folder = UserFolder();
    const std::string file = folder + "/" + name + ".json";
    if (!folder.empty() && std::filesystem::exists(file, ec)) return MouthSet::ReadFile(file, error);
    // A set of the user's by the name inside its file.
    if (!folder.empty() && std::filesystem::is_directory(folder, ec)) {
        std::vector<std::string> damaged;
        for (MouthSet& set : MouthSet::ReadFolder(folder, damaged))
            if (set.Name() == name) return std::move(set);
    }
    error = "Couldn't read the mouth set " + name + ": no such file, and no such set in " + folder;
    return std::nullopt;
}

std::optional<MouthSetChoice> MouthSetChoice::Parse(const std::vector<std::string>& values, std::string& error,
                                                    bool& unreadable) {
    MouthSetChoice choice;
    unreadable = false;
    for (const std::string& value : values) {
        const std::size_t equals = value.find('=');
        if (equals == std::string::npos || NamesASet(value)) {
            if (choice.all_) {
                error = "--mouths for everyone is given twice (" + choice.all_->Name() + ", " + value + ")";
                return std::nullopt;
            }
            choice.all_ = Find(value, error);
            if (!choice.all_) {
                unreadable = true;
                return std::nullopt;
            }
            continue;
        }
        const std::string name = CharacterList::Trimmed(value.substr(0, equals));
        if (name.empty() || equals + 1 == value.size()) {
            error = "--mouths " + value + (name.empty() ? ": no character's name before the '='" : ": no set after the '='");
            return std::nullopt;
        }
        if (choice.Named(name)) {
            error = "--mouths for " + name + " is given twice";
            return std::nullopt;
        }
        std::optional<MouthSet> set = Find(value.substr(equals + 1), error);
        if (!set) {
            error = "--mouths " + value + ": " + error;
            unreadable = true;
            return std::nullopt;
        }
        choice.named_.emplace_back(name, std::move(*set));
    }
    return choice;
}

const MouthSet* MouthSetChoice::Named(const std::string& name) const {
    for (const auto& [who, set] : named_)
        if (who == name) return &set;
    for (const auto& [who, set] : named_)
        if (AsciiLower(who) == AsciiLower(name)) return &set;
    return nullptr;
}

std::optional<std::string> MouthSetChoice::UnknownName(const std::vector<std::string>& names) const {
    for (const auto& [who, set] : named_) {
        const bool found = std::any_of(names.begin(), names.end(),
                                       [&](const std::string& n) { return !n.empty() && AsciiLower(n) == AsciiLower(who); });
        if (found) continue;
        std::string known;
        for (const std::string& n : names)
            if (!n.empty()) known += (known.empty() ? "" : ", ") + n;
        return "--mouths " + who + "=" + set.Name() + ": there is no character " + who +
               (known.empty() ? std::string(" (the dialogue names no one)") : " (the characters are " + known + ")");
    }
    return std::nullopt;
}

MouthSet MouthSetChoice::For(const std::string& name, const std::string& kept, std::string* note) const {
    if (!name.empty())
        if (const MouthSet* set = Named(name)) return *set;
    if (all_) return *all_;
    if (!kept.empty()) {
        std::string error;
        if (std::optional<MouthSet> set = Find(kept, error)) return std::move(*set);
        if (note != nullptr)
            *note = (name.empty() ? std::string("The") : name + "'s") + " mouth set " + kept +
                    " is not found: Preston Blair's is used.";
    }
    return MouthSet::PrestonBlair();
}

} // namespace zv
