#include "dialogue/PhoneMap.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace zv {

namespace {

// IPA (without marks) -> CMU phones, space separated.
const std::map<std::string, std::string>& Table() {
    static const std::map<std::string, std::string> table = {
        // vowels
        {"ə", "AH"}, {"ʌ", "AH"}, {"ɐ", "AH"}, {"ɵ", "AH"}, {"ɤ", "AH"}, {"æ", "AE"}, {"a", "AA"},
        {"ɑ", "AA"}, {"ɒ", "AA"}, {"ɔ", "AO"}, {"ɛ", "EH"}, {"e", "EY"}, {"ɪ", "IH"}, {"ɨ", "IH"},
        {"i", "IY"}, {"y", "IY"}, {"ʏ", "IH"}, {"ʊ", "UH"}, {"u", "UW"}, {"ɯ", "UW"}, {"ɜ", "ER"},
        {"ɚ", "ER"}, {"ɝ", "ER"}, {"o", "OW"}, {"ø", "ER"}, {"œ", "EH"}, {"ɶ", "AA"}, {"ᵻ", "IH"},
        // diphthongs and vowels with r
        {"eɪ", "EY"}, {"aɪ", "AY"}, {"ɑɪ", "AY"}, {"ɔɪ", "OY"}, {"aʊ", "AW"}, {"əʊ", "OW"}, {"oʊ", "OW"},
        {"ɪə", "IH R"}, {"eə", "EH R"}, {"ɛə", "EH R"}, {"ʊə", "UH R"}, {"aɪə", "AY ER"}, {"aʊə", "AW ER"},
        {"ɑːɹ", "AA R"}, {"ɔːɹ", "AO R"}, {"ɜː", "ER"}, {"ɪɹ", "IH R"}, {"ɛɹ", "EH R"}, {"ʊɹ", "UH R"},
        {"ɔɹ", "AO R"}, {"ɛɪ", "EY"}, {"ʌʊ", "AW"}, {"ɔø", "OY"}, {"œy", "OY"}, {"ɑɹ", "AA R"}, {"oɹ", "AO R"}, {"əl", "AH L"},
        // consonants
        {"p", "P"}, {"b", "B"}, {"t", "T"}, {"d", "D"}, {"k", "K"}, {"g", "G"}, {"ɡ", "G"}, {"c", "K"},
        {"ɟ", "G"}, {"q", "K"}, {"f", "F"}, {"v", "V"}, {"θ", "TH"}, {"ð", "DH"}, {"s", "S"}, {"z", "Z"},
        {"ʃ", "SH"}, {"ʒ", "ZH"}, {"ɕ", "SH"}, {"ʑ", "ZH"}, {"ʂ", "SH"}, {"ʐ", "ZH"}, {"h", "HH"},
        {"ɦ", "HH"}, {"x", "HH"}, {"χ", "HH"}, {"ç", "HH"}, {"ħ", "HH"}, {"tʃ", "CH"}, {"dʒ", "JH"},
        {"ts", "T S"}, {"dz", "D Z"}, {"tɕ", "CH"}, {"dʑ", "JH"}, {"m", "M"}, {"ɱ", "M"}, {"n", "N"},
        {"ɲ", "N Y"}, {"ɳ", "N"}, {"ŋ", "NG"}, {"l", "L"}, {"ɫ", "L"}, {"ʎ", "L Y"}, {"ɬ", "L"},
        {"ɭ", "L"}, {"ɹ", "R"}, {"r", "R"}, {"ɾ", "T"}, {"ʁ", "R"}, {"ʀ", "R"}, {"ɻ", "R"}, {"w", "W"},
        {"ʍ", "W"}, {"j", "Y"}, {"ɥ", "Y"}, {"β", "B"}, {"ɣ", "G"}, {"ʋ", "W"}, {"ɸ", "F"},
    };
    return table;
}

// Marks that change a sound without being one: stress, length, syllabic,
// aspiration, palatalisation, ties, nasalisation (the combining ones).
bool IsMark(const std::string& piece) {
    static const char* const marks[] = {"ˈ", "ˌ", "ː", "ˑ", "ʰ", "ʲ", "ʷ", "ˠ", "ˤ", "̩", "̃", "͡", "̯", "̪",
                                        "̥", "̬", "-", "'", ",", "_", "ʔ", "\xcc\x8a"};
    return std::any_of(std::begin(marks), std::end(marks), [&](const char* m) { return piece == m; });
}

// One UTF-8 character at `at`.
std::size_t CharLength(const std::string& s, std::size_t at) {
    const auto c = static_cast<unsigned char>(s[at]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    return std::min(n, s.size() - at);
}

void Append(const std::string& phones, std::vector<std::string>& out) {
    std::istringstream in(phones);
    for (std::string p; in >> p;) out.push_back(p);
}

} // namespace

std::vector<std::string> CmuPhonesOfIpa(const std::vector<std::string>& ipaPhonemes) {
    std::vector<std::string> out;
    for (const std::string& phoneme : ipaPhonemes) {
        // The phoneme without its marks.
        std::string bare;
        for (std::size_t at = 0; at < phoneme.size();) {
            const std::size_t n = CharLength(phoneme, at);
            const std::string piece = phoneme.substr(at, n);
            if (!IsMark(piece)) bare += piece;
            at += n;
        }
        if (const auto whole = Table().find(bare); whole != Table().end()) {
            Append(whole->second, out);
            continue;
        }
        // Piece by piece, the longest match first.
        for (std::size_t at = 0; at < bare.size();) {
            std::size_t best = 0;
            for (std::size_t len = std::min<std::size_t>(bare.size() - at, 12); len > 0; --len) {
                if (Table().count(bare.substr(at, len)) != 0) {
                    best = len;
                    break;
                }
            }
            if (best == 0) {
                at += CharLength(bare, at);
                continue;
            }
            Append(Table().at(bare.substr(at, best)), out);
            at += best;
        }
    }
    return out;
}

} // namespace zv
