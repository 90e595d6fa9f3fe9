#pragma once
// Speech of known word timing for the alignment tests: espeak-ng speaks a
// line and says where each word's first phoneme starts; the aligner then
// hears the sound alone, with the typed text.
#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

struct MadeSpeech {
    std::vector<float> mono;
    std::vector<double> startsMs;   // each typed word's first phoneme in the sound; -1 when said with the one before
    int32_t sampleRate = 0;
};

// `typed` (its words as the aligner reads them in `language`) spoken by
// `voice` at `wpm`, between 400 ms of quiet, with a little noise under it
// as a microphone has (`hiss`), or in digital silence (exact zeros around
// and between the words, as synthesized or edited sound has).
MadeSpeech SpeakLine(const std::string& typed, const std::string& language, const std::string& voice, int wpm,
                     bool hiss = true);

struct SpeechCase {
    const char* voice;
    int wpm;
    const char* text;
};

struct AlignmentFigures {
    int total = 0, withinOne = 0, withinThree = 0, spread = 0;
    double sumMs = 0, biasMs = 0, worstMs = 0;
    double WithinOnePercent() const { return total > 0 ? 100.0 * withinOne / total : 0.0; }
    double MeanMs() const { return total > 0 ? sumMs / total : 0.0; }
};

// Aligns each case in `language` and prints its figures (and each word
// further than a frame at 24 fps from where it was spoken); adds them up.
AlignmentFigures MeasureAlignment(const std::vector<SpeechCase>& cases, const std::string& language, bool hiss = true);

} // namespace zv::test
