#include "waveview/PeakSummary.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "common/Errors.h"
#include "sound/SampleReaders.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zv {

namespace {

// As the renderer draws them: 8- and 16-bit WAVs two channels only when
// they have exactly two, the other encodings the first two of any number.
bool TwoChannels(const SoundData& sound) {
    return sound.Encoding == SampleEncoding::Legacy ? sound.WavFormat.nChannels == 2 : sound.WavFormat.nChannels >= 2;
}
// Samples laid out as 8- or 16-bit integers in the buffer: scanned straight
// through the bytes. The other encodings go through NormalizedSample.
bool ByteScannable(const SoundData& sound) {
    return sound.Encoding == SampleEncoding::Legacy || sound.Encoding == SampleEncoding::Int16;
}
bool Wide(const SoundData& sound) { return sound.WavFormat.wBitsPerSample == 16; }

// One frame's values, read with the readers the renderer uses for this
// sound. A frame whose byte offset leaves 32 bits reads as the zero line
// (the renderer cannot reach it either).
void ReadFrame(const SoundData& sound, int64_t frame, double& first, double& second) {
    first = second = 0.0;
    if (frame > INT32_MAX) return;
    try {
        const auto f = static_cast<int32_t>(frame);
        if (sound.Encoding != SampleEncoding::Legacy) {
            first = NormalizedSample(sound, f, 0);
            if (TwoChannels(sound)) second = NormalizedSample(sound, f, 1);
        } else if (TwoChannels(sound)) {
            if (Wide(sound)) ReadStereo16(sound, f, first, second);
            else ReadStereo8(sound, f, first, second);
        } else {
            if (Wide(sound)) ReadMono16(sound, f, first);
            else ReadMono8(sound, f, first);
        }
    } catch (const OverflowError&) {
        first = second = 0.0;
    }
}

inline int16_t Le16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8)); }

// The lowest and highest of every one of `lanes` interleaved 16-bit lanes
// over `count` little-endian values from `p` (count a multiple of lanes;
// lanes 1 or 2), joined into out[lane].
void LaneRanges16(const uint8_t* p, std::size_t count, int lanes, PeakSummary::Range* out) {
    std::size_t i = 0;
#if defined(__SSE2__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (count >= 8) {
        __m128i lo = _mm_set1_epi16(32767), hi = _mm_set1_epi16(-32768);
        for (; i + 8 <= count; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
            lo = _mm_min_epi16(lo, v);
            hi = _mm_max_epi16(hi, v);
        }
        alignas(16) int16_t l[8], h[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(l), lo);
        _mm_store_si128(reinterpret_cast<__m128i*>(h), hi);
        // 8 lanes hold 8 / lanes frames' values: lane k is channel k % lanes.
        for (int k = 0; k < 8; ++k) out[k % lanes].Join({l[k], h[k]});
    }
#endif
    for (; i < count; ++i) {
        const int16_t v = Le16(p + 2 * i);
        out[i % static_cast<std::size_t>(lanes)].Join({v, v});
    }
}

// Whole blocks of `block` frames of packed 16-bit values (`lanes` 1 or 2
// interleaved channels), `blocks` in a row from `p`, into out[b * lanes + c].
// Returns false when it cannot (no SSE2): the caller goes block by block.
bool PackedBlocks16(const uint8_t* p, int64_t blocks, int64_t block, int lanes, PeakSummary::Range* out) {
#if defined(__SSE2__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const int64_t values = block * lanes;   // a multiple of 8: blocks are 32 frames or more
    if (values % 8 != 0) return false;
    for (int64_t b = 0; b < blocks; ++b, p += 2 * values) {
        __m128i lo = _mm_set1_epi16(32767), hi = _mm_set1_epi16(-32768);
        for (int64_t i = 0; i < values; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
            lo = _mm_min_epi16(lo, v);
            hi = _mm_max_epi16(hi, v);
        }
        // Fold the eight lanes onto the first pair (or the first lane).
        lo = _mm_min_epi16(lo, _mm_shuffle_epi32(lo, _MM_SHUFFLE(1, 0, 3, 2)));
        hi = _mm_max_epi16(hi, _mm_shuffle_epi32(hi, _MM_SHUFFLE(1, 0, 3, 2)));
        lo = _mm_min_epi16(lo, _mm_shuffle_epi32(lo, _MM_SHUFFLE(2, 3, 0, 1)));
        hi = _mm_max_epi16(hi, _mm_shuffle_epi32(hi, _MM_SHUFFLE(2, 3, 0, 1)));
        if (lanes == 1) {
            lo = _mm_min_epi16(lo, _mm_shufflelo_epi16(lo, _MM_SHUFFLE(2, 3, 0, 1)));
            hi = _mm_max_epi16(hi, _mm_shufflelo_epi16(hi, _MM_SHUFFLE(2, 3, 0, 1)));
        }
        const auto l = static_cast<uint32_t>(_mm_cvtsi128_si32(lo));
        const auto h = static_cast<uint32_t>(_mm_cvtsi128_si32(hi));
        PeakSummary::Range* r = out + b * lanes;
        r[0] = {static_cast<int16_t>(l & 0xffff), static_cast<int16_t>(h & 0xffff)};
        if (lanes == 2) r[1] = {static_cast<int16_t>(l >> 16), static_cast<int16_t>(h >> 16)};
    }
    return true;
#else
    (void)p;
    (void)blocks;
    (void)block;
    (void)lanes;
    (void)out;
    return false;
#endif
}

constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// The lowest and highest of `count` samples of a wide encoding, `stride`
// bytes apart from `p`, as the summary keeps them: exactly what Quantise of
// NormalizedSample gives, without going through doubles for the integers
// (24-bit / 256 and 32-bit / 65536 are the 1/32768 steps; floor is the
// arithmetic shift, ceiling its mirror).
template <SampleEncoding E>
PeakSummary::Range WideRangeOf(const uint8_t* p, int64_t count, int64_t stride) {
    if constexpr (E == SampleEncoding::Int24 || E == SampleEncoding::Int32) {
        int64_t low = INT64_MAX, high = INT64_MIN;
        for (int64_t i = 0; i < count; ++i, p += stride) {
            int64_t v;
            if constexpr (E == SampleEncoding::Int24) {
                // Four bytes at once, the fourth dropped; the last sample of
                // the run (whose fourth byte may lie past the buffer) by its three.
                uint32_t u;
                if (kLittleEndian && i + 1 < count) {
                    std::memcpy(&u, p, 4);
                    u <<= 8;
                } else {
                    u = uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 24;
                }
                v = static_cast<int32_t>(u) >> 8;
            } else
                v = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                         uint32_t{p[3]} << 24);
            low = std::min(low, v);
            high = std::max(high, v);
        }
        constexpr int shift = E == SampleEncoding::Int24 ? 8 : 16;
        const int64_t lowSteps = low >> shift;
        const int64_t highSteps = std::min<int64_t>(-((-high) >> shift), 32767);
        return {static_cast<int16_t>(lowSteps), static_cast<int16_t>(highSteps)};
    } else {
        using T = std::conditional_t<E == SampleEncoding::Float32, float, double>;
        T low = 1, high = -1;
        bool any = false;
        for (int64_t i = 0; i < count; ++i, p += stride) {
            T v;
            std::memcpy(&v, p, sizeof v);
            if (std::isnan(v)) v = 0;   // NaN reads as the zero line
            if (!any || v < low) low = v;
            if (!any || v > high) high = v;
            any = true;
        }
        if (!any) return {};
        const auto clamp = [](T v) { return static_cast<double>(v < -1 ? -1 : v > 1 ? 1 : v); };
        return {PeakSummary::Quantise(clamp(low), false), PeakSummary::Quantise(clamp(high), true)};
    }
}

// WideRangeOf for `blocks` whole blocks of `block` frames in a row, into
// out[b * channels] (one channel's entries).
template <SampleEncoding E>
void WideBlocksOf(const uint8_t* p, int64_t blocks, int64_t block, int64_t stride, int channels,
                  PeakSummary::Range* out) {
    for (int64_t b = 0; b < blocks; ++b, p += block * stride) out[b * channels] = WideRangeOf<E>(p, block, stride);
}

// 24-bit samples of one or two channels (the second `width` 3 bytes after
// the first), whole blocks in a row, both channels in one sweep: as
// WideRangeOf, into out[b * channels + c].
void Int24Blocks(const uint8_t* p, int64_t blocks, int64_t block, int64_t stride, int channels,
                 PeakSummary::Range* out) {
    const auto sample = [](const uint8_t* q, bool four) {
        uint32_t u;
        if (kLittleEndian && four) {
            std::memcpy(&u, q, 4);
            u <<= 8;
        } else {
            u = uint32_t{q[0]} << 8 | uint32_t{q[1]} << 16 | uint32_t{q[2]} << 24;
        }
        return static_cast<int32_t>(u) >> 8;
    };
    const auto steps = [](int32_t low, int32_t high) {
        return PeakSummary::Range{static_cast<int16_t>(low >> 8),
                                  static_cast<int16_t>(std::min<int32_t>(-((-high) >> 8), 32767))};
    };
    for (int64_t b = 0; b < blocks; ++b) {
        const uint8_t* q = p + b * block * stride;
        int32_t lo0 = INT32_MAX, hi0 = INT32_MIN, lo1 = INT32_MAX, hi1 = INT32_MIN;
        for (int64_t i = 0; i < block; ++i, q += stride) {
            // A block's last frame by three bytes: its fourth may lie past the buffer.
            const bool four = i + 1 < block;
            const int32_t v0 = sample(q, channels == 2 || four);
            lo0 = std::min(lo0, v0);
            hi0 = std::max(hi0, v0);
            if (channels == 2) {
                const int32_t v1 = sample(q + 3, four);
                lo1 = std::min(lo1, v1);
                hi1 = std::max(hi1, v1);
            }
        }
        out[b * channels] = steps(lo0, hi0);
        if (channels == 2) out[b * channels + 1] = steps(lo1, hi1);
    }
}

void WideBlocks(SampleEncoding e, const uint8_t* p, int64_t blocks, int64_t block, int64_t stride, int channels,
                PeakSummary::Range* out) {
    switch (e) {
    case SampleEncoding::Int24: WideBlocksOf<SampleEncoding::Int24>(p, blocks, block, stride, channels, out); break;
    case SampleEncoding::Int32: WideBlocksOf<SampleEncoding::Int32>(p, blocks, block, stride, channels, out); break;
    case SampleEncoding::Float32: WideBlocksOf<SampleEncoding::Float32>(p, blocks, block, stride, channels, out); break;
    case SampleEncoding::Float64: WideBlocksOf<SampleEncoding::Float64>(p, blocks, block, stride, channels, out); break;
    case SampleEncoding::Int16:
    case SampleEncoding::Legacy: break;
    }
}

PeakSummary::Range WideRange(SampleEncoding e, const uint8_t* p, int64_t count, int64_t stride) {
    switch (e) {
    case SampleEncoding::Int24: return WideRangeOf<SampleEncoding::Int24>(p, count, stride);
    case SampleEncoding::Int32: return WideRangeOf<SampleEncoding::Int32>(p, count, stride);
    case SampleEncoding::Float32: return WideRangeOf<SampleEncoding::Float32>(p, count, stride);
    case SampleEncoding::Float64: return WideRangeOf<SampleEncoding::Float64>(p, count, stride);
    case SampleEncoding::Int16:
    case SampleEncoding::Legacy: break;
    }
    return {};
}

} // namespace

int16_t PeakSummary::Quantise(double value, bool up) {
    const double steps = value * 32768.0;
    const double r = up ? std::ceil(steps) : std::floor(steps);
    if (!(r > -32768.0)) return -32768;   // NaN as well: the low edge
    if (r > 32767.0) return 32767;
    return static_cast<int16_t>(r);
}

void PeakSummary::Clear() {
    sound_ = nullptr;
    ready_ = false;
    channels_ = 0;
    frames_ = 0;
    block_ = 0;
    align_ = size_ = wholeFrames_ = heldBlocks_ = done_ = tailFrom_ = 0;
    levels_.clear();
    levels_.shrink_to_fit();
    raised_.clear();
    columns_.clear();
}

std::size_t PeakSummary::Bytes() const {
    std::size_t bytes = 0;
    for (const auto& level : levels_) bytes += level.capacity() * sizeof(Range);
    return bytes;
}

PeakSummary::Range PeakSummary::ScanSamples(int channel, int64_t from, int64_t to) const {
    Range r;
    const SoundData& s = *sound_;
    const int64_t align = s.WavFormat.nBlockAlign;
    const int64_t size = static_cast<int64_t>(s.size());
    if (!ByteScannable(s)) {
        for (int64_t f = from; f < to; ++f) {
            double first, second;
            ReadFrame(s, f, first, second);
            const double v = channel == 0 ? first : second;
            r.Join({Quantise(v, false), Quantise(v, true)});
        }
        return r;
    }
    const bool wide = Wide(s);
    // Where this channel's sample lies in a frame, and its width, as the
    // readers read it (a one-channel reader reads the first channel).
    const int64_t at = channel * (wide ? 2 : 1);
    const int64_t width = wide ? 2 : 1;
    // 16-bit frames wholly inside the buffer: straight through the bytes.
    if (wide && from >= 0 && from < to && (to - 1) * align + at + width <= size) {
        const uint8_t* p = s.data() + from * align + at;
        int16_t low = 32767, high = -32768;
        for (int64_t f = from; f < to; ++f, p += align) {
            const int16_t v = Le16(p);
            low = std::min(low, v);
            high = std::max(high, v);
        }
        return {low, high};
    }
    for (int64_t f = from; f < to; ++f) {
        const int64_t offset = f * align + at;
        int16_t v;
        if (offset >= 0 && offset + width <= size && f <= INT32_MAX) {
            v = wide ? Le16(s.data() + offset) : static_cast<int16_t>((s.data()[offset] - 128) * 256);
        } else {
            double first, second;
            ReadFrame(s, f, first, second);
            v = Quantise(channel == 0 ? first : second, false);
        }
        r.Join({v, v});
    }
    return r;
}

void PeakSummary::Build(const SoundData& sound) {
    Clear();
    if (!sound.WavLoaded) return;
    Begin(sound, sound.size());
    Finish();
}

void PeakSummary::Begin(const SoundData& sound, std::size_t heldBytes) {
    Clear();
    if (sound.NumSamples <= 0 || sound.WavFormat.nBlockAlign <= 0) return;
    sound_ = &sound;
    channels_ = TwoChannels(sound) ? 2 : 1;
    frames_ = sound.NumSamples;
    align_ = sound.WavFormat.nBlockAlign;
    size_ = static_cast<int64_t>(sound.size());
    wholeFrames_ = std::min<int64_t>(frames_, size_ / align_);
    // Within 1/16 of the sample bytes: 4/3 x channels x sizeof(Range) bytes
    // per first-level block at most.
    const double wanted = 16.0 * 4.0 / 3.0 * channels_ * sizeof(Range) / static_cast<double>(align_);
    block_ = 32;
    while (static_cast<double>(block_) < wanted) block_ *= 2;

    // The blocks that hold a byte of the file; past them every byte is zero.
    const auto held = static_cast<int64_t>(std::min<std::size_t>(heldBytes, sound.size()));
    const int64_t heldFrames = std::min(frames_, (held + align_ - 1) / align_);
    heldBlocks_ = (heldFrames + block_ - 1) / block_;
    tailFrom_ = std::min(frames_, heldBlocks_ * block_);
    // An 8-bit sample of byte 0 is the lowest value; any other encoding reads 0 from zero bytes.
    const bool eightBit = sound.Encoding == SampleEncoding::Legacy && !Wide(sound);
    const int16_t zero = eightBit ? int16_t{-32768} : int16_t{0};
    tail_[0] = tail_[1] = Range{zero, zero};
    levels_.emplace_back(static_cast<std::size_t>(heldBlocks_ * channels_));
    // Each level above holds one block per kFan below, up to a single block.
    for (int64_t blocks = heldBlocks_; blocks > 1;) {
        blocks = (blocks + kFan - 1) / kFan;
        levels_.emplace_back(static_cast<std::size_t>(blocks * channels_));
    }
    raised_.assign(levels_.size(), 0);
}

void PeakSummary::Add(std::size_t landedBytes) {
    if (!sound_ || ready_) return;
    const int64_t landedFrames = static_cast<int64_t>(landedBytes) / align_;
    SummariseBlocks(std::min(heldBlocks_, landedFrames / block_));
    RaiseLevels(false);
}

void PeakSummary::Finish() {
    if (!sound_ || ready_) return;
    SummariseBlocks(heldBlocks_);
    RaiseLevels(true);
    columns_.clear();
    ready_ = true;
}

void PeakSummary::RaiseLevels(bool all) {
    const auto channels = static_cast<std::size_t>(channels_);
    raised_[0] = done_;
    for (std::size_t k = 1; k < levels_.size(); ++k) {
        const std::vector<Range>& below = levels_[k - 1];
        std::vector<Range>& level = levels_[k];
        const auto belowBlocks = static_cast<int64_t>(below.size() / channels);
        const auto blocks = static_cast<int64_t>(level.size() / channels);
        // A block is made once, when every block under it is final.
        const int64_t ready = all ? blocks : raised_[k - 1] / kFan;
        for (int64_t b = raised_[k]; b < ready; ++b) {
            Range* out = &level[static_cast<std::size_t>(b) * channels];
            const int64_t last = std::min(belowBlocks, (b + 1) * kFan);
            for (int64_t i = b * kFan; i < last; ++i)
                for (std::size_t c = 0; c < channels; ++c) out[c].Join(below[static_cast<std::size_t>(i) * channels + c]);
        }
        raised_[k] = std::max(raised_[k], ready);
    }
}

void PeakSummary::SummariseBlocks(int64_t end) {
    const SoundData& sound = *sound_;
    std::vector<Range>& first = levels_[0];
    const bool wide = Wide(sound);
    // Frames packed as 16-bit values of the drawn channels only: read many
    // at once (two-channel 16-bit with 4-byte frames, one-channel 16-bit
    // with 2-byte frames).
    const bool packed = ByteScannable(sound) && wide && align_ == 2 * channels_;
    const SampleEncoding encoding = sound.Encoding;
    const bool wider = !ByteScannable(sound);
    const int64_t bytes = wider ? detail::BytesPerSample(encoding) : 0;
    // Whole blocks wholly inside the buffer, in one sweep (per channel).
    if (packed) {
        const int64_t whole = std::min(end, wholeFrames_ / block_);
        if (done_ < whole && PackedBlocks16(sound.data() + done_ * block_ * align_, whole - done_, block_, channels_,
                                            &first[static_cast<std::size_t>(done_ * channels_)]))
            done_ = whole;
    }
    if (encoding == SampleEncoding::Int24 && channels_ * bytes <= align_) {
        const int64_t whole = std::min(end, wholeFrames_ / block_);
        if (done_ < whole)
            Int24Blocks(sound.data() + done_ * block_ * align_, whole - done_, block_, align_, channels_,
                        &first[static_cast<std::size_t>(done_ * channels_)]);
        done_ = std::max(done_, whole);
    }
    if (wider && channels_ * bytes <= align_) {
        const int64_t whole = std::min(end, wholeFrames_ / block_);
        for (int c = 0; c < channels_ && done_ < whole; ++c)
            WideBlocks(encoding, sound.data() + done_ * block_ * align_ + c * bytes, whole - done_, block_, align_,
                       channels_, &first[static_cast<std::size_t>(done_ * channels_ + c)]);
        done_ = std::max(done_, whole);
    }
    for (int64_t b = done_; b < end; ++b) {
        Range* out = &first[static_cast<std::size_t>(b * channels_)];
        const int64_t from = b * block_;
        const int64_t to = std::min(frames_, from + block_);
        const int64_t inside = std::clamp<int64_t>(wholeFrames_ - from, 0, to - from);
        if (packed && inside > 0) {
            LaneRanges16(sound.data() + from * align_, static_cast<std::size_t>(inside * channels_), channels_, out);
            if (from + inside < to)
                for (int c = 0; c < channels_; ++c) out[c].Join(ScanSamples(c, from + inside, to));
        } else if (wider && inside > 0 && channels_ * bytes <= align_) {
            for (int c = 0; c < channels_; ++c) {
                out[c] = WideRange(encoding, sound.data() + from * align_ + c * bytes, inside, align_);
                if (from + inside < to) out[c].Join(ScanSamples(c, from + inside, to));
            }
        } else {
            for (int c = 0; c < channels_; ++c) out[c] = ScanSamples(c, from, to);
        }
    }
    done_ = std::max(done_, end);
}

PeakSummary::Range PeakSummary::Query(int channel, int64_t from, int64_t to) const {
    if (!ready_ || channel < 0 || channel >= channels_) return {};
    Range all[2];
    QueryAll(from, to, all);
    return all[channel];
}

void PeakSummary::QueryTail(int64_t from, int64_t to, Range* out) const {
    const int64_t zeros = std::min(to, wholeFrames_);
    if (from < zeros)
        for (int c = 0; c < channels_; ++c) out[c].Join(tail_[c]);
    for (int64_t f = std::max(from, wholeFrames_); f < to; ++f)
        for (int c = 0; c < channels_; ++c) out[c].Join(ScanSamples(c, f, f + 1));
}

void PeakSummary::QueryAll(int64_t from, int64_t to, Range* out) const {
    if (!ready_) return;
    for (int c = 0; c < channels_; ++c) out[c] = Range{};
    from = std::max<int64_t>(from, 0);
    to = std::min(to, frames_);
    if (from >= to) return;
    // Past the blocks of the file's bytes: zero bytes, not scanned.
    if (to > tailFrom_) {
        QueryTail(std::max(from, tailFrom_), to, out);
        to = tailFrom_;
        if (from >= to) return;
    }
    // Frames packed as 16-bit values of the drawn channels only, wholly in
    // the buffer: every channel in one pass, many values at once.
    const bool packed = ByteScannable(*sound_) && Wide(*sound_) && align_ == 2 * channels_;
    const auto scan = [&](int64_t a, int64_t b) {
        if (a >= b) return;
        if (packed && b <= wholeFrames_)
            LaneRanges16(sound_->data() + a * align_, static_cast<std::size_t>((b - a) * channels_), channels_, out);
        else
            for (int c = 0; c < channels_; ++c) out[c].Join(ScanSamples(c, a, b));
    };
    // Samples up to the first block boundary and after the last one.
    const int64_t head = std::min(to, (from + block_ - 1) / block_ * block_);
    if (head >= to) {
        scan(from, to);
        return;
    }
    const int64_t tail = std::max(head, to / block_ * block_);
    scan(from, head);
    scan(tail, to);
    // Whole blocks [i, j) of level k: single blocks at both ends until both
    // ends fall on the next level's boundaries, then up a level.
    int64_t i = head / block_, j = tail / block_;
    const auto take = [&](std::size_t level, int64_t index) {
        const Range* r = &levels_[level][static_cast<std::size_t>(index * channels_)];
        for (int c = 0; c < channels_; ++c) out[c].Join(r[c]);
    };
    for (std::size_t level = 0; i < j; ++level) {
        if (level + 1 == levels_.size() || j - i < 2 * kFan) {
            for (; i < j; ++i) take(level, i);
            break;
        }
        for (; i % kFan != 0; ++i) take(level, i);
        for (; j % kFan != 0; --j) take(level, j - 1);
        i /= kFan;
        j /= kFan;
    }
}

const std::vector<PeakSummary::Range>& PeakSummary::Columns(int64_t start, int64_t span, int columns) const {
    if (!ready_ || columns < 1) {
        columns_.clear();
        return columns_;
    }
    if (!columns_.empty() && columnsKey_.start == start && columnsKey_.span == span && columnsKey_.columns == columns)
        return columns_;
    columns_.assign(static_cast<std::size_t>(columns) * 2, Range{});
    const double framesPerColumn = static_cast<double>(span) / columns;
    int64_t from = start;
    for (int c = 0; c < columns; ++c) {
        const int64_t to = start + static_cast<int64_t>(std::floor((c + 1) * framesPerColumn));
        QueryAll(from, to, &columns_[static_cast<std::size_t>(c) * 2]);
        from = to;
    }
    columnsKey_ = {start, span, columns};
    return columns_;
}

} // namespace zv
