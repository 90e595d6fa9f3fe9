#include "playback/system/SoundFile.h"

#include <sndfile.h>

#include "common/Errors.h"
#include "sound/SoundKind.h"
#include "sound/system/SndfileReason.h"

namespace zv {

struct SoundFile::Handle {
    SNDFILE* file = nullptr;
    ~Handle() {
        if (file) sf_close(file);
    }
};

namespace {

Speaker SpeakerOf(int place) {
    switch (place) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT: return Speaker::FrontLeft;
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT: return Speaker::FrontRight;
    case SF_CHANNEL_MAP_MONO:
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER: return Speaker::FrontCentre;
    case SF_CHANNEL_MAP_REAR_CENTER: return Speaker::BackCentre;
    case SF_CHANNEL_MAP_REAR_LEFT: return Speaker::BackLeft;
    case SF_CHANNEL_MAP_REAR_RIGHT: return Speaker::BackRight;
    case SF_CHANNEL_MAP_LFE: return Speaker::Lfe;
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER: return Speaker::FrontLeftOfCentre;
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER: return Speaker::FrontRightOfCentre;
    case SF_CHANNEL_MAP_SIDE_LEFT: return Speaker::SideLeft;
    case SF_CHANNEL_MAP_SIDE_RIGHT: return Speaker::SideRight;
    case SF_CHANNEL_MAP_TOP_CENTER: return Speaker::TopCentre;
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT: return Speaker::TopFrontLeft;
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT: return Speaker::TopFrontRight;
    case SF_CHANNEL_MAP_TOP_FRONT_CENTER: return Speaker::TopFrontCentre;
    case SF_CHANNEL_MAP_TOP_REAR_LEFT: return Speaker::TopBackLeft;
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT: return Speaker::TopBackRight;
    case SF_CHANNEL_MAP_TOP_REAR_CENTER: return Speaker::TopBackCentre;
    default: return Speaker::Unknown;
    }
}

// The file's channel map (libsndfile reads a WAV's channel mask into it);
// empty when the file has none.
std::vector<Speaker> ReadLayout(SNDFILE* file, int channels) {
    std::vector<int> map(static_cast<std::size_t>(channels), SF_CHANNEL_MAP_INVALID);
    const auto bytes = static_cast<int>(map.size() * sizeof(int));
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, map.data(), bytes) != SF_TRUE) return {};
    std::vector<Speaker> layout;
    bool any = false;
    for (const int place : map) {
        layout.push_back(SpeakerOf(place));
        any = any || layout.back() != Speaker::Unknown;
    }
    if (!any) layout.clear();   // a map of no known places says nothing
    return layout;
}

}  // namespace

SoundFile::SoundFile(const std::string& path) : handle_(std::make_unique<Handle>()) {
    SF_INFO info{};
    handle_->file = sf_open(path.c_str(), SFM_READ, &info);
    if (!handle_->file) throw DeviceError(SndfileReason(sf_error(nullptr), path, nullptr));
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
    compressed_ = compressed;
    layout_ = ReadLayout(handle_->file, channels_);
}

SoundFile::~SoundFile() = default;

void SoundFile::Seek(int64_t frame) {
    if (sf_seek(handle_->file, frame, SEEK_SET) < 0)
        throw DeviceError(SndfileReason(sf_error(handle_->file), {}, handle_->file));
}

int64_t SoundFile::Read(float* interleaved, int64_t frames) {
    const sf_count_t got = sf_readf_float(handle_->file, interleaved, frames);
    if (got <= 0 && sf_error(handle_->file) != SF_ERR_NO_ERROR) return 0;
    return got > 0 ? got : 0;
}

} // namespace zv
