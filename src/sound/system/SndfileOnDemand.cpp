// The libsndfile calls the program makes, with libsndfile opened on the
// first of them rather than when the program starts (see
// common/system/LibraryOnDemand.h): libsndfile brings seven codec libraries
// with it, which every start mapped and relocated before the window could
// show, while nothing reads a sound before the user opens one.
//
// Without the library every open fails with a message that names it, and
// the other calls read and write nothing.
#include <sndfile.h>

#include <string>

#include "common/system/LibraryOnDemand.h"

namespace {

struct Sndfile {
    zv::LibraryOnDemand library{"libsndfile.so.1", "libsndfile.so"};
    decltype(&::sf_open) open = nullptr;
    decltype(&::sf_open_fd) openFd = nullptr;
    decltype(&::sf_error) error = nullptr;
    decltype(&::sf_strerror) strerror = nullptr;
    decltype(&::sf_command) command = nullptr;
    decltype(&::sf_seek) seek = nullptr;
    decltype(&::sf_readf_short) readShort = nullptr;
    decltype(&::sf_readf_int) readInt = nullptr;
    decltype(&::sf_readf_float) readFloat = nullptr;
    decltype(&::sf_readf_double) readDouble = nullptr;
    decltype(&::sf_writef_int) writeInt = nullptr;
    decltype(&::sf_writef_double) writeDouble = nullptr;
    decltype(&::sf_write_sync) writeSync = nullptr;
    decltype(&::sf_close) close = nullptr;
    std::string notLoaded = zv::NotLoadedText("sound file", library);

    Sndfile() {
        // All or nothing: a library without one of them is not the one expected.
        const bool all = library.Find("sf_open", open) & library.Find("sf_open_fd", openFd) &
                         library.Find("sf_error", error) & library.Find("sf_strerror", strerror) &
                         library.Find("sf_command", command) & library.Find("sf_seek", seek) &
                         library.Find("sf_readf_short", readShort) & library.Find("sf_readf_int", readInt) &
                         library.Find("sf_readf_float", readFloat) & library.Find("sf_readf_double", readDouble) &
                         library.Find("sf_writef_int", writeInt) & library.Find("sf_writef_double", writeDouble) &
                         library.Find("sf_write_sync", writeSync) & library.Find("sf_close", close);
        if (!all) open = nullptr, openFd = nullptr;   // nothing opens, so nothing else is called
    }
};

// Opened once, on the first call from any thread.
const Sndfile& Library() {
    static const Sndfile sndfile;
    return sndfile;
}

}  // namespace

extern "C" {

SNDFILE* sf_open(const char* path, int mode, SF_INFO* sfinfo) {
    const Sndfile& s = Library();
    return s.open ? s.open(path, mode, sfinfo) : nullptr;
}

SNDFILE* sf_open_fd(int fd, int mode, SF_INFO* sfinfo, int close_desc) {
    const Sndfile& s = Library();
    return s.openFd ? s.openFd(fd, mode, sfinfo, close_desc) : nullptr;
}

int sf_error(SNDFILE* sndfile) {
    const Sndfile& s = Library();
    // Without the library a sound in a format it reads is one the program
    // cannot decode; the error's text (sf_strerror) names the library.
    return s.open ? s.error(sndfile) : SF_ERR_UNSUPPORTED_ENCODING;
}

const char* sf_strerror(SNDFILE* sndfile) {
    const Sndfile& s = Library();
    return s.open ? s.strerror(sndfile) : s.notLoaded.c_str();
}

int sf_command(SNDFILE* sndfile, int command, void* data, int datasize) {
    const Sndfile& s = Library();
    return s.open ? s.command(sndfile, command, data, datasize) : 0;
}

sf_count_t sf_seek(SNDFILE* sndfile, sf_count_t frames, int whence) {
    const Sndfile& s = Library();
    return s.open ? s.seek(sndfile, frames, whence) : -1;
}

sf_count_t sf_readf_short(SNDFILE* sndfile, short* ptr, sf_count_t frames) {
    const Sndfile& s = Library();
    return s.open ? s.readShort(sndfile, ptr, frames) : 0;
}

sf_count_t sf_readf_int(SNDFILE* sndfile, int* ptr, sf_count_t frames) {
    const Sndfile& s = Library();
    return s.open ? s.readInt(sndfile, ptr, frames) : 0;
}

sf_count_t sf_readf_float(SNDFILE* sndfile, float* ptr, sf_count_t frames) {
    const Sndfile& s = Library();
    return s.open ? s.readFloat(sndfile, ptr, frames) : 0;
}

sf_count_t sf_readf_double(SNDFILE* sndfile, double* ptr, sf_count_t frames) {
    const Sndfile& s = Library();
    return s.open ? s.readDouble(sndfile, ptr, frames) : 0;
}

sf_count_t sf_writef_int(SNDFILE* sndfile, const int* ptr, sf_count_t frames) {
    const Sndfile& s = Library();
    return s.open ? s.writeInt(sndfile, ptr, frames) : 0;
}

sf_count_t sf_writef_double(SNDFILE* sndfile, const double* ptr, sf_count_t frames) {
    const Sndfile& s = Library();
    return s.open ? s.writeDouble(sndfile, ptr, frames) : 0;
}

void sf_write_sync(SNDFILE* sndfile) {
    const Sndfile& s = Library();
    if (s.open) s.writeSync(sndfile);
}

int sf_close(SNDFILE* sndfile) {
    const Sndfile& s = Library();
    return s.open ? s.close(sndfile) : 0;
}

}  // extern "C"
