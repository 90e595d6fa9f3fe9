#pragma once
// The sound files the benchmarks measure with, written once beside the
// program and reused by later runs.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "sound/SoundData.h"

namespace zv::bench {

// Size of the big file's data chunk (1 GiB) and its offset (a 44-byte header).
inline constexpr uint32_t kBigDataBytes = uint32_t{1} << 30;
inline constexpr long kBigDataOffset = 44;
// What the children that hold the big file's data warm first (see WarmMemory).
inline constexpr std::size_t kWarmBytes = std::size_t{kBigDataBytes} + (std::size_t{64} << 20);

// A 16-bit stereo 44.1 kHz WAV of `dataBytes` bytes of sound (two tones under
// slow envelopes) at `path`, written unless a file of the right size is
// there. Returns the path, or "" when it cannot be written.
std::string Stereo16Wav(const std::string& path, uint32_t dataBytes);

// A loaded 16-bit stereo sound of `frames` sample frames at `rate` in
// memory, the whole of it in view: `sample(i)` gives frame i's left and
// right samples (-1..1, clamped).
SoundData Stereo16Sound(int32_t frames, int32_t rate, const std::function<std::pair<double, double>(int32_t)>& sample);

// The 1 GiB test file.
std::string BigWav();
// A 12-second test file (to play for 10 s).
std::string PlayWav();

// Reads a file once so that measurements start from the page cache.
void WarmCache(const std::string& path);

}  // namespace zv::bench
