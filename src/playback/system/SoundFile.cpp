#include "playback/system/SoundFile.h"

#include <sndfile.h>

#include "common/Errors.h"
#include "sound/SoundKind.h"

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
    // The device plays what the waveform can draw: wave audio (RIFF WAVE
    // and its extended and 64-bit forms) and the compressed sounds that are
    // decoded for drawing (FLAC, Ogg, MP3). The file's own first bytes
    // decide, as they do for the loader, and libsndfile must agree.
    const int type = info.format & SF_FORMAT_TYPEMASK;
    const SoundKind kind = ClassifySoundFile(path);
    const bool wave = type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64;
    const bool compressed = type == SF_FORMAT_FLAC || type == SF_FORMAT_OGG || type == SF_FORMAT_MPEG;
    if (!(kind == SoundKind::Wave && wave) && !(kind == SoundKind::Compressed && compressed))
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
