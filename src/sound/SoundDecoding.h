#pragma once
// Decoding a compressed sound into the loaded-sound record, as if it had
// been a 16-bit PCM WAV of the same channels and rate: WavFormat says PCM,
// 16 bits, nBlockAlign 2 x channels; the buffer holds the interleaved
// samples (little-endian), NumSamples the decoded frames; Encoding Int16, so
// the first two of any number of channels are drawn. Runs on a worker thread:
// the record it fills is its own until it returns (the window then takes it
// over), and the progress is shared with the thread that shows it.
#include <atomic>
#include <cstdint>
#include <string>

#include "jobs/JobProgress.h"
#include "sound/SoundData.h"
#include "sound/SoundDecoder.h"
#include "sound/WavLoader.h"

namespace zv {

// A decode's progress is a job's: done = sample frames decoded so far,
// total = the file's stated length (0: unknown); Cancel stops it.
using DecodeProgress = JobProgress;

enum class DecodeOutcome { Loaded, Cancelled, Failed };

// Decodes what `decoder` gives into `sound` (which should be a fresh
// record). The length is the stated one whenever the file states one (the
// playback device plays that much): decoding stops there, and a shortfall of
// at most 1 % (an estimated length) is silence; more is a failure. On
// Failed, `reason` says why (a person's words). Memory: the decoded samples
// at 16 bits (while a file of no stated length decodes, the buffer doubles
// as it fills). Never throws.
//
// With an `observer`, a file that states its length is told about as a
// WAV's load tells it (ReadStarts with the stated length's bytes, then the
// bytes decoded so far after each piece), so that its peak summary can be
// made close behind the decode; the buffer then never moves while it is
// decoded into. A file of no stated length is not told about.
DecodeOutcome DecodeSound(SoundData& sound, SoundDecoder& decoder, DecodeProgress& progress,
                          std::string& reason, WavReadObserver* observer = nullptr);

} // namespace zv
