#pragma once
// Which file in a drawings folder is the drawing of each mouth shape: a file
// named after the shape with the extension .png or .svg ("MBP.svg",
// "etc.png", "X.png"). The name matches exactly, else regardless of case
// ("mbp.PNG"); of two matching files the SVG is taken, since it draws
// sharp at any size. Core code: no Qt (the caller lists the folder).
#include <map>
#include <string>
#include <vector>

namespace zv {

struct DrawingFileChoice {
    std::map<std::string, std::string> fileOfShape;   // shape -> file name in the folder
    std::vector<std::string> missing;                  // shapes with no file, in the set's order
};

class MouthDrawingFiles {
public:
    // Picks each shape's file among `fileNames` (names only, no folder).
    static DrawingFileChoice Match(const std::vector<std::string>& shapes, const std::vector<std::string>& fileNames);

    // The folder of Zorvane's own drawings for a built-in set, by the
    // set's name ("Preston Blair" -> "preston-blair", "A-H" -> "a-h");
    // "" for a set of the user's, which has none.
    static std::string OwnFolder(const std::string& setName);

    // The panel's one line of what is missing, each character once:
    // "No drawing for Ann: FV, WQ; Bob: L". "" when nothing is.
    static std::string MissingText(const std::vector<std::pair<std::string, std::vector<std::string>>>& byName);
};

} // namespace zv
