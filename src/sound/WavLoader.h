#pragma once
// The WAV loader: fills the loaded-sound record from a RIFF WAVE file.
#include <cstddef>
#include <string>

#include "common/Report.h"
#include "sound/SoundData.h"

namespace zv {

// Texts of the loader's messages (the window shows them in a modal box).
inline constexpr const char* kMsgOpenFailed = "Error opening input file, rc = ";  // + errno
inline constexpr const char* kMsgNotWave = "Not a wave file";
inline constexpr const char* kMsgNoFormat = "Couldn't get format chunk";
inline constexpr const char* kMsgFormatRead = "Error reading format";
inline constexpr const char* kMsgNoData = "Couldn't get data chunk";
inline constexpr const char* kMsgBlockAlign = "Invalid block alignment in format chunk";
inline constexpr const char* kMsgTooManyFrames =
    "The data chunk holds more sample frames than Zorvane can draw (2147483647 at most)";
inline constexpr const char* kMsgNoMemory = "Not enough memory to load the wave data";
inline constexpr const char* kMsgStopped = "The load was stopped";

// Told about the data chunk's bytes while the loader reads them, so that
// other work (the peak summary) can go through them as they arrive, on a
// thread of its own. Both calls come on the loading thread.
class WavReadObserver {
public:
    virtual ~WavReadObserver() = default;
    // Before the first byte of the data chunk is read: the record already
    // holds the new format, Encoding, NumSamples and its zero-filled buffer
    // (WavLoaded is still false); the file holds the buffer's first
    // `heldBytes` bytes. Once this has come, the load ends loaded.
    virtual void ReadStarts(const SoundData& sound, std::size_t heldBytes) = 0;
    // Bytes [0, landed) of the buffer now hold the file's bytes. Returning
    // false stops the read: the load then fails (kMsgStopped).
    virtual bool BytesLanded(std::size_t landed) = 0;
};

// Loads the file at `path` into `sound`: its first RIFF chunk of form type
// WAVE, the first 18 bytes of its fmt chunk into WavFormat, and the whole
// data chunk after it into one zero-filled block of exactly the stated size
// (a tail missing from the file stays zero). NumSamples = data bytes over
// nBlockAlign, rounded half to even. WavLoaded is true only after a load
// that got that far; a failed load returns one message for the user (the
// file is closed by then) and keeps the previous buffer unless it failed
// while allocating the new one. An empty path releases the buffer, silently.
// ViewStart and ViewEnd are left for the caller. Never throws. With an
// `observer`, the data chunk is read in pieces and each is told about.
Report LoadWavFile(SoundData& sound, const std::string& path, WavReadObserver* observer = nullptr);

// The steps after opening, on a descriptor open for reading (not closed
// here; its offset is not used). Returns the message for the user when the
// sound did not load.
Report LoadWavDescriptor(SoundData& sound, int fd, WavReadObserver* observer = nullptr);

} // namespace zv
