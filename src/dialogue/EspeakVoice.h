#pragma once
// espeak-ng, held behind one small file pair: the phonemes of typed words
// in any of its languages, and speech synthesized with the time of every
// word and phoneme in it. espeak-ng is one engine per process: every call
// takes a lock, so jobs on several threads take turns.
//
// Units: ms from the start of the synthesized speech; samples at
// Speech::sampleRate (22050 Hz for espeak-ng's voices).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zv {

struct SpokenPhoneme {
    std::string ipa;     // the phoneme in IPA (UTF-8), "" for a pause
    int64_t ms = 0;      // where it starts
};

struct SpokenWord {
    int textPosition = 0;   // characters from the start of the text, from 1
    int64_t ms = 0;         // where espeak-ng says the word starts
    std::vector<SpokenPhoneme> phonemes;   // the word's phonemes, in order; a pause after it is ""
};

struct Speech {
    int32_t sampleRate = 0;
    std::vector<int16_t> samples;
    std::vector<SpokenWord> words;
    int64_t endMs = 0;      // the length of the speech
};

// Whether espeak-ng has a voice for `language` ("en", "en-us", "de",
// "fr", "en+f3": a language, optionally with a voice variant).
bool HasEspeakVoice(const std::string& language);

// The languages espeak-ng speaks: its code ("en-us", "de") and its name
// ("English_(America)"), one per language, sorted by code.
struct EspeakLanguage {
    std::string code;
    std::string name;
};
std::vector<EspeakLanguage> EspeakLanguages();

// Speaks `text` (UTF-8) in `voice` at `wordsPerMinute` (espeak-ng's rate:
// 80..450, 175 normal). Nothing, with `error`, when espeak-ng cannot.
std::optional<Speech> SpeakWithEspeak(const std::string& text, const std::string& voice, int wordsPerMinute,
                                      std::string& error);

// The phonemes (IPA, stress and length marks kept) of one word in
// `language`, in order; empty when espeak-ng has none.
std::vector<std::string> EspeakPhonemesOfWord(const std::string& word, const std::string& language);

} // namespace zv
