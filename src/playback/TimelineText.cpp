#include "playback/TimelineText.h"

#include <charconv>
#include <cmath>
#include <limits>

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

template <typename Char>
double LeadingNumber(std::basic_string_view<Char> text) {
    BlankSkipper<Char> in(text);
    if (in.Peek() == Char('&')) {
        in.Next();
        const Char kind = in.Peek();
        if (kind == Char('H') || kind == Char('h')) { in.Next(); return Radix(in, 16); }
        if (kind == Char('O') || kind == Char('o')) { in.Next(); return Radix(in, 8); }
        return 0.0;
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
    if (!digits) return 0.0;
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
    return negative ? -value : value;
}

int16_t FrameRateOf(double number, int16_t previous) {
    try {
        return RoundInteger(number);
    } catch (const OverflowError&) {
        return previous;
    }
}

void AppendInt(std::string& out, int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

} // namespace

double TimelineLeadingNumber(std::u16string_view text) { return LeadingNumber(text); }
double TimelineLeadingNumber(std::string_view text) { return LeadingNumber(text); }

int16_t TimelineFrameRate(std::u16string_view text, int16_t previous) {
    return FrameRateOf(LeadingNumber(text), previous);
}
int16_t TimelineFrameRate(std::string_view text, int16_t previous) {
    return FrameRateOf(LeadingNumber(text), previous);
}

int32_t TimelineFrameOf(FrameRate rate, int32_t ms) { return FrameFloor(ms, rate); }

int32_t TimelineSelectedTenths(int32_t selStartMs, int32_t selEndMs) {
    // A 32-bit difference has at most as many tenths: it fits.
    return static_cast<int32_t>(TenthsNearest(CheckedSub(selEndMs, selStartMs)));
}

void TimelineStartCaption(std::string& out, FrameRate rate, int32_t selStartMs) {
    const int32_t frame = TimelineFrameOf(rate, selStartMs);
    out.assign("Start: ");
    AppendInt(out, frame);
}

void TimelineEndCaption(std::string& out, FrameRate rate, int32_t selEndMs) {
    const int32_t frame = TimelineFrameOf(rate, selEndMs);
    out.assign("End: ");
    AppendInt(out, frame);
}

void TimelineSelectedCaption(std::string& out, FrameRate rate, int32_t selStartMs,
                             int32_t selEndMs) {
    const int32_t tenths = TimelineSelectedTenths(selStartMs, selEndMs);
    const int32_t frames = CheckedSub(TimelineFrameOf(rate, selEndMs),
                                      TimelineFrameOf(rate, selStartMs));
    out.assign("Selected:(Seconds:");
    // Written as a number is printed: no trailing ".0", a leading "0" before
    // the point and a minus sign only when the rounded value is below zero.
    const int64_t t = tenths;
    const int64_t whole = (t < 0 ? -t : t) / 10, decimal = (t < 0 ? -t : t) % 10;
    if (t < 0) out += '-';
    AppendInt(out, whole);
    if (decimal != 0) {
        out += '.';
        out += static_cast<char>('0' + decimal);
    }
    out.append(" / Frames:");
    AppendInt(out, frames);
    out += ')';
}

} // namespace zv
