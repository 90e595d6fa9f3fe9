#include "dialogue/UserSpeechModel.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace zv {

namespace {

namespace fs = std::filesystem;

bool IsModel(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / "mdef", ec);
}

// The entries of `dir`, sorted (the order a directory lists them in is not
// fixed); none when it cannot be read.
std::vector<fs::path> Sorted(const fs::path& dir) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

// "pt-BR+f2" -> "pt-br", then "pt": the folders to look for, closest first.
std::vector<std::string> Candidates(const std::string& language) {
    std::string lower;
    for (char c : language) {
        if (c == '+') break;
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::vector<std::string> out;
    if (!lower.empty()) out.push_back(lower);
    const auto dash = lower.find_first_of("-_");
    if (dash != std::string::npos && dash > 0) out.push_back(lower.substr(0, dash));
    return out;
}

} // namespace

std::string UserSpeechModel::ModelsFolder(const char* xdgConfigHome, const char* home) {
    std::string base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0') base = std::string(home) + "/.config";
    else return {};
    return base + "/Zorvane/models";
}

std::optional<UserSpeechModel> UserSpeechModel::Find(const std::string& modelsFolder, const std::string& language,
                                                     std::string& error) {
    error.clear();
    if (modelsFolder.empty()) return std::nullopt;
    for (const std::string& code : Candidates(language)) {
        // A code is a plain name: nothing that climbs out of the folder.
        if (code.find('/') != std::string::npos || code.find("..") != std::string::npos) continue;
        const fs::path folder = fs::path(modelsFolder) / code;
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) continue;
        UserSpeechModel model;
        model.folder = folder.string();
        const std::vector<fs::path> entries = Sorted(folder);
        if (IsModel(folder)) model.modelDir = folder.string();
        for (const fs::path& entry : entries) {
            const std::string ext = entry.extension().string();
            if (model.dictionary.empty() && (ext == ".dict" || ext == ".dic") && fs::is_regular_file(entry, ec))
                model.dictionary = entry.string();
            if (model.modelDir.empty() && fs::is_directory(entry, ec) && IsModel(entry)) model.modelDir = entry.string();
        }
        if (model.modelDir.empty()) {
            error = "The speech model folder " + model.folder +
                    " holds no acoustic model (a folder with PocketSphinx's mdef, means, variances ... files).";
            return std::nullopt;
        }
        if (model.dictionary.empty()) {
            error = "The speech model folder " + model.folder + " holds no pronunciation dictionary (a .dict file).";
            return std::nullopt;
        }
        return model;
    }
    return std::nullopt;
}

} // namespace zv
