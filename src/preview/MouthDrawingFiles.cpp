#include "preview/MouthDrawingFiles.h"

#include <algorithm>
#include <cctype>

#include "common/TextCase.h"
#include "dialogue/MouthSet.h"

namespace zv {

namespace {

// How well `file` names `shape`: 0 not at all; higher is better.
int Fit(const std::string& file, const std::string& shape) {
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos) return 0;
    const std::string ext = AsciiLower(file.substr(dot + 1));
    if (ext != "svg" && ext != "png") return 0;
    const std::string stem = file.substr(0, dot);
    int fit = 0;
    if (stem == shape) fit = 4;
    else if (AsciiLower(stem) == AsciiLower(shape)) fit = 2;
    else return 0;
    return fit + (ext == "svg" ? 1 : 0);
}

} // namespace

DrawingFileChoice MouthDrawingFiles::Match(const std::vector<std::string>& shapes,
                                           const std::vector<std::string>& fileNames) {
    DrawingFileChoice choice;
    for (const std::string& shape : shapes) {
        int best = 0;
        const std::string* bestFile = nullptr;
        for (const std::string& file : fileNames) {
            const int fit = Fit(file, shape);
            // Ties (two files differing only in case) go to the first by name, so the pick is stable.
            if (fit > best || (fit == best && fit > 0 && bestFile && file < *bestFile)) {
                best = fit;
                bestFile = &file;
            }
        }
        if (bestFile) choice.fileOfShape[shape] = *bestFile;
        else choice.missing.push_back(shape);
    }
    return choice;
}

std::string MouthDrawingFiles::OwnFolder(const std::string& setName) {
    if (setName == MouthSet::PrestonBlair().Name()) return "preston-blair";
    if (setName == MouthSet::NineShapes().Name()) return "a-h";
    return {};
}

std::string MouthDrawingFiles::MissingText(
    const std::vector<std::pair<std::string, std::vector<std::string>>>& byName) {
    std::string text;
    for (const auto& [name, shapes] : byName) {
        if (shapes.empty()) continue;
        text += text.empty() ? "No drawing for " : "; ";
        text += name + ": ";
        for (std::size_t i = 0; i < shapes.size(); ++i) text += (i ? ", " : "") + shapes[i];
    }
    return text;
}

} // namespace zv
