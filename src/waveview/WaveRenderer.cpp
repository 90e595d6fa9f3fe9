#include "waveview/WaveRenderer.h"

#include "common/Numbers.h"
#include "sound/SampleReaders.h"

namespace zv {

namespace {

// The loop bounds shared by both layouts.
struct Sweep {
    double framesPerUnit;
    int32_t viewStart;
    int32_t lastX;
    int32_t increment;
};

// The frame shown at x: rounded half to even, like every conversion here.
inline int32_t FrameAt(const Sweep& s, int32_t x) {
    return RoundLong(x * s.framesPerUnit + s.viewStart);
}

inline float F(int32_t v) { return static_cast<float>(v); }

// `read(frame, first, second)` gives the two traces' values of a frame.
template <typename Reader>
void DrawTwoWith(Canvas& canvas, const Sweep& s, int32_t upper, int32_t lower, const Reader& read) {
    int32_t prevX = 0, prevUpper = 0, prevLower = 0;
    for (int32_t x = 0; x <= s.lastX; x = CheckedAdd(x, s.increment)) {
        double first, second;
        read(FrameAt(s, x), first, second);
        const int32_t lowerOffset = RoundLong(upper * second);
        const int32_t upperOffset = RoundLong(upper * first);
        canvas.Line(F(prevX), F(CheckedAdd(upper, prevUpper)), F(x), F(CheckedAdd(upper, upperOffset)),
                    kUpperWaveColour);
        canvas.Line(F(prevX), F(CheckedAdd(lower, prevLower)), F(x), F(CheckedAdd(lower, lowerOffset)),
                    kLowerWaveColour);
        prevX = x;
        prevUpper = upperOffset;
        prevLower = lowerOffset;
    }
}

template <void (*Read)(const SoundData&, int32_t, double&, double&)>
void DrawTwo(const SoundData& sound, Canvas& canvas, const Sweep& s, int32_t upper, int32_t lower) {
    DrawTwoWith(canvas, s, upper, lower,
                [&sound](int32_t frame, double& first, double& second) { Read(sound, frame, first, second); });
}

template <void (*Read)(const SoundData&, int32_t, double&)>
void DrawOne(const SoundData& sound, Canvas& canvas, const Sweep& s, int32_t centre) {
    int32_t prevX = 0, prevOffset = 0;
    for (int32_t x = 0; x <= s.lastX; x = CheckedAdd(x, s.increment)) {
        double value;
        Read(sound, FrameAt(s, x), value);
        const int32_t offset = RoundLong(centre * value);
        canvas.Line(F(prevX), F(CheckedAdd(centre, prevOffset)), F(x), F(CheckedAdd(centre, offset)),
                    kLowerWaveColour);
        prevX = x;
        prevOffset = offset;
    }
}

void Draw(const SoundData& sound, Canvas& canvas, float width, float height, DrawnChannels channels) {
    const int32_t span = CheckedSub(sound.ViewEnd, sound.ViewStart);
    // Nothing to spread across the box (an empty view, as after loading a
    // 0-byte data chunk) or no box to spread it over: the cleared box is
    // the whole picture, and no error keeps the caller from going on.
    if (span == 0 || width == 0.0f) return;
    const double framesPerUnit = span / static_cast<double>(width);
    const double step = framesPerUnit >= 1.0 ? 1.0 : 1.0 / framesPerUnit;
    Sweep s{framesPerUnit, sound.ViewStart, 0, 0};
    const SampleEncoding encoding = sound.Encoding;
    const bool legacy = encoding == SampleEncoding::Legacy;
    // The wider encodings draw the first two of any number of channels.
    const bool two = legacy ? sound.WavFormat.nChannels == 2 : sound.WavFormat.nChannels >= 2;
    const bool wide = sound.WavFormat.wBitsPerSample == 16;
    // Two channels: upper centre = height / 4 rounded, lower centre three
    // times that (not three quarters of the height rounded). One: height / 2.
    const int32_t upper = RoundLong(height / (two ? 4.0 : 2.0));
    const int32_t lower = two ? CheckedMul(3, upper) : 0;
    s.lastX = RoundLong(width);
    s.increment = RoundLong(step);
    // A reversed view or a negative width gives no forward step: such a
    // loop would never end, so draw nothing.
    if (s.increment < 1) return;
    const int count = sound.WavFormat.nChannels;
    if (count > 2 && !channels.IsDefault() && channels.upper >= 0 && channels.upper < count && channels.lower >= 0 &&
        channels.lower < count) {
        // Two channels chosen of many: the upper and lower centres of a
        // two-channel sound, whatever the encoding.
        const int32_t twoUpper = two ? upper : RoundLong(height / 4.0);
        DrawTwoWith(canvas, s, twoUpper, CheckedMul(3, twoUpper), [&](int32_t frame, double& first, double& second) {
            first = NormalizedSample(sound, frame, channels.upper);
            second = NormalizedSample(sound, frame, channels.lower);
        });
        return;
    }
    if (!legacy) {
        using E = SampleEncoding;
        switch (encoding) {
        case E::Int16:
            if (two) DrawTwo<ReadWideStereo<E::Int16>>(sound, canvas, s, upper, lower);
            else DrawOne<ReadWideMono<E::Int16>>(sound, canvas, s, upper);
            break;
        case E::Int24:
            if (two) DrawTwo<ReadWideStereo<E::Int24>>(sound, canvas, s, upper, lower);
            else DrawOne<ReadWideMono<E::Int24>>(sound, canvas, s, upper);
            break;
        case E::Int32:
            if (two) DrawTwo<ReadWideStereo<E::Int32>>(sound, canvas, s, upper, lower);
            else DrawOne<ReadWideMono<E::Int32>>(sound, canvas, s, upper);
            break;
        case E::Float32:
            if (two) DrawTwo<ReadWideStereo<E::Float32>>(sound, canvas, s, upper, lower);
            else DrawOne<ReadWideMono<E::Float32>>(sound, canvas, s, upper);
            break;
        case E::Float64:
            if (two) DrawTwo<ReadWideStereo<E::Float64>>(sound, canvas, s, upper, lower);
            else DrawOne<ReadWideMono<E::Float64>>(sound, canvas, s, upper);
            break;
        case E::Legacy: break;
        }
    } else if (two) {
        if (wide) DrawTwo<ReadStereo16>(sound, canvas, s, upper, lower);
        else DrawTwo<ReadStereo8>(sound, canvas, s, upper, lower);
    } else {
        if (wide) DrawOne<ReadMono16>(sound, canvas, s, upper);
        else DrawOne<ReadMono8>(sound, canvas, s, upper);
    }
}

}  // namespace

void DrawWaves(const SoundData& sound, Canvas& canvas, float width, float height, DrawnChannels channels) {
    canvas.Clear();
    if (!sound.WavLoaded) return;
    try {
        Draw(sound, canvas, width, height, channels);
    } catch (...) {
        canvas.Flush();
        throw;
    }
    canvas.Flush();
}

} // namespace zv
