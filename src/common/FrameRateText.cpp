#include "common/FrameRateText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "common/FrameTime.h"
#include "common/Numbers.h"

namespace zv {
namespace {

template <typename Char>
class BlankSkipper {
public:
    explicit BlankSkipper(std::basic_string_view<Char> text) : text_(text) { Skip(); }
    // The current character, or 0 at the end.
    Char Peek() const { return pos_ < text_.size() ? text_[pos_] : Char(0); }
    void Next() { ++pos_; Skip(); }

private:
    void Skip() {
        while (pos_ < text_.size() &&
               (text_[pos_] == Char(' ') || text_[pos_] == Char('\t') || text_[pos_] == Char('\n')))
            ++pos_;
    }
    std::basic_string_view<Char> text_;
    size_t pos_ = 0;
};

template <typename Char>
bool IsDigit(Char c) { return c >= Char('0') && c <= Char('9'); }

template <typename Char>
int HexDigit(Char c, int radix) {
    int d = -1;
    if (c >= Char('0') && c <= Char('9')) d = static_cast<int>(c - Char('0'));
    else if (c >= Char('a') && c <= Char('f')) d = static_cast<int>(c - Char('a')) + 10;
    else if (c >= Char('A') && c <= Char('F')) d = static_cast<int>(c - Char('A')) + 10;
    return d < radix ? d : -1;
}

template <typename Char>
double Radix(BlankSkipper<Char>& in, int radix) {
    double value = 0.0;
    for (int d; (d = HexDigit(in.Peek(), radix)) >= 0; in.Next()) value = value * radix + d;
    return value;
}

// The leading number of a text: its value, and for a decimal number the
// text it was read from (digits, at most one ".", then "e" and a signed
// exponent; no sign), so that it can also be taken exactly.
struct LeadingText {
    double value = 0.0;
    std::string decimal;   // empty for &H / &O numbers and for no number
    bool negative = false;
};

template <typename Char>
LeadingText ScanLeadingNumber(std::basic_string_view<Char> text) {
    BlankSkipper<Char> in(text);
    LeadingText result;
    if (in.Peek() == Char('&')) {
        in.Next();
        const Char kind = in.Peek();
        if (kind == Char('H') || kind == Char('h')) { in.Next(); result.value = Radix(in, 16); }
        if (kind == Char('O') || kind == Char('o')) { in.Next(); result.value = Radix(in, 8); }
        return result;
    }

    // The number is copied, blanks removed, into plain ASCII for from_chars;
    // a frame-rate text is short, so this stays in the small-string buffer.
    std::string number;
    bool negative = false;
    if (in.Peek() == Char('+') || in.Peek() == Char('-')) {
        negative = in.Peek() == Char('-');
        in.Next();
    }
    // Decimal magnitude of the first significant digit, to tell an overflow
    // from an underflow when from_chars reports the value out of range.
    long long magnitude = 0;
    bool significant = false, point = false, digits = false;
    for (;; in.Next()) {
        const Char c = in.Peek();
        if (IsDigit(c)) {
            digits = true;
            if (c != Char('0')) significant = true;
            if (!point && significant) ++magnitude;
            if (point && !significant) --magnitude;
            number += static_cast<char>(c);
        } else if (c == Char('.') && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    if (!digits) return result;
    const Char e = in.Peek();
    if (e == Char('E') || e == Char('e') || e == Char('D') || e == Char('d')) {
        in.Next();
        bool expNegative = false;
        if (in.Peek() == Char('+') || in.Peek() == Char('-')) {
            expNegative = in.Peek() == Char('-');
            in.Next();
        }
        long long exponent = 0;
        bool expDigits = false;
        for (; IsDigit(in.Peek()); in.Next()) {
            expDigits = true;
            if (exponent < 100000) exponent = exponent * 10 + static_cast<int>(in.Peek() - Char('0'));
        }
        if (expDigits) {
            number += 'e';
            number += std::to_string(expNegative ? -exponent : exponent);
            magnitude += expNegative ? -exponent : exponent;
        }
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        value = (significant && magnitude > 0) ? std::numeric_limits<double>::infinity() : 0.0;
    result.value = negative ? -value : value;
    result.negative = negative;
    result.decimal = std::move(number);
    return result;
}

template <typename Char>
double LeadingNumber(std::basic_string_view<Char> text) { return ScanLeadingNumber(text).value; }

// round-half-even(number x 1000) of a decimal text as ScanLeadingNumber
// gives it, worked on its digits, so "29.97" is exactly 29970 and halves of
// a thousandth go to even. nullopt when the thousandths take over 15 digits.
std::optional<int64_t> ThousandthsOf(const std::string& number) {
    std::string digits;
    int64_t fractionDigits = 0, exponent = 0;
    bool point = false;
    size_t i = 0;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        if (number[i] == '.') {
            point = true;
            continue;
        }
        digits += number[i];
        if (point) ++fractionDigits;
    }
    if (i < number.size()) std::from_chars(number.data() + i + 1, number.data() + number.size(), exponent);
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    digits.erase(0, first);

    // The thousandths are digits x 10^shift: a whole part and the digits
    // cut off behind it, which decide the rounding.
    constexpr size_t kMostDigits = 15;
    const int64_t shift = exponent - fractionDigits + 3;
    std::string whole, rest;
    if (shift >= 0) {
        if (digits.size() + static_cast<size_t>(shift) > kMostDigits) return std::nullopt;
        whole = digits + std::string(static_cast<size_t>(shift), '0');
    } else {
        const uint64_t cut = static_cast<uint64_t>(-shift);
        if (cut < digits.size()) {
            whole = digits.substr(0, digits.size() - cut);
            rest = digits.substr(digits.size() - cut);
        } else if (cut == digits.size()) {
            rest = digits;
        } else {
            rest = "0";   // below half a thousandth
        }
        if (whole.size() > kMostDigits) return std::nullopt;
    }
    int64_t q = 0;
    for (const char c : whole) q = q * 10 + (c - '0');
    if (!rest.empty()) {
        const bool beyondHalf = rest.find_first_not_of('0', 1) != std::string::npos;
        if (rest[0] > '5' || (rest[0] == '5' && (beyondHalf || q % 2 != 0))) ++q;
    }
    return q;
}

template <typename Char>
FrameRate ExactFrameRateOf(std::basic_string_view<Char> text, FrameRate previous) {
    const LeadingText number = ScanLeadingNumber(text);
    // Whatever rounds outside 16 bits is refused as it always was; this
    // also keeps the digit work below small.
    if (!(std::fabs(number.value) < 32768.5)) return previous;
    FrameRate rate;
    if (number.decimal.empty()) {
        rate = FrameRate(static_cast<int32_t>(number.value));   // &H / &O: whole, or no number
    } else {
        const std::optional<int64_t> exact = ThousandthsOf(number.decimal);
        if (!exact) return previous;
        rate = FrameRate::FromThousandths(number.negative ? -*exact : *exact);
    }
    const int64_t whole = rate.Rounded();
    if (whole < std::numeric_limits<int16_t>::min() || whole > std::numeric_limits<int16_t>::max())
        return previous;
    return rate;
}

int16_t FrameRateOf(double number, int16_t previous) {
    try {
        return RoundInteger(number);
    } catch (const OverflowError&) {
        return previous;
    }
}

} // namespace

double TimelineLeadingNumber(std::u16string_view text) { return LeadingNumber(text); }

int16_t TimelineFrameRate(std::u16string_view text, int16_t previous) {
    return FrameRateOf(LeadingNumber(text), previous);
}

FrameRate TimelineExactFrameRate(std::u16string_view text, FrameRate previous) {
    return ExactFrameRateOf(text, previous);
}

} // namespace zv
