#pragma once
// A frame rate in animation frames per second, held exactly as a fraction
// numerator / denominator in lowest terms with a denominator of at least 1:
// 30 is 30/1, the video rate written 29.97 is 30000/1001, 12.5 is 25/2.
// A whole number converts to it implicitly, so a whole rate is passed and
// compared as the plain number it always was. A rate of 0 or below counts
// no frames; the conversions in FrameTime.h say what each does with it.
#include <cstdint>
#include <iosfwd>

namespace zv {

class FrameRate {
public:
    constexpr FrameRate() = default;   // 0 frames per second
    constexpr FrameRate(int32_t framesPerSecond) : numerator_(framesPerSecond) {}

    // numerator / denominator, reduced. Throws DivisionByZeroError for a
    // zero denominator and OverflowError when a reduced term leaves 32 bits.
    static FrameRate Fraction(int64_t numerator, int64_t denominator);

    constexpr int32_t Numerator() const { return numerator_; }
    constexpr int32_t Denominator() const { return denominator_; }
    constexpr bool IsWhole() const { return denominator_ == 1; }
    constexpr bool IsPositive() const { return numerator_ > 0; }

    // The nearest whole number of frames per second, halves to even
    // (30 for 30000/1001, 24 for 24000/1001, 12 for 25/2).
    int64_t Rounded() const;

    friend constexpr bool operator==(FrameRate, FrameRate) = default;

private:
    int32_t numerator_ = 0;
    int32_t denominator_ = 1;
};

// "30" for a whole rate, "30000/1001" otherwise (test and log output).
std::ostream& operator<<(std::ostream& out, FrameRate rate);

} // namespace zv
