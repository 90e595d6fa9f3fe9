#include "dialogue/SpokenText.h"

#include <cctype>
#include <sstream>

#include "common/TextCase.h"

namespace zv {

namespace {

const char* const kOnes[] = {"zero",    "one",     "two",       "three",    "four",    "five",    "six",
                             "seven",   "eight",   "nine",      "ten",      "eleven",  "twelve",  "thirteen",
                             "fourteen", "fifteen", "sixteen",  "seventeen", "eighteen", "nineteen"};
const char* const kTens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};

std::string BelowThousand(uint64_t n) {
    std::string out;
    if (n >= 100) {
        out = std::string(kOnes[n / 100]) + " hundred";
        n %= 100;
        if (n == 0) return out;
        out += ' ';
    }
    if (n < 20) return out + kOnes[n];
    out += kTens[n / 10];
    if (n % 10 != 0) out += std::string(" ") + kOnes[n % 10];
    return out;
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// "1999" -> "nineteen ninety nine", "2026" -> "twenty twenty six",
// "2005" -> "two thousand five", "1900" -> "nineteen hundred".
std::string YearInWords(uint64_t year) {
    const uint64_t high = year / 100, low = year % 100;
    if (year >= 2000 && year < 2010) return NumberInWords(year);
    if (low == 0) return NumberInWords(high) + " hundred";
    if (low < 10) return NumberInWords(high) + " oh " + NumberInWords(low);
    return NumberInWords(high) + " " + NumberInWords(low);
}

std::string OrdinalInWords(uint64_t n) {
    std::string words = NumberInWords(n);
    static const std::pair<const char*, const char*> endings[] = {
        {"one", "first"}, {"two", "second"}, {"three", "third"}, {"five", "fifth"}, {"eight", "eighth"},
        {"nine", "ninth"}, {"twelve", "twelfth"}};
    for (const auto& [plain, ordinal] : endings) {
        const std::string p = plain;
        if (words.size() >= p.size() && words.compare(words.size() - p.size(), p.size(), p) == 0 &&
            (words.size() == p.size() || words[words.size() - p.size() - 1] == ' ')) {
            return words.substr(0, words.size() - p.size()) + ordinal;
        }
    }
    if (!words.empty() && words.back() == 'y') return words.substr(0, words.size() - 1) + "ieth";
    return words + "th";
}

// The words a token of digits (and the marks around it) is read as.
std::string DigitsInWords(const std::string& token) {
    const std::string lower = AsciiLower(token);
    // Ordinals: 1st, 2nd, 3rd, 4th.
    for (const char* suffix : {"st", "nd", "rd", "th"}) {
        const std::string s = suffix;
        if (lower.size() > s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0) {
            const std::string digits = lower.substr(0, lower.size() - s.size());
            if (AllDigits(digits) && digits.size() <= 15) return OrdinalInWords(std::stoull(digits));
        }
    }
    std::string digits;
    for (char c : token)
        if (c != ',') digits += c;
    const auto point = digits.find('.');
    const std::string whole = digits.substr(0, point);
    if (!AllDigits(whole)) return token;
    std::string out;
    if (whole.size() > 15) {
        for (char c : whole) out += std::string(out.empty() ? "" : " ") + kOnes[c - '0'];
    } else {
        const uint64_t n = std::stoull(whole);
        const bool year = whole.size() == 4 && n >= 1100 && n < 2100 && point == std::string::npos &&
                          token.find(',') == std::string::npos;
        out = year ? YearInWords(n) : NumberInWords(n);
    }
    if (point != std::string::npos) {
        const std::string fraction = digits.substr(point + 1);
        if (!fraction.empty() && AllDigits(fraction)) {
            out += " point";
            for (char c : fraction) out += std::string(" ") + kOnes[c - '0'];
        }
    }
    return out;
}

// Symbols read aloud in English.
const char* SymbolWord(char c) {
    switch (c) {
    case '&': return "and";
    case '%': return "percent";
    case '+': return "plus";
    case '=': return "equals";
    case '@': return "at";
    case '#': return "number";
    case '$': return "dollars";
    default: return nullptr;
    }
}

bool IsWordChar(unsigned char c) { return std::isalnum(c) || c >= 0x80 || c == '\''; }

void AddWords(const std::string& spoken, SpokenTextLine& line) {
    std::istringstream in(spoken);
    for (std::string w; in >> w;) line.words.push_back({w, AsciiLower(w)});
}

void AddToken(std::string token, bool english, SpokenTextLine& line) {
    // Symbols standing alone or around the word.
    std::string before, after;
    if (english) {
        while (!token.empty() && SymbolWord(token.front()) != nullptr) {
            // "$5" is "five dollars": the currency follows the number.
            if (token.front() == '$') after = std::string(" dollars") + after;
            else before += std::string(" ") + SymbolWord(token.front());
            token.erase(0, 1);
        }
        while (!token.empty() && SymbolWord(token.back()) != nullptr) {
            after = std::string(" ") + SymbolWord(token.back()) + after;
            token.pop_back();
        }
    }
    // Punctuation around the word goes (apostrophes too, but not inside).
    std::size_t first = 0, last = token.size();
    while (first < last && !IsWordChar(static_cast<unsigned char>(token[first]))) ++first;
    while (last > first && !IsWordChar(static_cast<unsigned char>(token[last - 1]))) --last;
    while (first < last && token[first] == '\'') ++first;
    while (last > first && token[last - 1] == '\'') --last;
    token = token.substr(first, last - first);
    AddWords(before, line);
    if (!token.empty()) {
        if (english && std::isdigit(static_cast<unsigned char>(token.front()))) AddWords(DigitsInWords(token), line);
        else line.words.push_back({token, AsciiLower(token)});
    }
    AddWords(after, line);
}

} // namespace

std::string NumberInWords(uint64_t number) {
    static const std::pair<uint64_t, const char*> scales[] = {
        {1000000000000ULL, "trillion"}, {1000000000ULL, "billion"}, {1000000ULL, "million"}, {1000ULL, "thousand"}};
    if (number < 1000) return BelowThousand(number);
    std::string out;
    for (const auto& [scale, name] : scales) {
        if (number >= scale) {
            if (!out.empty()) out += ' ';
            out += NumberInWords(number / scale) + " " + name;
            number %= scale;
        }
    }
    if (number > 0) out += " " + BelowThousand(number);
    return out;
}

std::vector<SpokenTextLine> SplitSpokenText(const std::string& text, bool english) {
    std::vector<SpokenTextLine> lines;
    std::istringstream in(text);
    for (std::string raw; std::getline(in, raw);) {
        SpokenTextLine line;
        const auto begin = raw.find_first_not_of(" \t\r");
        if (begin == std::string::npos) continue;
        line.text = raw.substr(begin, raw.find_last_not_of(" \t\r") + 1 - begin);
        // Hyphens, dashes and slashes split words; whitespace ends them.
        std::string token;
        auto flush = [&] {
            if (!token.empty()) AddToken(token, english, line);
            token.clear();
        };
        for (std::size_t i = 0; i < line.text.size(); ++i) {
            const char c = line.text[i];
            const bool between = c == '-' || c == '/' ||
                                 (c == '.' && i + 1 < line.text.size() && line.text[i + 1] == '.');
            if (std::isspace(static_cast<unsigned char>(c)) || between) flush();
            else token += c;
        }
        flush();
        if (!line.words.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace zv
