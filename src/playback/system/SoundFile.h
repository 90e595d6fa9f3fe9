#pragma once
// A sound file (WAV, RF64, FLAC, Ogg, MP3) opened by name with libsndfile
// for streaming: its format is read at open, its samples only as they are
// asked for.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "playback/ChannelFolding.h"

namespace zv {

class SoundFile {
public:
    // Throws DeviceError with the reason a person understands: the one the
    // decoder gives (SndfileReason) when it cannot open the file, or a plain
    // one when the file is not one of those kinds or holds no sound.
    explicit SoundFile(const std::string& path);
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    int32_t SampleRate() const { return sampleRate_; }   // sample frames per second
    int Channels() const { return channels_; }
    int64_t Frames() const { return frames_; }           // length in sample frames
    bool Compressed() const { return compressed_; }      // FLAC, Ogg or MP3
    // Where each channel is meant to sound, as the file says (a WAV's
    // channel mask); empty when it says nothing.
    const std::vector<Speaker>& Layout() const { return layout_; }

    // Moves the read point to sample frame `frame`. Throws DeviceError.
    void Seek(int64_t frame);
    // Reads up to `frames` sample frames as interleaved floats in -1..1.
    // Returns the number read: fewer at the end of the file, 0 on a read error.
    int64_t Read(float* interleaved, int64_t frames);

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    int32_t sampleRate_ = 0;
    int channels_ = 0;
    int64_t frames_ = 0;
    bool compressed_ = false;
    std::vector<Speaker> layout_;
};

} // namespace zv
