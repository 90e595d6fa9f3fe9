#pragma once
// A decoder of a compressed sound file (FLAC, Ogg, MP3): its format and its
// samples as interleaved 16-bit values, read in pieces from start to end.
// The real one is libsndfile's (sound/system/SndfileDecoder); tests may use
// others. One thread uses a decoder at a time.
#include <cstdint>
#include <memory>
#include <string>

namespace zv {

class SoundDecoder {
public:
    virtual ~SoundDecoder() = default;
    virtual int Channels() const = 0;
    virtual int32_t SampleRate() const = 0;          // sample frames per second
    // The length the file states, in sample frames; 0 when it states none.
    // Only a hint for the buffer's size: the decoded frames count.
    virtual int64_t StatedFrames() const = 0;
    // Reads up to `frames` sample frames into `interleaved` (frames x
    // Channels() values). Returns the frames read, 0 at the end. Throws
    // DeviceError with a reason a person understands when the file is broken.
    virtual int64_t Read(int16_t* interleaved, int64_t frames) = 0;
};

// Opens `path` with the system's decoder. Throws DeviceError (why not).
std::unique_ptr<SoundDecoder> OpenSoundDecoder(const std::string& path);

} // namespace zv
