#pragma once
// Letter case of plain ASCII text: names, file extensions and set names are
// compared without case; bytes outside ASCII (UTF-8) are left as they are.
#include <cctype>
#include <string>

namespace zv {

inline std::string AsciiLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace zv
