// The system's decoder of compressed sounds: libsndfile, which on Debian 12
// reads FLAC, Ogg Vorbis, Ogg Opus and MPEG audio (MP3) among others.
#include <sndfile.h>
#include <string>

#include "common/Errors.h"
#include "sound/SoundDecoder.h"
#include "sound/system/SndfileReason.h"

namespace zv {

namespace {

class SndfileDecoder : public SoundDecoder {
public:
    explicit SndfileDecoder(const std::string& path) {
        file_ = sf_open(path.c_str(), SFM_READ, &info_);
        if (file_ == nullptr) throw DeviceError(SndfileReason(sf_error(nullptr), path, nullptr));
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
        if (const int code = sf_error(file_); code != SF_ERR_NO_ERROR) throw DeviceError(SndfileReason(code, {}, file_));
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
