#include "sound/system/SndfileReason.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zv {

// libsndfile's texts begin "Error : " at times and do not always fit the
// case (a 3-byte file is "not a regular file"): a person's words, with
// libsndfile's own text kept in brackets where it adds something.
std::string SndfileReason(int code, const std::string& path, SNDFILE* file) {
    std::string text = sf_strerror(file);
    if (text.rfind("Error : ", 0) == 0) text.erase(0, 8);
    if (!path.empty()) {
        struct stat st {};
        if (stat(path.c_str(), &st) != 0 || access(path.c_str(), R_OK) != 0) return std::strerror(errno);
        if (!S_ISREG(st.st_mode)) return "Not a regular file.";
    }
    switch (code) {
    case SF_ERR_UNRECOGNISED_FORMAT: return "Not a sound file Zorvane can read.";
    case SF_ERR_SYSTEM: return "The file is too short or damaged.";
    case SF_ERR_UNSUPPORTED_ENCODING: return "Its sound is encoded in a way Zorvane cannot read (" + text + ")";
    default:
        // libsndfile says a short file "does not exist or is not a regular file".
        if (text.find("not a regular file") != std::string::npos) return "The file is too short or damaged.";
        return "The file is damaged (" + text + ")";
    }
}

} // namespace zv
