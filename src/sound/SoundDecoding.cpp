#include "sound/SoundDecoding.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <string>

#include "common/Errors.h"
#include "sound/WavLoader.h"

namespace zv {

namespace {

// Frames decoded per call: small enough to answer a cancel at once.
constexpr int64_t kPieceFrames = 16384;
// With no stated length, the buffer starts at this many frames and doubles.
constexpr int64_t kFirstGuessFrames = 1 << 20;

// Moves the bytes into a larger block (a length the file understated).
bool Grow(SampleBuffer& buffer, std::size_t used, std::size_t wanted) {
    SampleBuffer bigger;
    if (!bigger.Allocate(wanted, used)) return false;
    if (used > 0) std::memcpy(bigger.data(), buffer.data(), used);
    buffer = std::move(bigger);
    return true;
}

// The record's format for `frames` decoded 16-bit frames of `channels`
// channels at `rate` (WavLoaded is left as it is).
void Describe(SoundData& sound, int channels, int32_t rate, int64_t frames) {
    const auto frameBytes = static_cast<std::size_t>(2 * channels);
    WaveFormat& f = sound.WavFormat;
    f.wFormatTag = 1;
    f.nChannels = static_cast<int16_t>(channels);
    f.nSamplesPerSec = rate;
    f.nBlockAlign = static_cast<int16_t>(frameBytes);
    f.nAvgBytesPerSec = static_cast<int32_t>(std::min<int64_t>(int64_t{rate} * f.nBlockAlign, INT32_MAX));
    f.wBitsPerSample = 16;
    f.cbSize = 0;
    sound.SubChunk = ChunkInfo{};
    sound.SubChunk.cksize = static_cast<uint32_t>(
        std::min<uint64_t>(static_cast<uint64_t>(frames) * frameBytes, UINT32_MAX));
    sound.Encoding = SampleEncoding::Int16;
    sound.NumSamples = static_cast<int32_t>(std::min<int64_t>(frames, INT32_MAX));
    sound.ViewStart = 0;
    sound.ViewEnd = sound.NumSamples;
}

}  // namespace

DecodeOutcome DecodeSound(SoundData& sound, SoundDecoder& decoder, DecodeProgress& progress,
                          std::string& reason, WavReadObserver* observer) {
    sound.WavLoaded = false;
    try {
        const int channels = decoder.Channels();
        const int32_t rate = decoder.SampleRate();
        if (channels < 1 || channels > 255 || rate <= 0) {
            reason = "The file holds no sound.";
            return DecodeOutcome::Failed;
        }
        const auto frameBytes = static_cast<std::size_t>(2 * channels);
        const int64_t stated = std::max<int64_t>(decoder.StatedFrames(), 0);
        progress.SetTotal(stated);
        // The stated length, a little over for decoders that estimate it.
        int64_t capacity = stated > 0 ? std::min<int64_t>(stated + stated / 64 + kPieceFrames, INT32_MAX)
                                      : kFirstGuessFrames;
        const std::size_t bytes = static_cast<std::size_t>(capacity) * frameBytes;
        if (!sound.Samples.Allocate(bytes, bytes)) {
            reason = kMsgNoMemory;
            return DecodeOutcome::Failed;
        }
        // Told only while the buffer cannot move: a stated length that the
        // capacity holds with one piece more (the buffer then never grows).
        if (stated <= 0 || stated + kPieceFrames > capacity) observer = nullptr;
        if (observer) {
            Describe(sound, channels, rate, stated);
            observer->ReadStarts(sound, static_cast<std::size_t>(stated) * frameBytes);
        }
        int64_t frames = 0;
        for (;;) {
            if (progress.Cancelled()) return DecodeOutcome::Cancelled;
            // Room for one more piece; the decoder writes straight into the
            // buffer (2-byte aligned: its size is a whole number of frames).
            if (frames + kPieceFrames > capacity) {
                capacity = std::min<int64_t>(std::max(capacity * 2, frames + kPieceFrames),
                                             int64_t{INT32_MAX} + kPieceFrames);
                if (!Grow(sound.Samples, static_cast<std::size_t>(frames) * frameBytes,
                          static_cast<std::size_t>(capacity) * frameBytes)) {
                    reason = kMsgNoMemory;
                    return DecodeOutcome::Failed;
                }
            }
            auto* out = reinterpret_cast<int16_t*>(sound.Samples.data() + static_cast<std::size_t>(frames) * frameBytes);
            // The playback device plays the stated length and no further:
            // the picture ends there too.
            const int64_t want = stated > 0 ? std::min(kPieceFrames, stated - frames) : kPieceFrames;
            if (want <= 0) break;
            const int64_t got = decoder.Read(out, want);
            if (got <= 0) break;
            if constexpr (std::endian::native == std::endian::big) {
                // The buffer holds little-endian samples, as a WAV's data chunk.
                const std::size_t values = static_cast<std::size_t>(got) * static_cast<std::size_t>(channels);
                for (std::size_t i = 0; i < values; ++i) {
                    const auto u = static_cast<uint16_t>(out[i]);
                    out[i] = static_cast<int16_t>(static_cast<uint16_t>(u << 8 | u >> 8));
                }
            }
            frames += got;
            if (frames > INT32_MAX) {
                reason = kMsgTooManyFrames;
                return DecodeOutcome::Failed;
            }
            progress.SetDone(frames);
            if (observer) observer->BytesLanded(static_cast<std::size_t>(frames) * frameBytes);
        }
        if (stated > 0 && frames < stated) {
            // A length the decoder only estimated (MP3 without an index) may
            // be a little long: silence (the buffer's zeros) up to it. Much
            // less than stated is a file cut short or lying about its size.
            if (stated - frames > stated / 100) {
                reason = "The file ends before the length it states (" + std::to_string(frames) + " of " +
                         std::to_string(stated) + " sample frames).";
                return DecodeOutcome::Failed;
            }
            frames = stated;
            if (observer) observer->BytesLanded(static_cast<std::size_t>(frames) * frameBytes);
        }
        if (frames == 0) {
            reason = "The file holds no sound.";
            return DecodeOutcome::Failed;
        }
        sound.Samples.Shrink(static_cast<std::size_t>(frames) * frameBytes);
        Describe(sound, channels, rate, frames);
        sound.WavLoaded = true;
        return DecodeOutcome::Loaded;
    } catch (const ZorvaneError& e) {
        reason = e.what();
    } catch (const std::exception&) {
        reason = kMsgNoMemory;
    }
    sound.WavLoaded = false;
    return DecodeOutcome::Failed;
}

} // namespace zv
