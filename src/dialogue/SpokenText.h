#pragma once
// The typed dialogue as the words that are spoken: one entry per non-empty
// line, each a list of words. Punctuation around a word goes; hyphens and
// slashes split words; in English, numbers and symbols become the words
// they are read as ("42" -> "forty two", "3.5" -> "three point five",
// "1999" -> "nineteen ninety nine", "&" -> "and", "%" -> "percent").
#include <cstdint>
#include <string>
#include <vector>

namespace zv {

struct SpokenTextWord {
    std::string text;   // as shown on the Words track (the typed word, or a spelled-out number's word)
    std::string key;    // as looked up: lower case (ASCII letters), apostrophes kept
};

struct SpokenTextLine {
    std::string text;   // the line as typed (trimmed)
    std::vector<SpokenTextWord> words;
};

// `english` turns numbers and symbols into English words; other languages
// keep them as typed (espeak-ng reads them in its own language).
std::vector<SpokenTextLine> SplitSpokenText(const std::string& text, bool english);

// A whole number as English words, US style ("one hundred twenty three").
std::string NumberInWords(uint64_t number);

} // namespace zv
