#include "dialogue/DialogueAligner.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <mutex>
#include <numeric>

#include "common/FrameTime.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/PhoneMap.h"
#include "dialogue/Resampler.h"
#include "dialogue/SpeechRecognizer.h"
#include "dialogue/SpokenText.h"
#include "dialogue/UserSpeechModel.h"
#include "dialogue/VoicedStretches.h"

namespace zv {

namespace {

constexpr int32_t kRate16k = SpeechRecognizer::kSampleRate;
constexpr int kFrame16k = SpeechRecognizer::kSamplesPerFrame;
// A recognizer frame's analysis window is 25.6 ms long and starts at the
// frame's 10 ms step: a word (or phone) starts where the window of its
// first frame is centred, 205 samples (12.8 ms) after that frame's step.
// (Measured on synthesized speech of known timing, this sits a little
// closer to the true starts than the midpoint between two frames' centres.)
constexpr int64_t kBoundaryOffset16k = 205;
// A word that opens with a stop (or an affricate) whose closure is silent
// is heard to start about three frames before that silence does: the
// model's first state of the stop takes in the fading end of the sound
// before it. A closure that sounds (a voice bar) is heard where it begins.
// Measured on synthesized speech of known timing (114 stop-initial words in
// English and seven other languages, before any move): the 77 whose first
// 60 ms held 5 ms at least 38 dB below the word's loudest came 32 ms early
// (median; 9 to 85 ms), the 37 others 8 ms late (median). So it is the
// silence, not the stop's voicing, that sets the lead: a German or Dutch
// "d" said with a silent closure came as early as a "t", a French or
// English one said with voice came late. (One lead of 20 ms for every stop
// left the silent ones 12 ms early and put voiced ones up to 43 ms late.)
constexpr int64_t kSilentClosureLead16k = 480;
constexpr double kClosureSilenceDb = -38.0;
constexpr int64_t kClosureSpan16k = 960;   // 60 ms
// How far either side of a word's heard start the silent closure of a stop
// ending the word before may begin (AfterStopClosures).
constexpr int64_t kClosureLook16k = 400;   // 25 ms
// Speech kept either side of the voiced part of a line before decoding.
constexpr int64_t kMargin16k = kRate16k / 4;
// The shortest pause heard between words that is heard again when the sound
// does not pause there (three frames: the shortest silence the model has).
constexpr int64_t kFalsePause16k = 3 * SpeechRecognizer::kSamplesPerFrame;
// The shortest pause a lost line is split at.
constexpr int64_t kMinSplitPause16k = kRate16k / 10;
// The noise floor put under the 16 kHz samples (AddFloorNoise): at most
// 4 of 32768 either way, about -80 dB. (Measured on sixteen 12 s lines in
// eight languages in digital silence: 2, 4 and 16 all kept every line from
// being lost, with 94.2 to 94.5 % of word starts within a frame.)
constexpr int kFloorNoise16 = 4;
// Frames a phone needs in the model (three states, no skips).
constexpr int kFramesPerPhone = 3;

bool IsEnglish(const std::string& language) {
    std::string lower;
    for (char c : language) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "en" || lower.rfind("en-", 0) == 0 || lower.rfind("en+", 0) == 0 || lower.rfind("en_", 0) == 0;
}

struct Placed {
    int64_t start = 0;   // samples of the 16 kHz (English) or the sound's (other) signal
    int64_t end = 0;
    bool spread = true;
    std::string entry;   // the dictionary entry heard (English)
};

// Lays items of the given weights end to end over the stretches, as if the
// stretches were one: each item gets the share of the voiced time its
// weight has, and an item that falls across a gap goes wholly to the
// stretch that holds more of it.
std::vector<Placed> SpreadOver(const std::vector<double>& weights, const std::vector<Stretch>& stretches) {
    std::vector<Placed> out(weights.size());
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    int64_t voiced = 0;
    for (const Stretch& s : stretches) voiced += s.Length();
    if (weights.empty() || stretches.empty() || voiced <= 0) return out;
    // Voiced time -> sound time, and which stretch holds it.
    auto locate = [&](double t, bool atEnd) -> std::pair<int64_t, std::size_t> {
        int64_t passed = 0;
        for (std::size_t i = 0; i < stretches.size(); ++i) {
            const int64_t len = stretches[i].Length();
            if (t < static_cast<double>(passed + len) || (atEnd && t <= static_cast<double>(passed + len)) ||
                i + 1 == stretches.size()) {
                const int64_t into = std::clamp<int64_t>(static_cast<int64_t>(t) - passed, 0, len);
                return {stretches[i].start + into, i};
            }
            passed += len;
        }
        return {stretches.back().end, stretches.size() - 1};
    };
    double at = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        const double share = total > 0 ? weights[i] / total : 1.0 / static_cast<double>(weights.size());
        const double from = at * static_cast<double>(voiced), to = (at + share) * static_cast<double>(voiced);
        at += share;
        auto [start, first] = locate(from, false);
        auto [end, last] = locate(to, true);
        if (first != last) {
            const int64_t inFirst = stretches[first].end - start;
            const int64_t inLast = end - stretches[last].start;
            if (inFirst >= inLast) end = stretches[first].end;
            else start = stretches[last].start;
        }
        out[i] = {start, std::max(start, end), true, {}};
    }
    return out;
}

// The stretches that lie in [from, to), clipped to it.
std::vector<Stretch> StretchesIn(const std::vector<Stretch>& all, int64_t from, int64_t to) {
    std::vector<Stretch> out;
    for (const Stretch& s : all) {
        const int64_t a = std::max(s.start, from), b = std::min(s.end, to);
        if (b > a) out.push_back({a, b});
    }
    return out;
}

// A faint noise floor under the 16 kHz samples, the same for every job:
// each sample moved by -k..k (a triangular spread).
// Digital silence (exact zeros: the quiet around synthesized or edited
// speech) gives the recognizer's frames a log energy of nothing, far below
// any recorded pause, and the line's cepstral mean, taken over all of it,
// is pulled with it: the search then loses lines it hears at once with a
// microphone's hiss under them.
void AddFloorNoise(std::vector<int16_t>& pcm, int k) {
    if (k <= 0) return;
    uint32_t state = 0x9E3779B9u;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    const uint32_t span = static_cast<uint32_t>(k) + 1;
    for (int16_t& s : pcm) {
        const int v = static_cast<int>(next() % span) - static_cast<int>(next() % span) + s;
        s = static_cast<int16_t>(std::clamp(v, -32768, 32767));
    }
}

bool Cancelled(const DialogueRequest& r) { return r.progress != nullptr && r.progress->Cancelled(); }

void Report(const DialogueRequest& r, double share) {
    if (r.progress == nullptr) return;
    r.progress->SetTotal(1000);
    r.progress->SetDone(static_cast<int64_t>(std::clamp(share, 0.0, 1.0) * 1000));
}

// The words of every line in one list, with the line each starts.
struct WordList {
    std::vector<SpokenTextWord> words;
    std::vector<std::size_t> lineStarts;   // index of each line's first word, then words.size()
};

WordList Flatten(const std::vector<SpokenTextLine>& lines) {
    WordList list;
    for (const SpokenTextLine& line : lines) {
        list.lineStarts.push_back(list.words.size());
        list.words.insert(list.words.end(), line.words.begin(), line.words.end());
    }
    list.lineStarts.push_back(list.words.size());
    return list;
}

Breakdown Assemble(const DialogueRequest& request, const std::vector<SpokenTextLine>& lines,
                   std::vector<BreakdownWord> words) {
    Breakdown out;
    out.sampleRate = request.sampleRate;
    out.soundFrames = request.soundFrames;
    std::size_t next = 0;
    for (const SpokenTextLine& line : lines) {
        BreakdownLine l;
        l.text = line.text;
        for (std::size_t i = 0; i < line.words.size() && next < words.size(); ++i) l.words.push_back(std::move(words[next++]));
        out.lines.push_back(std::move(l));
    }
    return out;
}

// Phonemes spread over [start, end) in proportion to their weights.
std::vector<BreakdownPhoneme> SpreadPhonemes(const std::vector<std::string>& phones, const std::vector<double>& weights,
                                             int64_t start, int64_t end) {
    std::vector<BreakdownPhoneme> out;
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    double at = 0;
    for (std::size_t i = 0; i < phones.size(); ++i) {
        const double share = total > 0 ? weights[i] / total : 1.0 / static_cast<double>(phones.size());
        const int64_t a = start + static_cast<int64_t>(at * static_cast<double>(end - start));
        at += share;
        const int64_t b = i + 1 == phones.size() ? end : start + static_cast<int64_t>(at * static_cast<double>(end - start));
        out.push_back({phones[i], a, std::max(a, b)});
    }
    return out;
}

// ---- espeak-ng's own reading of the lines ----

// A typed word as espeak-ng says it: its phonemes on the English model's
// phones, with their durations.
struct Said {
    std::vector<std::string> phones;
    std::vector<double> phoneMs;
    double Ms() const { return std::accumulate(phoneMs.begin(), phoneMs.end(), 0.0); }
};

// Each typed word of `lines` (in order) as espeak-ng says it, one synthesis
// a line so that words are read in their context. A word espeak-ng says as
// part of the one before stays empty.
std::vector<Said> SaidByEspeak(const DialogueRequest& request, const std::vector<SpokenTextLine>& lines) {
    std::vector<Said> out;
    for (const SpokenTextLine& line : lines) {
        std::vector<Said> lineSaid(line.words.size());
        if (Cancelled(request)) {
            out.insert(out.end(), lineSaid.begin(), lineSaid.end());
            continue;
        }
        std::string text;
        std::vector<std::size_t> starts;   // each word's first character, from 1
        std::size_t chars = 0;
        for (const SpokenTextWord& w : line.words) {
            if (!text.empty()) {
                text += ' ';
                ++chars;
            }
            starts.push_back(chars + 1);
            text += w.text;
            for (unsigned char c : w.text) chars += (c & 0xC0) != 0x80 ? 1 : 0;
        }
        std::string error;
        const auto speech = SpeakWithEspeak(text, request.language, 175, error);
        if (speech && !starts.empty()) {
            const auto& spoken = speech->words;
            for (std::size_t e = 0; e < spoken.size(); ++e) {
                // The typed word holding the event's first character.
                const auto it = std::upper_bound(starts.begin(), starts.end(),
                                                 static_cast<std::size_t>(std::max(spoken[e].textPosition, 1)));
                const std::size_t w = it == starts.begin() ? 0 : static_cast<std::size_t>(it - starts.begin()) - 1;
                const int64_t wordEnd = e + 1 < spoken.size() ? spoken[e + 1].ms : speech->endMs;
                const auto& ph = spoken[e].phonemes;
                for (std::size_t k = 0; k < ph.size(); ++k) {
                    if (ph[k].ipa.empty()) continue;
                    const int64_t end = k + 1 < ph.size() ? ph[k + 1].ms : wordEnd;
                    const std::vector<std::string> cmu = CmuPhonesOfIpa({ph[k].ipa});
                    const double ms = static_cast<double>(std::max<int64_t>(end - ph[k].ms, 1));
                    for (const std::string& c : cmu) {
                        lineSaid[w].phones.push_back(c);
                        lineSaid[w].phoneMs.push_back(ms / static_cast<double>(cmu.size()));
                    }
                }
            }
        }
        out.insert(out.end(), lineSaid.begin(), lineSaid.end());
    }
    return out;
}

// ---- By ear: the recognizer ----

// Which model hears the words, and so how they are pronounced.
enum class Hearing {
    English,   // the English model, English words
    Mapped,    // the English model, another language's words in its phones
    User,      // the user's own model for the language
};

class HeardAligner {
public:
    HeardAligner(const DialogueRequest& request, SpeechRecognizer& recognizer, Hearing hearing, std::string modelDir)
        : request_(request), recognizer_(recognizer), hearing_(hearing), modelDir_(std::move(modelDir)) {}

    DialogueResult Run(const std::vector<SpokenTextLine>& lines);

private:
    std::vector<std::string> PhonesOf(const std::string& entry) const;
    std::string KeyOf(const SpokenTextWord& word) const;
    std::vector<std::string> EnglishPhones(const SpokenTextWord& word) const;
    void Pronounce(const WordList& list);
    void AlignSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, int depth);
    void Place(const Recognition& heard, int64_t from, std::size_t first);
    void SpreadSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, bool evenly = false);
    void AlignPhones(std::size_t index, std::vector<BreakdownWord>& words);
    std::vector<std::string> SaidPhones(std::size_t index, const SpokenTextWord& word) const;
    void LateStops();
    void AfterStopClosures();
    bool Voiced(int64_t from, int64_t to) const;
    double LevelDb(int64_t from, int64_t to) const;
    bool OpensSilent(int64_t start, int64_t end) const;
    void HearUnderThePreviousLine(const WordList& list);
    void HearWithoutFalsePauses(Recognition& heard, int64_t from, const std::vector<std::string>& words);
    void SpreadPhones(std::size_t index, BreakdownWord& word) const;
    int64_t ToSound(int64_t sample16k) const {
        return request_.firstSample + RoundDivide(sample16k * request_.sampleRate, kRate16k);
    }
    DialogueWay Way() const { return hearing_ == Hearing::User ? DialogueWay::UserModel : DialogueWay::Recognizer; }

    const DialogueRequest& request_;
    SpeechRecognizer& recognizer_;
    Hearing hearing_;
    std::string modelDir_;   // for messages
    std::vector<int16_t> pcm_;
    std::vector<Stretch> voiced_;   // on pcm_
    std::vector<std::string> keys_;
    std::vector<bool> known_;       // the model can say the word
    std::vector<std::string> unknown_;   // words the user's model cannot say
    std::vector<Said> said_;        // espeak-ng's reading (not for English)
    std::vector<Placed> placed_;
};

std::vector<std::string> HeardAligner::PhonesOf(const std::string& entry) const {
    auto phones = recognizer_.Pronunciation(entry);
    return phones ? *phones : std::vector<std::string>{};
}

// Another language's words are kept apart from the English dictionary's
// ("fr:la" is not "la"), and from each other language's.
std::string HeardAligner::KeyOf(const SpokenTextWord& word) const {
    if (hearing_ != Hearing::Mapped) return word.key;
    std::string tag;
    for (char c : request_.language) {
        if (c == '+') break;
        tag += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return tag + ":" + word.key;
}

// An English word the dictionary lacks: espeak-ng's reading, else its
// letters one by one.
std::vector<std::string> HeardAligner::EnglishPhones(const SpokenTextWord& word) const {
    std::vector<std::string> phones = CmuPhonesOfIpa(EspeakPhonemesOfWord(word.text, "en-us"));
    if (phones.empty()) {
        for (char c : word.key) {
            if (!std::isalpha(static_cast<unsigned char>(c))) continue;
            auto letter = recognizer_.Pronunciation(std::string(1, c));
            if (letter) phones.insert(phones.end(), letter->begin(), letter->end());
        }
    }
    if (phones.empty()) phones = {"AH"};
    return phones;
}

// Word `index` as espeak-ng says it in its line; a word said as part of the
// one before (no phones of its own there): the word alone.
std::vector<std::string> HeardAligner::SaidPhones(std::size_t index, const SpokenTextWord& word) const {
    std::vector<std::string> phones = said_[index].phones;
    if (phones.empty()) phones = CmuPhonesOfIpa(EspeakPhonemesOfWord(word.text, request_.language));
    return phones;
}

void HeardAligner::Pronounce(const WordList& list) {
    for (std::size_t i = 0; i < list.words.size(); ++i) {
        const SpokenTextWord& w = list.words[i];
        keys_.push_back(KeyOf(w));
        known_.push_back(true);
        std::vector<std::string> phones;
        if (hearing_ == Hearing::Mapped) {
            // Another language's word as espeak-ng says it in this line: the
            // same word is said otherwise elsewhere (Dutch "met" is "mɛt"
            // before a vowel, "mɛ" before "de", whose "t" it takes), so each
            // reading has an entry of its own ("nl:met_M_EH_T"). Under the
            // word alone, the reading of the first line that held it would
            // be used for every later one, in this job and the next.
            phones = SaidPhones(i, w);
            if (phones.empty()) phones = {"AH"};
            for (const std::string& phone : phones) keys_.back() += "_" + phone;
        }
        // Known already (the dictionary's, or added by an earlier job on
        // this recognizer).
        if (recognizer_.Pronunciation(keys_.back())) continue;
        if (hearing_ == Hearing::English) {
            phones = EnglishPhones(w);
        } else if (hearing_ == Hearing::User) {
            phones = SaidPhones(i, w);
        }
        // The user's model may not know the English model's phones.
        if (!recognizer_.AddWord(keys_.back(), phones)) {
            known_.back() = false;
            unknown_.push_back(w.text);
            continue;
        }
    }
}

void HeardAligner::Place(const Recognition& heard, int64_t from, std::size_t first) {
    for (std::size_t i = 0; i < heard.words.size(); ++i) {
        const RecognizedWord& w = heard.words[i];
        Placed& p = placed_[first + i];
        p.start = from + static_cast<int64_t>(w.firstFrame) * kFrame16k + kBoundaryOffset16k;
        p.end = from + static_cast<int64_t>(w.lastFrame + 1) * kFrame16k + kBoundaryOffset16k;
        p.spread = false;
        p.entry = w.entry;
    }
}

// The words [first, last) spread over the voiced stretches in [from, to),
// each in proportion to espeak-ng's duration of it, or to its phones in
// English (or `evenly`).
void HeardAligner::SpreadSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, bool evenly) {
    std::vector<double> weights;
    for (std::size_t i = first; i < last; ++i) {
        double weight = 1.0;
        if (!evenly && hearing_ == Hearing::English) weight = static_cast<double>(std::max<std::size_t>(PhonesOf(keys_[i]).size(), 1));
        else if (!evenly) weight = said_[i].Ms() > 0 ? said_[i].Ms() : 100.0;
        weights.push_back(weight);
    }
    std::vector<Stretch> stretches = StretchesIn(voiced_, from, to);
    if (stretches.empty()) stretches = {{from, to}};
    const std::vector<Placed> spread = SpreadOver(weights, stretches);
    for (std::size_t i = first; i < last; ++i) placed_[i] = spread[i - first];
}

// Whether [from, to) lies inside one voiced stretch (no pause there).
bool HeardAligner::Voiced(int64_t from, int64_t to) const {
    return std::any_of(voiced_.begin(), voiced_.end(), [&](const Stretch& s) { return s.start <= from && to <= s.end; });
}

// A pause heard between two words where the sound does not pause: the
// search took the start of the next word (a long closure, a quiet onset)
// for silence, and placed the word late (and the word after it with it).
// Each such pause is heard again alone: the stretch of the two words around
// it and the word after them, decoded with no pause allowed there. The
// second word, and the start of the third, are taken when that search
// reaches the end and starts the second word inside the pause. (Hearing
// the whole line again cost as much as its first search. Starts this short
// search moves out of the pause were right as often as wrong: it once put
// an "and" 134 ms early. Without the third word, a Dutch "tuin" stayed
// 222 ms late behind the "de" moved before it.)
void HeardAligner::HearWithoutFalsePauses(Recognition& heard, int64_t from, const std::vector<std::string>& words) {
    for (std::size_t i = 0; i + 1 < heard.words.size() && !Cancelled(request_); ++i) {
        RecognizedWord& before = heard.words[i];
        RecognizedWord& after = heard.words[i + 1];
        const int64_t gapFrom = from + static_cast<int64_t>(before.lastFrame + 1) * kFrame16k;
        const int64_t gapTo = from + static_cast<int64_t>(after.firstFrame) * kFrame16k;
        if (gapTo - gapFrom < kFalsePause16k || !Voiced(gapFrom, gapTo)) continue;
        // The two words and the one after them (which the second, placed
        // late, may have pushed late too).
        const std::size_t last = std::min(i + 2, heard.words.size() - 1);
        const int firstFrame = before.firstFrame;
        const std::vector<std::string> some(words.begin() + static_cast<std::ptrdiff_t>(i),
                                            words.begin() + static_cast<std::ptrdiff_t>(last + 1));
        std::vector<bool> pauseAfter(some.size(), true);
        pauseAfter[0] = false;
        const Recognition again = recognizer_.Align(
            pcm_.data() + from + static_cast<int64_t>(firstFrame) * kFrame16k,
            static_cast<std::size_t>(heard.words[last].lastFrame + 1 - firstFrame) * kFrame16k, some, false, &pauseAfter);
        if (!again.reachedEnd || again.words.size() != some.size()) continue;
        const int start = firstFrame + again.words[1].firstFrame;
        if (start <= before.lastFrame || start > after.firstFrame) continue;
        before.lastFrame = start - 1;
        for (std::size_t k = 1; k < some.size(); ++k) {
            RecognizedWord& w = heard.words[i + k];
            w.firstFrame = firstFrame + again.words[k].firstFrame;
            if (i + k < last) w.lastFrame = firstFrame + again.words[k].lastFrame;
            w.entry = again.words[k].entry;
        }
    }
}

// A line heard to begin the moment the line before ends may have begun
// under it (two characters talking over each other): one search of the
// lines in order cannot start a word before the one before it ends, so it
// holds the line's first words back until the other voice stops. Such a
// line is heard again alone, from where the line before's last word starts;
// its words are taken when that search reaches the end and hears the line
// begin earlier. (A line of one word stays.)
void HeardAligner::HearUnderThePreviousLine(const WordList& list) {
    for (std::size_t line = 1; line + 1 < list.lineStarts.size() && !Cancelled(request_); ++line) {
        const std::size_t first = list.lineStarts[line], last = list.lineStarts[line + 1];
        if (first == 0 || last - first < 2) continue;
        const Placed& before = placed_[first - 1];
        bool heard = !before.spread;
        for (std::size_t i = first; i < last; ++i) heard = heard && !placed_[i].spread;
        if (!heard || placed_[first].start - before.end >= kFalsePause16k) continue;
        const int64_t from = std::max<int64_t>(before.start, 0);
        const int64_t to = std::min<int64_t>(placed_[last - 1].end + kMargin16k, static_cast<int64_t>(pcm_.size()));
        if (to <= from) continue;
        const std::vector<std::string> words(keys_.begin() + static_cast<std::ptrdiff_t>(first),
                                             keys_.begin() + static_cast<std::ptrdiff_t>(last));
        const Recognition again = recognizer_.Align(pcm_.data() + from, static_cast<std::size_t>(to - from), words, false);
        if (!again.reachedEnd) continue;
        // Alone, the search takes the other voice's last word for the
        // line's first one: the first word keeps the length it was heard
        // with, ending where the line's second word is now heard to start.
        const std::vector<Placed> kept(placed_.begin() + static_cast<std::ptrdiff_t>(first),
                                       placed_.begin() + static_cast<std::ptrdiff_t>(last));
        Place(again, from, first);
        Placed& opens = placed_[first];
        opens.end = placed_[first + 1].start;
        opens.start = std::max(before.start, opens.end - (kept.front().end - kept.front().start));
        if (opens.start >= kept.front().start)
            std::copy(kept.begin(), kept.end(), placed_.begin() + static_cast<std::ptrdiff_t>(first));
    }
}

void HeardAligner::AlignSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, int depth) {
    if (first >= last || Cancelled(request_)) return;
    // A word the model cannot say: no grammar holds the span.
    if (std::find(known_.begin() + static_cast<std::ptrdiff_t>(first), known_.begin() + static_cast<std::ptrdiff_t>(last),
                  false) != known_.begin() + static_cast<std::ptrdiff_t>(last)) {
        SpreadSpan(from, to, first, last);
        return;
    }
    // The voiced part of the span, with a margin.
    const std::vector<Stretch> inside = StretchesIn(voiced_, from, to);
    if (!inside.empty()) {
        from = std::max(from, inside.front().start - kMargin16k);
        to = std::min(to, inside.back().end + kMargin16k);
    }
    const std::vector<std::string> words(keys_.begin() + static_cast<std::ptrdiff_t>(first),
                                         keys_.begin() + static_cast<std::ptrdiff_t>(last));
    const std::size_t count = static_cast<std::size_t>(to - from);
    Recognition heard = recognizer_.Align(pcm_.data() + from, count, words, false);
    if (!heard.reachedEnd && !Cancelled(request_))
        heard = recognizer_.Align(pcm_.data() + from, count, words, false, nullptr, true);
    if (heard.reachedEnd) {
        HearWithoutFalsePauses(heard, from, words);
        Place(heard, from, first);
        return;
    }
    // Lost: split at the longest pause inside and align each part, the
    // first holding as many of the words as it is heard to say.
    int64_t split = -1, longest = 0;
    for (std::size_t i = 1; i < inside.size(); ++i) {
        const int64_t gap = inside[i].start - inside[i - 1].end;
        if (gap >= kMinSplitPause16k && gap > longest) {
            longest = gap;
            split = inside[i - 1].end + gap / 2;
        }
    }
    if (split < 0 || depth >= 4 || Cancelled(request_)) {
        SpreadSpan(from, to, first, last);
        return;
    }
    const Recognition head =
        recognizer_.Align(pcm_.data() + from, static_cast<std::size_t>(split - from), words, true, nullptr, true);
    const std::size_t heardWords = head.reachedEnd ? head.words.size() : 0;
    if (heardWords > 0) {
        Place(head, from, first);
        if (heardWords < words.size()) AlignSpan(split, to, first + heardWords, last, depth + 1);
    } else {
        AlignSpan(split, to, first, last, depth + 1);
    }
}

// The level of [from, to) of the 16 kHz samples, in dB (of a full-scale
// square wave's 0), -200 for nothing.
double HeardAligner::LevelDb(int64_t from, int64_t to) const {
    from = std::max<int64_t>(from, 0);
    to = std::min<int64_t>(to, static_cast<int64_t>(pcm_.size()));
    if (to <= from) return -200.0;
    double energy = 0;
    for (int64_t k = from; k < to; ++k) {
        const double s = pcm_[static_cast<std::size_t>(k)] / 32768.0;
        energy += s * s;
    }
    return 10.0 * std::log10(energy / static_cast<double>(to - from) + 1e-20);
}

// Whether the word heard at [start, end) opens with a silent stretch: 5 ms
// (steps of 2.5 ms) in its first 60 ms at least kClosureSilenceDb below its
// loudest 10 ms (steps of 5 ms).
bool HeardAligner::OpensSilent(int64_t start, int64_t end) const {
    constexpr int64_t kPeak = kRate16k / 100, kQuiet = kRate16k / 200;
    double loudest = -200.0;
    for (int64_t a = start; a + kPeak <= end; a += kPeak / 2) loudest = std::max(loudest, LevelDb(a, a + kPeak));
    if (loudest <= -200.0) return false;
    const int64_t until = std::min(start + kClosureSpan16k, end);
    for (int64_t a = start; a + kQuiet <= until; a += kQuiet / 2)
        if (LevelDb(a, a + kQuiet) - loudest < kClosureSilenceDb) return true;
    return false;
}

// Heard words opening with a stop whose closure is silent start
// kSilentClosureLead16k later (a heard word just before keeps reaching
// it); never past the word's last frame.
void HeardAligner::LateStops() {
    static const std::vector<std::string> stops = {"P", "B", "T", "D", "K", "G", "CH", "JH"};
    for (std::size_t i = 0; i < placed_.size(); ++i) {
        Placed& p = placed_[i];
        if (p.spread) continue;
        const std::vector<std::string> phones = PhonesOf(p.entry.empty() ? keys_[i] : p.entry);
        if (phones.empty() || std::find(stops.begin(), stops.end(), phones.front()) == stops.end()) continue;
        if (!OpensSilent(p.start, p.end)) continue;
        const int64_t start = std::min(p.start + kSilentClosureLead16k, p.end - kFrame16k);
        if (start <= p.start) continue;
        if (i > 0 && !placed_[i - 1].spread && placed_[i - 1].end == p.start) placed_[i - 1].end = start;
        p.start = start;
    }
}

// A word heard right after a word that ends in a stop, where the stop's
// closure is silent: the search lets the word begin in that silence, up to
// 88 ms before the stop's release, where it is said to begin. Measured on
// made speech of known timing (391 words, English and seven other
// languages): of the 52 such words, 9 came more than a frame early and
// none late, each early by about as long as the silence went on after its
// heard start (the other words' starts were 1 ms late on average). Such a
// word starts where a silent stretch (5 ms windows, steps of 2.5 ms,
// kClosureSilenceDb below the word before's loudest 10 ms) that begins at
// most kClosureLook16k either side of its heard start ends; the word
// before ends there too. (After LateStops: a word opening with a stop of
// its own was measured after that move.)
void HeardAligner::AfterStopClosures() {
    static const std::vector<std::string> stops = {"P", "B", "T", "D", "K", "G", "CH", "JH"};
    constexpr int64_t kQuiet = kRate16k / 200;
    for (std::size_t i = 1; i < placed_.size(); ++i) {
        Placed& p = placed_[i];
        Placed& before = placed_[i - 1];
        if (p.spread || before.spread || before.end != p.start) continue;
        const std::vector<std::string> last = PhonesOf(before.entry.empty() ? keys_[i - 1] : before.entry);
        if (last.empty() || std::find(stops.begin(), stops.end(), last.back()) == stops.end()) continue;
        constexpr int64_t kPeak = kRate16k / 100;
        double loudest = -200.0;
        for (int64_t a = before.start; a + kPeak <= before.end; a += kPeak / 2) loudest = std::max(loudest, LevelDb(a, a + kPeak));
        if (loudest <= -200.0) continue;
        // The first silent window near the heard start, and where its run ends.
        int64_t runEnd = -1;
        for (int64_t a = p.start - kClosureLook16k; a <= p.start + kClosureLook16k && a + kQuiet <= p.end; a += kQuiet / 2) {
            if (LevelDb(a, a + kQuiet) - loudest >= kClosureSilenceDb) continue;
            runEnd = a + kQuiet;
            for (int64_t b = a + kQuiet / 2; b + kQuiet <= p.end && LevelDb(b, b + kQuiet) - loudest < kClosureSilenceDb;
                 b += kQuiet / 2)
                runEnd = b + kQuiet;
            break;
        }
        const int64_t start = std::min(runEnd, p.end - kFrame16k);
        if (start <= p.start) continue;
        before.end = start;
        p.start = start;
    }
}

// A word's phonemes spread over it: espeak-ng's, each as long as it says
// it, or the dictionary's, evenly.
void HeardAligner::SpreadPhones(std::size_t index, BreakdownWord& word) const {
    if (hearing_ != Hearing::English && !said_[index].phones.empty()) {
        word.phonemes = SpreadPhonemes(said_[index].phones, said_[index].phoneMs, word.start, word.end);
        return;
    }
    std::vector<std::string> phones = known_[index] ? PhonesOf(keys_[index]) : std::vector<std::string>{};
    word.phonemes = SpreadPhonemes(phones, std::vector<double>(phones.size(), 1.0), word.start, word.end);
}

// The phones of a heard word in one decode of its stretch of sound (the
// phones as words of a grammar); when its phones are not heard (or are not
// the English model's, which the mouth shapes read) they are spread.
void HeardAligner::AlignPhones(std::size_t index, std::vector<BreakdownWord>& words) {
    BreakdownWord& word = words[index];
    const std::vector<std::string> phones = PhonesOf(placed_[index].entry.empty() ? keys_[index] : placed_[index].entry);
    const std::vector<std::string>& english = recognizer_.Phones();
    std::vector<std::string> grammar;
    std::vector<bool> pauseAfter;
    for (const std::string& phone : phones) {
        if (std::find(english.begin(), english.end(), phone) == english.end()) {
            grammar.clear();
            break;
        }
        grammar.push_back("ph_" + phone);
        // The phone as a word of its own, once a recognizer.
        if (!recognizer_.Pronunciation(grammar.back()) && !recognizer_.AddWord(grammar.back(), {phone})) {
            grammar.clear();
            break;
        }
        pauseAfter.push_back(false);
    }
    std::vector<BreakdownPhoneme> heard;
    if (!grammar.empty()) {
        pauseAfter.back() = true;
        const int64_t from = std::max<int64_t>(placed_[index].start, 0);
        const int64_t to = std::min<int64_t>(placed_[index].end, static_cast<int64_t>(pcm_.size()));
        if (to - from >= static_cast<int64_t>(grammar.size()) * kFramesPerPhone * kFrame16k) {
            const Recognition r = recognizer_.Align(pcm_.data() + from, static_cast<std::size_t>(to - from), grammar,
                                                    false, &pauseAfter);
            if (r.reachedEnd && r.words.size() == grammar.size())
                for (const RecognizedWord& w : r.words)
                    heard.push_back({w.word.substr(3),
                                     ToSound(from + static_cast<int64_t>(w.firstFrame) * kFrame16k + kBoundaryOffset16k),
                                     ToSound(from + static_cast<int64_t>(w.lastFrame + 1) * kFrame16k + kBoundaryOffset16k)});
        }
    }
    if (heard.empty()) {
        if (grammar.empty() && hearing_ == Hearing::User) SpreadPhones(index, word);
        else word.phonemes = SpreadPhonemes(phones, std::vector<double>(phones.size(), 1.0), word.start, word.end);
        return;
    }
    word.phonemes.clear();
    for (std::size_t k = 0; k < heard.size(); ++k) {
        BreakdownPhoneme p = heard[k];
        p.start = k == 0 ? word.start : std::clamp(p.start, word.start, word.end);
        p.end = k + 1 == heard.size() ? word.end : std::clamp(p.end, word.start, word.end);
        if (!word.phonemes.empty()) {
            p.start = std::max(p.start, word.phonemes.back().start);
            word.phonemes.back().end = p.start;
        }
        p.end = std::max(p.end, p.start);
        word.phonemes.push_back(std::move(p));
    }
}

DialogueResult HeardAligner::Run(const std::vector<SpokenTextLine>& lines) {
    DialogueResult result;
    result.way = Way();
    const WordList list = Flatten(lines);
    if (hearing_ != Hearing::English) said_ = SaidByEspeak(request_, lines);
    Pronounce(list);
    Report(request_, 0.05);
    pcm_ = ResampleTo16Bit(*request_.mono, request_.sampleRate, kRate16k);
    AddFloorNoise(pcm_, kFloorNoise16);
    // The voiced stretches, found at the sound's own rate, on the 16 kHz samples.
    for (const Stretch& s : FindVoicedStretches(*request_.mono, request_.sampleRate)) {
        const int64_t a = RoundDivide(s.start * kRate16k, request_.sampleRate);
        const int64_t b = std::min<int64_t>(RoundDivide(s.end * kRate16k, request_.sampleRate), static_cast<int64_t>(pcm_.size()));
        if (b > a) voiced_.push_back({a, b});
    }
    placed_.assign(list.words.size(), {});
    const int64_t length = static_cast<int64_t>(pcm_.size());
    const bool speech = !voiced_.empty();
    if (!speech) {
        SpreadSpan(0, length, 0, list.words.size(), true);
    } else {
        // Lines separated by pauses are decoded one by one: the longest
        // pauses, as many as there are breaks between lines, in order.
        const std::size_t breaks = lines.size() - 1;
        std::vector<int64_t> cuts;
        if (breaks > 0 && voiced_.size() > breaks) {
            std::vector<std::size_t> gaps(voiced_.size() - 1);
            std::iota(gaps.begin(), gaps.end(), 0);
            std::sort(gaps.begin(), gaps.end(), [&](std::size_t a, std::size_t b) {
                return voiced_[a + 1].start - voiced_[a].end > voiced_[b + 1].start - voiced_[b].end;
            });
            for (std::size_t i = 0; i < breaks; ++i)
                cuts.push_back((voiced_[gaps[i]].end + voiced_[gaps[i] + 1].start) / 2);
            std::sort(cuts.begin(), cuts.end());
        }
        const std::size_t parts = cuts.empty() ? 1 : lines.size();
        for (std::size_t part = 0; part < parts && !Cancelled(request_); ++part) {
            const int64_t from = part == 0 ? 0 : cuts[part - 1];
            const int64_t to = part + 1 == parts ? length : cuts[part];
            const std::size_t first = parts == 1 ? 0 : list.lineStarts[part];
            const std::size_t last = parts == 1 ? list.words.size() : list.lineStarts[part + 1];
            AlignSpan(from, to, first, last, 0);
            Report(request_, 0.05 + 0.6 * static_cast<double>(part + 1) / static_cast<double>(parts));
        }
    }
    if (Cancelled(request_)) {
        result.outcome = DialogueResult::Outcome::Cancelled;
        result.message = "Cancelled";
        return result;
    }
    HearUnderThePreviousLine(list);
    LateStops();
    AfterStopClosures();
    std::vector<BreakdownWord> words;
    for (std::size_t i = 0; i < list.words.size(); ++i)
        words.push_back({list.words[i].text, ToSound(placed_[i].start), ToSound(placed_[i].end), {}, placed_[i].spread});
    // The phones: one decode for each heard word, inside it. (One decode of
    // the phones of a whole run of words costs more than the words' own
    // decode: single-phone words keep many more hypotheses alive.)
    for (std::size_t i = 0; i < words.size() && !Cancelled(request_); ++i) {
        if (words[i].spread) SpreadPhones(i, words[i]);
        else AlignPhones(i, words);
        if (i % 4 == 3 || i + 1 == words.size())
            Report(request_, 0.65 + 0.35 * static_cast<double>(i + 1) / static_cast<double>(words.size()));
    }
    if (Cancelled(request_)) {
        result.outcome = DialogueResult::Outcome::Cancelled;
        result.message = "Cancelled";
        return result;
    }
    // Each line's way: by ear unless a word of it had to be spread.
    std::size_t heardLines = 0;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        bool spread = false;
        for (std::size_t i = list.lineStarts[line]; i < list.lineStarts[line + 1]; ++i) spread = spread || placed_[i].spread;
        result.lineWays.push_back(spread ? DialogueWay::VoicedStretches : Way());
        heardLines += spread ? 0 : 1;
    }
    if (heardLines == 0) result.way = DialogueWay::VoicedStretches;
    result.breakdown = Assemble(request_, lines, std::move(words));
    result.outcome = speech ? DialogueResult::Outcome::Aligned : DialogueResult::Outcome::NoSpeech;
    if (!speech) result.message = "No speech was found: the words are spread evenly, to place by hand.";
    else if (!unknown_.empty()) {
        result.message = "The speech model in " + modelDir_ + " cannot say";
        for (std::size_t i = 0; i < unknown_.size() && i < 5; ++i) result.message += (i == 0 ? " " : ", ") + unknown_[i];
        if (unknown_.size() > 5) result.message += " and " + std::to_string(unknown_.size() - 5) + " more";
        result.message += " (not in its dictionary): their lines are spread over the voiced stretches.";
    }
    return result;
}

// ---- Without a speech model: espeak-ng's durations over the voiced stretches ----

DialogueResult SpreadByEspeak(const DialogueRequest& request, const std::vector<SpokenTextLine>& lines) {
    DialogueResult result;
    result.way = DialogueWay::VoicedStretches;
    const std::vector<Said> said = SaidByEspeak(request, lines);
    if (Cancelled(request)) {
        result.outcome = DialogueResult::Outcome::Cancelled;
        result.message = "Cancelled";
        return result;
    }
    Report(request, 0.5);
    std::vector<Stretch> stretches = FindVoicedStretches(*request.mono, request.sampleRate);
    const bool speech = !stretches.empty();
    if (!speech) stretches = {{0, static_cast<int64_t>(request.mono->size())}};
    std::vector<double> weights;
    for (const Said& s : said) weights.push_back(!speech ? 1.0 : s.Ms() > 0 ? s.Ms() : 100.0);
    const std::vector<Placed> placed = SpreadOver(weights, stretches);
    std::vector<BreakdownWord> words;
    const WordList list = Flatten(lines);
    for (std::size_t i = 0; i < list.words.size(); ++i) {
        BreakdownWord w;
        w.text = list.words[i].text;
        w.start = request.firstSample + placed[i].start;
        w.end = request.firstSample + placed[i].end;
        w.spread = true;
        w.phonemes = SpreadPhonemes(said[i].phones, said[i].phoneMs, w.start, w.end);
        words.push_back(std::move(w));
    }
    result.lineWays.assign(lines.size(), DialogueWay::VoicedStretches);
    result.breakdown = Assemble(request, lines, std::move(words));
    result.outcome = speech ? DialogueResult::Outcome::Aligned : DialogueResult::Outcome::NoSpeech;
    if (!speech) result.message = "No speech was found: the words are spread evenly, to place by hand.";
    Report(request, 1.0);
    return result;
}

// Loaded recognizers kept between jobs (each job takes one of its own, so
// jobs on several threads never share one): a model loads once. Each is
// kept with the model and dictionary it loaded.
struct Pooled {
    std::string model;
    std::unique_ptr<SpeechRecognizer> recognizer;
};

std::mutex& PoolLock() {
    static std::mutex lock;
    return lock;
}
std::vector<Pooled>& Pool() {
    static std::vector<Pooled> pool;
    return pool;
}

std::unique_ptr<SpeechRecognizer> TakeRecognizer(const std::string& modelDir, const std::string& dictionary,
                                                 std::string& error) {
    const std::string model = modelDir + "\n" + dictionary;
    {
        std::lock_guard<std::mutex> hold(PoolLock());
        auto& pool = Pool();
        for (auto it = pool.begin(); it != pool.end(); ++it)
            if (it->model == model) {
                auto recognizer = std::move(it->recognizer);
                pool.erase(it);
                return recognizer;
            }
    }
    return SpeechRecognizer::Create(modelDir, dictionary, false, error);
}

void GiveBack(const std::string& modelDir, const std::string& dictionary, std::unique_ptr<SpeechRecognizer> recognizer) {
    std::lock_guard<std::mutex> hold(PoolLock());
    auto& pool = Pool();
    pool.push_back({modelDir + "\n" + dictionary, std::move(recognizer)});
    // The oldest goes first (a user's model tried once stays no longer).
    if (pool.size() > 3) pool.erase(pool.begin());
}

const char* WayWords(DialogueWay way) {
    switch (way) {
    case DialogueWay::Recognizer: return "aligned by ear (English speech model)";
    case DialogueWay::UserModel: return "aligned by ear (your speech model for this language)";
    case DialogueWay::VoicedStretches: return "spread over the voiced stretches (not heard: check them)";
    case DialogueWay::Unknown: break;
    }
    return "unknown language";
}

} // namespace

bool IsEnglishLanguage(const std::string& language) { return IsEnglish(language); }

DialogueWay DialogueLanguageWay(const std::string& language, const std::string& modelsFolder) {
    std::string error;
    if (UserSpeechModel::Find(modelsFolder, language, error)) return DialogueWay::UserModel;
    if (IsEnglish(language)) return DialogueWay::Recognizer;
    return HasEspeakVoice(language) ? DialogueWay::Recognizer : DialogueWay::Unknown;
}

std::string DialogueWayText(DialogueWay way) {
    std::string text = WayWords(way);
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string DialogueWaysText(const DialogueResult& result) {
    std::vector<std::pair<DialogueWay, int>> counts;
    for (DialogueWay way : result.lineWays) {
        auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == way; });
        if (it == counts.end()) counts.emplace_back(way, 1);
        else ++it->second;
    }
    if (counts.size() <= 1) return DialogueWayText(counts.empty() ? result.way : counts.front().first);
    std::string text;
    for (const auto& [way, n] : counts) {
        if (!text.empty()) text += ", ";
        text += std::to_string(n) + (n == 1 ? " line " : " lines ") + WayWords(way);
    }
    return text;
}

DialogueResult BreakDownDialogue(const DialogueRequest& request) {
    DialogueResult result;
    if (request.mono == nullptr || request.mono->empty() || request.sampleRate <= 0) {
        result.message = "There is no sound to align the dialogue to.";
        return result;
    }
    const bool english = IsEnglish(request.language);
    std::string note;
    const auto user = UserSpeechModel::Find(request.modelsFolder, request.language, note);
    result.way = user                                                  ? DialogueWay::UserModel
                 : english || HasEspeakVoice(request.language) ? DialogueWay::Recognizer
                                                               : DialogueWay::Unknown;
    const std::vector<SpokenTextLine> lines = SplitSpokenText(request.text, english);
    if (lines.empty()) {
        result.message = "The dialogue text is empty.";
        return result;
    }
    if (result.way == DialogueWay::Unknown) {
        result.message = "espeak-ng does not know the language \"" + request.language + "\".";
        return result;
    }
    Report(request, 0.0);
    std::string error;
    std::string modelDir = SpeechRecognizer::DefaultModelDir(), dictionary = SpeechRecognizer::DefaultDictionary();
    std::unique_ptr<SpeechRecognizer> recognizer;
    Hearing hearing = english ? Hearing::English : Hearing::Mapped;
    if (user) {
        recognizer = TakeRecognizer(user->modelDir, user->dictionary, error);
        if (recognizer) {
            modelDir = user->modelDir;
            dictionary = user->dictionary;
            hearing = Hearing::User;
        } else {
            note = "Your speech model in " + user->folder + " did not load (" + error +
                   "): the English model was used.";
        }
    } else if (!note.empty()) {
        note += " The English model was used.";
    }
    if (!recognizer) recognizer = TakeRecognizer(modelDir, dictionary, error);
    if (!recognizer) {
        if (english) {
            result.message = error;
            return result;
        }
        // Without the English model, other languages are still spread.
        result = SpreadByEspeak(request, lines);
        if (result.outcome == DialogueResult::Outcome::Aligned) result.message = error + ": the words are spread over the voiced stretches.";
        return result;
    }
    HeardAligner aligner(request, *recognizer, hearing, modelDir);
    result = aligner.Run(lines);
    GiveBack(modelDir, dictionary, std::move(recognizer));
    if (!note.empty() && result.outcome == DialogueResult::Outcome::Aligned)
        result.message = result.message.empty() ? note : note + " " + result.message;
    return result;
}

} // namespace zv
