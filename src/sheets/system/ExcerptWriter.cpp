#include "sheets/system/ExcerptWriter.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace zv {

namespace {

constexpr int64_t kChunk = 65536;   // sample frames copied at a time

struct SndCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndHandle = std::unique_ptr<SNDFILE, SndCloser>;

// The WAV sample format that keeps the source's samples as they are.
int WavSubtype(int sourceFormat) {
    switch (sourceFormat & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_S8: return SF_FORMAT_PCM_U8;
    case SF_FORMAT_PCM_24: return SF_FORMAT_PCM_24;
    case SF_FORMAT_PCM_32: return SF_FORMAT_PCM_32;
    case SF_FORMAT_FLOAT: return SF_FORMAT_FLOAT;
    case SF_FORMAT_DOUBLE: return SF_FORMAT_DOUBLE;
    default: return SF_FORMAT_PCM_16;
    }
}

bool IsFloating(int subtype) { return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE; }

// Writes `frames` sample frames of silence.
bool WriteSilence(SNDFILE* out, int channels, int64_t frames) {
    std::vector<int> zeros(static_cast<std::size_t>(std::min(frames, kChunk)) * static_cast<std::size_t>(channels));
    while (frames > 0) {
        const int64_t n = std::min(frames, kChunk);
        if (sf_writef_int(out, zeros.data(), n) != n) return false;
        frames -= n;
    }
    return true;
}

// Copies [from, to) of `in` to `out`: whole numbers as 32-bit integers
// (exact for every PCM width), floating samples as doubles.
bool CopySamples(SNDFILE* in, SNDFILE* out, int channels, bool floating, int64_t from, int64_t to,
                 std::string& error) {
    if (sf_seek(in, from, SEEK_SET) != from) {
        error = "the sound can't be read at the selection";
        return false;
    }
    const auto size = static_cast<std::size_t>(kChunk) * static_cast<std::size_t>(channels);
    std::vector<int> whole(floating ? 0 : size);
    std::vector<double> real(floating ? size : 0);
    for (int64_t at = from; at < to;) {
        const int64_t want = std::min(to - at, kChunk);
        const int64_t got = floating ? sf_readf_double(in, real.data(), want) : sf_readf_int(in, whole.data(), want);
        if (got <= 0) {
            error = "the sound ended early";
            return false;
        }
        const int64_t put = floating ? sf_writef_double(out, real.data(), got) : sf_writef_int(out, whole.data(), got);
        if (put != got) {
            error = sf_strerror(out);
            return false;
        }
        at += got;
    }
    return true;
}

} // namespace

std::optional<std::string> WriteSoundExcerpt(const std::string& soundPath, const SoundExcerpt& excerpt,
                                             const std::string& outputPath) {
    SF_INFO inInfo{};
    SndHandle in(sf_open(soundPath.c_str(), SFM_READ, &inInfo));
    if (!in) return "the sound '" + soundPath + "' can't be read: " + sf_strerror(nullptr);
    if (inInfo.channels <= 0 || inInfo.samplerate <= 0) return "the sound '" + soundPath + "' holds no samples";

    const std::filesystem::path target(outputPath);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) return std::string("the folder can't be written: ") + std::strerror(errno);
    // A new file gets the usual permissions (mkstemp makes it private).
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    const int subtype = WavSubtype(inInfo.format);
    SF_INFO outInfo{};
    outInfo.samplerate = inInfo.samplerate;
    outInfo.channels = inInfo.channels;
    outInfo.format = SF_FORMAT_WAV | subtype;
    std::string error;
    bool ok = false;
    {
        SndHandle out(sf_open_fd(fd, SFM_WRITE, &outInfo, SF_TRUE));
        if (!out) {
            error = std::string("the file can't be made: ") + sf_strerror(nullptr);
            ::close(fd);
        } else {
            // Floating samples are copied as they are, never clipped to +-1.
            if (IsFloating(subtype)) sf_command(out.get(), SFC_SET_CLIPPING, nullptr, SF_FALSE);
            ok = WriteSilence(out.get(), inInfo.channels, excerpt.leadIn) &&
                 CopySamples(in.get(), out.get(), inInfo.channels, IsFloating(subtype), excerpt.from, excerpt.to,
                             error) &&
                 WriteSilence(out.get(), inInfo.channels, excerpt.tail);
            if (!ok && error.empty()) error = sf_strerror(out.get());
            if (ok) sf_write_sync(out.get());
            if (ok && sf_error(out.get()) != SF_ERR_NO_ERROR) {
                error = sf_strerror(out.get());
                ok = false;
            }
        }
    }
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temp, target, ec);
        if (ec) {
            error = "the file can't be put in place: " + ec.message();
            ok = false;
        }
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
        return error;
    }
    return std::nullopt;
}

} // namespace zv
