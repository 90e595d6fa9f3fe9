#include "dialogue/DialogueScript.h"

#include <algorithm>
#include <cstdint>

#include "dialogue/SpokenText.h"

namespace zv {

namespace {

constexpr std::size_t kMaxNameBytes = 32;
constexpr int kMaxNameWords = 3;
const std::string kWideColon = "\xEF\xBC\x9A";   // U+FF1A

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == '\n'; }

std::string Trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && IsBlank(s[a])) ++a;
    while (b > a && IsBlank(s[b - 1])) --b;
    return s.substr(a, b - a);
}

// The code points of `s`; false when it is not valid UTF-8.
bool Decode(const std::string& s, std::vector<uint32_t>& out) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) cp = c;
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else return false;
        if (extra > 0 && i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((n & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (n & 0x3F);
        }
        // Overlong forms, surrogates and beyond U+10FFFF are not text.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

bool IsApostrophe(uint32_t cp) { return cp == '\'' || cp == 0x2019; }

// Sentence punctuation, brackets, quotes and symbols, in ASCII and the
// common ones of other scripts: never inside a name.
bool IsForbidden(uint32_t cp) {
    if (cp < 0x80) {
        if (cp < 0x20 || cp == 0x7F) return true;
        const auto c = static_cast<char>(cp);
        return std::string(".,;:!?\"()[]{}<>/\\*#@=+|~`^$%&").find(c) != std::string::npos;
    }
    return (cp >= 0x2010 && cp <= 0x2027 && cp != 0x2019) || cp == 0x00AB || cp == 0x00BB || cp == 0x00BF ||
           cp == 0x00A1 || (cp >= 0x3001 && cp <= 0x3003) || (cp >= 0x3008 && cp <= 0x3011) ||
           (cp >= 0xFF01 && cp <= 0xFF0F) || (cp >= 0xFF1A && cp <= 0xFF1F);
}

// Where the line's name ends (the colon) and where its words start; npos
// when the line has no colon that could end a name.
struct Colon {
    std::size_t at = std::string::npos;
    std::size_t wordsFrom = 0;
};

Colon FindColon(const std::string& line) {
    const std::size_t ascii = line.find(':');
    const std::size_t wide = line.find(kWideColon);
    Colon colon;
    if (wide != std::string::npos && (ascii == std::string::npos || wide < ascii)) {
        colon.at = wide;
        colon.wordsFrom = wide + kWideColon.size();
        return colon;
    }
    if (ascii == std::string::npos) return colon;
    // "10:30", "http://": a colon with text right after it ends no name.
    if (ascii + 1 < line.size() && !IsBlank(line[ascii + 1])) return colon;
    colon.at = ascii;
    colon.wordsFrom = ascii + 1;
    return colon;
}

bool HasWords(const std::string& text, bool english) { return !SplitSpokenText(text, english).empty(); }

// The typed lines of `text`, each trimmed (a last line without a newline too).
std::vector<std::string> TrimmedLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t to = text.find('\n', from);
        if (to == std::string::npos) to = text.size();
        lines.push_back(Trim(text.substr(from, to - from)));
        from = to + 1;
    }
    return lines;
}

} // namespace

bool DialogueScript::IsName(const std::string& candidate) {
    const std::string name = Trim(candidate);
    if (name.empty() || name.size() > kMaxNameBytes) return false;
    std::vector<uint32_t> cps;
    if (!Decode(name, cps)) return false;
    if (cps.front() >= '0' && cps.front() <= '9') return false;
    // A name is written with a capital where the script has capitals.
    if (cps.front() >= 'a' && cps.front() <= 'z') return false;
    int words = 1;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        const uint32_t cp = cps[i];
        if (cp == ' ' || cp == '\t') {
            if (i > 0 && cps[i - 1] != ' ' && cps[i - 1] != '\t') ++words;
            continue;
        }
        if (IsApostrophe(cp)) {
            // Only inside a word: O'Brien, not 'quoted'.
            const bool inside = i > 0 && i + 1 < cps.size() && cps[i - 1] != ' ' && cps[i + 1] != ' ' &&
                                !IsApostrophe(cps[i - 1]) && !IsApostrophe(cps[i + 1]);
            if (!inside) return false;
            continue;
        }
        if (IsForbidden(cp)) return false;
    }
    return words <= kMaxNameWords;
}

DialogueScript DialogueScript::Parse(const std::string& text, bool english) {
    DialogueScript script;
    std::vector<ScriptLine> lines;
    std::string speaker;
    bool speakerSpoke = true;
    int speakerLine = 0;
    auto endTurn = [&] {
        if (!speakerSpoke)
            script.notes_.push_back("Line " + std::to_string(speakerLine) + ": " + speaker +
                                    " has no words there, so the name is skipped.");
    };
    int number = 0;
    for (const std::string& line : TrimmedLines(text)) {
        ++number;
        if (line.empty()) continue;
        const Colon colon = FindColon(line);
        std::string words = line;
        if (colon.at != std::string::npos) {
            const std::string before = line.substr(0, colon.at);
            if (Trim(before).empty()) {
                script.error_ = "Line " + std::to_string(number) + " has no name before its colon: \"" + line +
                                "\". Type the speaker's name, or take the colon away.";
                script.lines_.clear();
                return script;
            }
            if (IsName(before)) {
                endTurn();
                speaker = Trim(before);
                speakerSpoke = false;
                speakerLine = number;
                script.named_ = true;
                words = Trim(line.substr(colon.wordsFrom));
            }
        }
        if (!HasWords(words, english)) continue;
        speakerSpoke = true;
        lines.push_back(ScriptLine{speaker, words, number});
    }
    endTurn();
    if (script.named_) {
        // Lines before the first name: the first speaker's, said so.
        const auto first = std::find_if(lines.begin(), lines.end(), [](const ScriptLine& l) { return !l.speaker.empty(); });
        if (first == lines.end()) {
            script.named_ = false;   // every name was skipped: the lines are the unnamed speaker's
        } else if (first != lines.begin()) {
            const int count = static_cast<int>(first - lines.begin());
            script.notes_.push_back((count == 1 ? std::string("The line") : std::to_string(count) + " lines") +
                                    " before the first name (from line " + std::to_string(lines.front().number) +
                                    ") " + (count == 1 ? "is" : "are") + " given to " + first->speaker + ".");
            for (auto it = lines.begin(); it != first; ++it) it->speaker = first->speaker;
        }
    }
    script.lines_ = std::move(lines);
    return script;
}

ScriptLineAt DialogueScript::LineAt(const std::string& text, int number, bool english) {
    const std::vector<std::string> lines = TrimmedLines(text);
    // The name a line gives (the line's words from `words` on), or "".
    const auto nameOf = [](const std::string& line, std::size_t* words) -> std::string {
        const Colon colon = FindColon(line);
        if (colon.at == std::string::npos || !IsName(line.substr(0, colon.at))) return {};
        if (words) *words = colon.wordsFrom;
        return Trim(line.substr(0, colon.at));
    };
    ScriptLineAt out;
    if (number < 1 || static_cast<std::size_t>(number) > lines.size()) return out;
    const std::size_t at = static_cast<std::size_t>(number - 1);
    const std::string& line = lines[at];
    if (line.empty()) return out;
    const Colon colon = FindColon(line);
    if (colon.at != std::string::npos && Trim(line.substr(0, colon.at)).empty()) {
        out.outcome = ScriptLineAt::Outcome::NameMissing;
        return out;
    }
    std::size_t wordsFrom = 0;
    std::string speaker = nameOf(line, &wordsFrom);
    const std::string words = Trim(line.substr(wordsFrom));
    if (!HasWords(words, english)) return out;
    for (std::size_t i = at; speaker.empty() && i > 0; --i) speaker = nameOf(lines[i - 1], nullptr);
    for (std::size_t i = at + 1; speaker.empty() && i < lines.size(); ++i) {
        std::size_t from = 0;
        const std::string name = nameOf(lines[i], &from);
        if (!name.empty() && HasWords(lines[i].substr(from), english)) speaker = name;
    }
    out.outcome = ScriptLineAt::Outcome::Line;
    out.line = ScriptLine{speaker, words, number};
    return out;
}

std::vector<std::string> DialogueScript::Speakers() const {
    std::vector<std::string> out;
    for (const ScriptLine& l : lines_)
        if (std::find(out.begin(), out.end(), l.speaker) == out.end()) out.push_back(l.speaker);
    if (out.empty()) out.push_back("");
    return out;
}

std::string DialogueScript::SpokenText() const {
    std::string out;
    for (const ScriptLine& l : lines_) {
        if (!out.empty()) out += '\n';
        out += l.text;
    }
    return out;
}

} // namespace zv
