#pragma once
// Why libsndfile could not open or read a sound file, in a person's words:
// the one wording that every reader built on libsndfile gives (the decoder
// that draws a compressed sound and the file the output plays), so a file
// is refused for the same reason whichever of them meets it first.
#include <sndfile.h>

#include <string>

namespace zv {

// `code`: sf_error's; `path`: the file (empty once it is open: then the
// file system is not asked); `file`: the open file, or null.
std::string SndfileReason(int code, const std::string& path, SNDFILE* file);

} // namespace zv
