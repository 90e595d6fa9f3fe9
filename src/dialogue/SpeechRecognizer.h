#pragma once
// PocketSphinx, held behind one small class: the US English acoustic model
// and the CMU dictionary loaded once, then forced alignment of 16 kHz mono
// 16-bit audio against a fixed sequence of words (a grammar built in code:
// the words in order, silences and noises optional between them).
//
// Units: the recognizer's frames are 10 ms (160 samples at 16 kHz);
// RecognizedWord frames are inclusive. Not thread-safe: one recognizer per
// job.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zv {

struct RecognizedWord {
    std::string word;    // as in the grammar (an alternative's "(2)" taken off)
    std::string entry;   // the dictionary entry heard ("read(2)" for an alternative)
    int firstFrame = 0;  // 10 ms frames, inclusive
    int lastFrame = 0;
};

struct Recognition {
    bool reachedEnd = false;      // the search ended in the grammar's final state
    std::vector<RecognizedWord> words;   // in order, silences and noises left out
};

class SpeechRecognizer {
public:
    static constexpr int32_t kSampleRate = 16000;
    static constexpr int kSamplesPerFrame = 160;

    // The model and dictionary Debian's pocketsphinx-en-us installs.
    static const char* DefaultModelDir();
    static const char* DefaultDictionary();

    // Loads the model; nothing (and `error` says why) when it cannot.
    // `wideBeams` makes every search a wide one (see Align).
    static std::unique_ptr<SpeechRecognizer> Create(const std::string& modelDir, const std::string& dictionary,
                                                    bool wideBeams, std::string& error);
    ~SpeechRecognizer();
    SpeechRecognizer(const SpeechRecognizer&) = delete;
    SpeechRecognizer& operator=(const SpeechRecognizer&) = delete;

    // The dictionary's phones of `word` (lower case), or nothing.
    std::optional<std::vector<std::string>> Pronunciation(const std::string& word) const;
    // Adds `word` with its phones (the model's phone set). False when a
    // phone is unknown.
    bool AddWord(const std::string& word, const std::vector<std::string>& phones);
    // The model's phones ("AA" ... "ZH", without "SIL").
    const std::vector<std::string>& Phones() const { return phones_; }

    // Aligns `samples` (16 kHz) to `words` (all in the dictionary), as one
    // utterance. `mayStopEarly`: the line may end after any word (for a part
    // of a split line that holds only some of the words). `pauseAfter`
    // (one flag a word; all true when null) says after which words a
    // silence may come; one may always come first and last. `wideBeams`
    // keeps many more hypotheses alive (slower; for a line the normal
    // search loses), with the same loaded model.
    Recognition Align(const int16_t* samples, std::size_t count, const std::vector<std::string>& words,
                      bool mayStopEarly, const std::vector<bool>* pauseAfter = nullptr, bool wideBeams = false);

    // One decode of `samples` with a grammar of `words`, as Align does it
    // but without reading the result (the benchmark's bare decode).
    void DecodeOnly(const int16_t* samples, std::size_t count, const std::vector<std::string>& words);

private:
    struct Decoder;
    explicit SpeechRecognizer(std::unique_ptr<Decoder> decoder, bool wideBeams);
    bool SetGrammar(const std::vector<std::string>& words, bool mayStopEarly, const std::vector<bool>* pauseAfter,
                    bool wideBeams);

    std::unique_ptr<Decoder> decoder_;
    bool alwaysWide_ = false;
    std::vector<std::string> phones_;
    int grammars_ = 0;
};

} // namespace zv
