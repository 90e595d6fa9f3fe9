#include "marks/LabelImport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zv {

namespace {

// Seconds that fit a mark: well past any sound, small enough that the ms
// and the sample position fit 64 bits comfortably.
constexpr double kMaxSeconds = 1e9;

bool IsUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        uint32_t code = 0;
        if (c < 0x80) { ++i; continue; }
        if ((c & 0xE0) == 0xC0) { extra = 1; code = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; code = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; code = c & 0x07; }
        else return false;
        if (i + extra >= s.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            code = (code << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode.
        if ((extra == 1 && code < 0x80) || (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000) ||
            (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A number of seconds: digits with an optional fraction (a '.' or, as
// some locales write it, a ','), an optional exponent; nothing else.
bool ParseSeconds(std::string_view field, double& seconds) {
    std::string s(field);
    while (!s.empty() && (s.back() == ' ')) s.pop_back();
    std::size_t lead = 0;
    while (lead < s.size() && s[lead] == ' ') ++lead;
    s.erase(0, lead);
    if (s.empty()) return false;
    if (s.find('.') == std::string::npos)
        if (const std::size_t comma = s.find(','); comma != std::string::npos) s[comma] = '.';
    for (const char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
    char* end = nullptr;
    seconds = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(seconds);
}

int64_t Nearest(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

} // namespace

LabelImport ParseAudacityLabels(std::string_view text, int32_t sampleRate) {
    LabelImport result;
    const bool utf8 = IsUtf8(text);
    int lineNumber = 0;
    std::size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;   // a byte-order mark
    while (pos < text.size()) {
        ++lineNumber;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        if (line.front() == '\\') continue;

        const auto fail = [&](const char* reason) {
            result.marks.clear();
            result.badLine = lineNumber;
            result.reason = reason;
            return result;
        };
        const std::size_t tab1 = line.find('\t');
        if (tab1 == std::string_view::npos) return fail("it has no tab between the start and the end");
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        const std::string_view startField = line.substr(0, tab1);
        const std::string_view endField =
            line.substr(tab1 + 1, tab2 == std::string_view::npos ? std::string_view::npos : tab2 - tab1 - 1);
        std::string_view label = tab2 == std::string_view::npos ? std::string_view{} : line.substr(tab2 + 1);
        double start = 0, stop = 0;
        if (!ParseSeconds(startField, start)) return fail("its start is not a number of seconds");
        if (!ParseSeconds(endField, stop)) return fail("its end is not a number of seconds");
        if (start < 0 || stop < 0) return fail("it has a negative time");
        if (start > kMaxSeconds || stop > kMaxSeconds) return fail("its time is too large");
        if (stop < start) return fail("it ends before it starts");

        TrackItem m;
        m.start = Nearest(start * sampleRate);
        m.end = stop == start ? m.start : std::max(m.start, Nearest(stop * sampleRate));
        // Tabs inside the text (a hand-made file) are kept as spaces.
        std::string labelText = utf8 ? std::string(label) : Latin1ToUtf8(label);
        for (char& c : labelText)
            if (c == '\t') c = ' ';
        m.text = std::move(labelText);
        result.marks.push_back(std::move(m));
    }
    return result;
}

} // namespace zv
