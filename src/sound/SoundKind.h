#pragma once
// What a sound file is, from its first bytes: the one answer that both the
// playback device and the waveform's loader go by, so that a file the
// device plays is never refused (or drawn as noise) by the loader.
//   Wave: RIFF WAVE, and its 64-bit forms RF64 and BW64, read by the WAV
//         loader straight into the sample buffer;
//   Compressed: FLAC, Ogg (Vorbis, Opus, FLAC) and MPEG audio (MP3, with or
//         without an ID3 tag), decoded to 16-bit samples by the decoder;
//   Unknown: anything else (the device refuses it; the loader's own
//         messages say why it is no wave file).
#include <cstddef>
#include <cstdint>
#include <string>

namespace zv {

enum class SoundKind { Unknown, Wave, Compressed };

// From the first `size` bytes of a file (12 are enough).
SoundKind ClassifySoundHeader(const uint8_t* head, std::size_t size);

// Reads the first bytes of the file at `path`; Unknown when it cannot.
SoundKind ClassifySoundFile(const std::string& path);

} // namespace zv
