#include "playback/system/SoundFile.h"

#include <sndfile.h>

#include "common/Errors.h"

namespace zv {

struct SoundFile::Handle {
    SNDFILE* file = nullptr;
    ~Handle() {
        if (file) sf_close(file);
    }
};

SoundFile::SoundFile(const std::string& path) : handle_(std::make_unique<Handle>()) {
    SF_INFO info{};
    handle_->file = sf_open(path.c_str(), SFM_READ, &info);
    if (!handle_->file) throw DeviceError(sf_strerror(nullptr));
    // The device plays wave audio: RIFF WAVE and its extended forms only.
    const int type = info.format & SF_FORMAT_TYPEMASK;
    if (type != SF_FORMAT_WAV && type != SF_FORMAT_WAVEX && type != SF_FORMAT_RF64)
        throw DeviceError("Not a WAV file.");
    if (info.samplerate <= 0 || info.channels <= 0) throw DeviceError("The file holds no sound.");
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    frames_ = info.frames > 0 ? info.frames : 0;
}

SoundFile::~SoundFile() = default;

void SoundFile::Seek(int64_t frame) {
    if (sf_seek(handle_->file, frame, SEEK_SET) < 0) throw DeviceError(sf_strerror(handle_->file));
}

int64_t SoundFile::Read(float* interleaved, int64_t frames) {
    const sf_count_t got = sf_readf_float(handle_->file, interleaved, frames);
    if (got <= 0 && sf_error(handle_->file) != SF_ERR_NO_ERROR) return 0;
    return got > 0 ? got : 0;
}

} // namespace zv
