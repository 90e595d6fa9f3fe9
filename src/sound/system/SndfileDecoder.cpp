// The system's decoder of compressed sounds: libsndfile, which on Debian 12
// reads FLAC, Ogg Vorbis, Ogg Opus and MPEG audio (MP3) among others.
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/Errors.h"
#include "sound/SoundDecoder.h"

namespace zv {

namespace {

// libsndfile's texts begin "Error : " at times and do not always fit the
// case (a 3-byte file is "not a regular file"): a person's words, with
// libsndfile's own text kept in brackets where it adds something.
std::string Reason(int code, const std::string& path, SNDFILE* file) {
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

class SndfileDecoder : public SoundDecoder {
public:
    explicit SndfileDecoder(const std::string& path) {
        file_ = sf_open(path.c_str(), SFM_READ, &info_);
        if (file_ == nullptr) throw DeviceError(Reason(sf_error(nullptr), path, nullptr));
        if (info_.channels <= 0 || info_.samplerate <= 0) {
            sf_close(file_);
            throw DeviceError("The file holds no sound.");
        }
        // Float decoders (Vorbis, Opus, MP3) may go past full scale: clip
        // those samples rather than let them wrap round.
        sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }
    ~SndfileDecoder() override { sf_close(file_); }
    SndfileDecoder(const SndfileDecoder&) = delete;
    SndfileDecoder& operator=(const SndfileDecoder&) = delete;

    int Channels() const override { return info_.channels; }
    int32_t SampleRate() const override { return info_.samplerate; }
    int64_t StatedFrames() const override {
        // libsndfile says SF_COUNT_MAX for a length it does not know.
        return info_.frames > 0 && info_.frames < SF_COUNT_MAX ? info_.frames : 0;
    }
    int64_t Read(int16_t* interleaved, int64_t frames) override {
        const sf_count_t got = sf_readf_short(file_, interleaved, frames);
        if (got > 0) return got;
        if (const int code = sf_error(file_); code != SF_ERR_NO_ERROR) throw DeviceError(Reason(code, {}, file_));
        return 0;
    }

private:
    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundDecoder> OpenSoundDecoder(const std::string& path) {
    return std::make_unique<SndfileDecoder>(path);
}

} // namespace zv
