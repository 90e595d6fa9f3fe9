#include "dialogue/DialogueAligner.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <numeric>

#include "common/FrameTime.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/PhoneMap.h"
#include "dialogue/Resampler.h"
#include "dialogue/SpeechRecognizer.h"
#include "dialogue/SpokenText.h"
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
// Speech kept either side of the voiced part of a line before decoding.
constexpr int64_t kMargin16k = kRate16k / 4;
// The shortest pause a lost line is split at.
constexpr int64_t kMinSplitPause16k = kRate16k / 10;
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

// ---- English: the recognizer ----

class EnglishAligner {
public:
    EnglishAligner(const DialogueRequest& request, SpeechRecognizer& recognizer)
        : request_(request), recognizer_(recognizer) {}

    DialogueResult Run(const std::vector<SpokenTextLine>& lines);

private:
    std::vector<std::string> PhonesOf(const std::string& entry) const;
    void Pronounce(const WordList& list);
    SpeechRecognizer& Wide();
    void AlignSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, int depth);
    void Place(const Recognition& heard, int64_t from, std::size_t first);
    void SpreadSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, bool evenly = false);
    void AlignPhones(std::size_t first, std::size_t last, std::vector<BreakdownWord>& words);
    int64_t ToSound(int64_t sample16k) const {
        return request_.firstSample + RoundDivide(sample16k * request_.sampleRate, kRate16k);
    }

    const DialogueRequest& request_;
    SpeechRecognizer& recognizer_;
    std::unique_ptr<SpeechRecognizer> wide_;
    bool wideTried_ = false;
    std::vector<int16_t> pcm_;
    std::vector<Stretch> voiced_;   // on pcm_
    std::vector<std::string> keys_;
    std::vector<std::pair<std::string, std::vector<std::string>>> added_;   // words the dictionary lacked
    std::vector<Placed> placed_;
    std::size_t done_ = 0;
};

std::vector<std::string> EnglishAligner::PhonesOf(const std::string& entry) const {
    auto phones = recognizer_.Pronunciation(entry);
    return phones ? *phones : std::vector<std::string>{};
}

void EnglishAligner::Pronounce(const WordList& list) {
    for (const SpokenTextWord& w : list.words) {
        keys_.push_back(w.key);
        if (recognizer_.Pronunciation(w.key)) continue;
        std::vector<std::string> phones = CmuPhonesOfIpa(EspeakPhonemesOfWord(w.text, "en-us"));
        if (phones.empty()) {
            // Nothing espeak-ng can say either: the letters, one by one.
            for (char c : w.key) {
                if (!std::isalpha(static_cast<unsigned char>(c))) continue;
                auto letter = recognizer_.Pronunciation(std::string(1, c));
                if (letter) phones.insert(phones.end(), letter->begin(), letter->end());
            }
        }
        if (phones.empty()) phones = {"AH"};
        recognizer_.AddWord(w.key, phones);
        if (wide_) wide_->AddWord(w.key, phones);
        added_.emplace_back(w.key, phones);
    }
}

SpeechRecognizer& EnglishAligner::Wide() {
    if (!wideTried_) {
        wideTried_ = true;
        std::string error;
        wide_ = SpeechRecognizer::Create(SpeechRecognizer::DefaultModelDir(), SpeechRecognizer::DefaultDictionary(),
                                         true, error);
        if (wide_)
            for (const auto& [word, phones] : added_) wide_->AddWord(word, phones);
    }
    return wide_ ? *wide_ : recognizer_;
}

void EnglishAligner::Place(const Recognition& heard, int64_t from, std::size_t first) {
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
// each in proportion to its phones (or `evenly`).
void EnglishAligner::SpreadSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, bool evenly) {
    std::vector<double> weights;
    for (std::size_t i = first; i < last; ++i)
        weights.push_back(evenly ? 1.0 : static_cast<double>(std::max<std::size_t>(PhonesOf(keys_[i]).size(), 1)));
    std::vector<Stretch> stretches = StretchesIn(voiced_, from, to);
    if (stretches.empty()) stretches = {{from, to}};
    const std::vector<Placed> spread = SpreadOver(weights, stretches);
    for (std::size_t i = first; i < last; ++i) placed_[i] = spread[i - first];
}

void EnglishAligner::AlignSpan(int64_t from, int64_t to, std::size_t first, std::size_t last, int depth) {
    if (first >= last || Cancelled(request_)) return;
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
    if (!heard.reachedEnd && !Cancelled(request_)) heard = Wide().Align(pcm_.data() + from, count, words, false);
    if (heard.reachedEnd) {
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
        Wide().Align(pcm_.data() + from, static_cast<std::size_t>(split - from), words, true);
    const std::size_t heardWords = head.reachedEnd ? head.words.size() : 0;
    if (heardWords > 0) {
        Place(head, from, first);
        if (heardWords < words.size()) AlignSpan(split, to, first + heardWords, last, depth + 1);
    } else {
        AlignSpan(split, to, first, last, depth + 1);
    }
}

// The phones of the heard words [first, last) in one decode of their
// stretch of sound (from the first's start to the last's end), each word's
// phones kept inside the word; a word whose phones are not heard gets them
// spread evenly.
void EnglishAligner::AlignPhones(std::size_t first, std::size_t last, std::vector<BreakdownWord>& words) {
    std::vector<std::vector<std::string>> phones;
    std::vector<std::string> grammar;
    std::vector<bool> pauseAfter;
    for (std::size_t i = first; i < last; ++i) {
        phones.push_back(PhonesOf(placed_[i].entry.empty() ? keys_[i] : placed_[i].entry));
        for (std::size_t k = 0; k < phones.back().size(); ++k) {
            grammar.push_back("ph_" + phones.back()[k]);
            pauseAfter.push_back(k + 1 == phones.back().size());
        }
    }
    std::vector<BreakdownPhoneme> heard;
    if (!grammar.empty()) {
        const int64_t from = std::max<int64_t>(placed_[first].start, 0);
        const int64_t to = std::min<int64_t>(placed_[last - 1].end, static_cast<int64_t>(pcm_.size()));
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
    std::size_t next = 0;
    for (std::size_t i = first; i < last; ++i) {
        BreakdownWord& word = words[i];
        const std::vector<std::string>& own = phones[i - first];
        if (heard.empty()) {
            word.phonemes = SpreadPhonemes(own, std::vector<double>(own.size(), 1.0), word.start, word.end);
            continue;
        }
        word.phonemes.clear();
        for (std::size_t k = 0; k < own.size(); ++k, ++next) {
            BreakdownPhoneme p = heard[next];
            p.start = k == 0 ? word.start : std::clamp(p.start, word.start, word.end);
            p.end = k + 1 == own.size() ? word.end : std::clamp(p.end, word.start, word.end);
            if (!word.phonemes.empty()) {
                p.start = std::max(p.start, word.phonemes.back().start);
                word.phonemes.back().end = p.start;
            }
            p.end = std::max(p.end, p.start);
            word.phonemes.push_back(std::move(p));
        }
    }
}

DialogueResult EnglishAligner::Run(const std::vector<SpokenTextLine>& lines) {
    DialogueResult result;
    result.way = DialogueWay::Recognizer;
    const WordList list = Flatten(lines);
    // The phones as words of their own, for the phone pass (once a recognizer).
    if (!recognizer_.Pronunciation("ph_" + recognizer_.Phones().front()))
        for (const std::string& phone : recognizer_.Phones()) recognizer_.AddWord("ph_" + phone, {phone});
    Pronounce(list);
    Report(request_, 0.05);
    pcm_ = ResampleTo16Bit(*request_.mono, request_.sampleRate, kRate16k);
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
    std::vector<BreakdownWord> words;
    for (std::size_t i = 0; i < list.words.size(); ++i)
        words.push_back({list.words[i].text, ToSound(placed_[i].start), ToSound(placed_[i].end), {}, placed_[i].spread});
    // The phones: one decode for each heard word, inside it. (One decode of
    // the phones of a whole run of words costs more than the words' own
    // decode: single-phone words keep many more hypotheses alive.)
    for (std::size_t i = 0; i < words.size() && !Cancelled(request_);) {
        std::size_t j = i + 1;
        while (j < words.size() && words[j].spread == words[i].spread) ++j;
        if (words[i].spread) {
            for (std::size_t k = i; k < j; ++k) {
                const auto phones = PhonesOf(keys_[k]);
                words[k].phonemes = SpreadPhonemes(phones, std::vector<double>(phones.size(), 1.0), words[k].start, words[k].end);
            }
        } else {
            for (std::size_t k = i; k < j; ++k) AlignPhones(k, k + 1, words);
        }
        i = j;
        Report(request_, 0.65 + 0.35 * static_cast<double>(j) / static_cast<double>(words.size()));
    }
    if (Cancelled(request_)) {
        result.outcome = DialogueResult::Outcome::Cancelled;
        result.message = "Cancelled";
        return result;
    }
    result.breakdown = Assemble(request_, lines, std::move(words));
    result.outcome = speech ? DialogueResult::Outcome::Aligned : DialogueResult::Outcome::NoSpeech;
    if (!speech) result.message = "No speech was found: the words are spread evenly, to place by hand.";
    return result;
}

// ---- Other languages: espeak-ng's durations over the voiced stretches ----

DialogueResult SpreadByEspeak(const DialogueRequest& request, const std::vector<SpokenTextLine>& lines) {
    DialogueResult result;
    result.way = DialogueWay::VoicedStretches;
    struct Timed {
        double weight = 1;
        std::vector<std::string> phones;
        std::vector<double> phoneWeights;
    };
    std::vector<Timed> timed;
    for (const SpokenTextLine& line : lines) {
        if (Cancelled(request)) break;
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
        std::vector<Timed> lineTimed(line.words.size());
        if (speech) {
            const auto& spoken = speech->words;
            for (std::size_t e = 0; e < spoken.size(); ++e) {
                // The typed word holding the event's first character.
                const auto it = std::upper_bound(starts.begin(), starts.end(), static_cast<std::size_t>(std::max(spoken[e].textPosition, 1)));
                const std::size_t w = it == starts.begin() ? 0 : static_cast<std::size_t>(it - starts.begin()) - 1;
                const int64_t wordEnd = e + 1 < spoken.size() ? spoken[e + 1].ms : speech->endMs;
                const auto& ph = spoken[e].phonemes;
                for (std::size_t k = 0; k < ph.size(); ++k) {
                    if (ph[k].ipa.empty()) continue;
                    const int64_t end = k + 1 < ph.size() ? ph[k + 1].ms : wordEnd;
                    const std::vector<std::string> cmu = CmuPhonesOfIpa({ph[k].ipa});
                    const double ms = static_cast<double>(std::max<int64_t>(end - ph[k].ms, 1));
                    for (const std::string& c : cmu) {
                        lineTimed[w].phones.push_back(c);
                        lineTimed[w].phoneWeights.push_back(ms / static_cast<double>(cmu.size()));
                    }
                }
            }
        }
        for (Timed& t : lineTimed) {
            t.weight = std::accumulate(t.phoneWeights.begin(), t.phoneWeights.end(), 0.0);
            if (t.weight <= 0) t.weight = 100;
        }
        timed.insert(timed.end(), lineTimed.begin(), lineTimed.end());
    }
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
    for (const Timed& t : timed) weights.push_back(speech ? t.weight : 1.0);
    const std::vector<Placed> placed = SpreadOver(weights, stretches);
    std::vector<BreakdownWord> words;
    const WordList list = Flatten(lines);
    for (std::size_t i = 0; i < list.words.size(); ++i) {
        BreakdownWord w;
        w.text = list.words[i].text;
        w.start = request.firstSample + placed[i].start;
        w.end = request.firstSample + placed[i].end;
        w.spread = true;
        w.phonemes = SpreadPhonemes(timed[i].phones, timed[i].phoneWeights, w.start, w.end);
        words.push_back(std::move(w));
    }
    result.breakdown = Assemble(request, lines, std::move(words));
    result.outcome = speech ? DialogueResult::Outcome::Aligned : DialogueResult::Outcome::NoSpeech;
    if (!speech) result.message = "No speech was found: the words are spread evenly, to place by hand.";
    Report(request, 1.0);
    return result;
}

// Loaded recognizers kept between jobs (each job takes one of its own, so
// jobs on several threads never share one): the model loads once.
std::mutex& PoolLock() {
    static std::mutex lock;
    return lock;
}
std::vector<std::unique_ptr<SpeechRecognizer>>& Pool() {
    static std::vector<std::unique_ptr<SpeechRecognizer>> pool;
    return pool;
}

std::unique_ptr<SpeechRecognizer> TakeRecognizer(std::string& error) {
    {
        std::lock_guard<std::mutex> hold(PoolLock());
        if (!Pool().empty()) {
            auto recognizer = std::move(Pool().back());
            Pool().pop_back();
            return recognizer;
        }
    }
    return SpeechRecognizer::Create(SpeechRecognizer::DefaultModelDir(), SpeechRecognizer::DefaultDictionary(),
                                    false, error);
}

void GiveBack(std::unique_ptr<SpeechRecognizer> recognizer) {
    std::lock_guard<std::mutex> hold(PoolLock());
    if (Pool().size() < 2) Pool().push_back(std::move(recognizer));
}

} // namespace

DialogueWay DialogueLanguageWay(const std::string& language) {
    if (IsEnglish(language)) return DialogueWay::Recognizer;
    return HasEspeakVoice(language) ? DialogueWay::VoicedStretches : DialogueWay::Unknown;
}

std::string DialogueWayText(DialogueWay way) {
    switch (way) {
    case DialogueWay::Recognizer: return "Aligned by ear (English speech model)";
    case DialogueWay::VoicedStretches: return "Spread over the voiced stretches (no speech model for this language)";
    case DialogueWay::Unknown: break;
    }
    return "Unknown language";
}

DialogueResult BreakDownDialogue(const DialogueRequest& request) {
    DialogueResult result;
    result.way = DialogueLanguageWay(request.language);
    if (request.mono == nullptr || request.mono->empty() || request.sampleRate <= 0) {
        result.message = "There is no sound to align the dialogue to.";
        return result;
    }
    const std::vector<SpokenTextLine> lines = SplitSpokenText(request.text, result.way == DialogueWay::Recognizer);
    if (lines.empty()) {
        result.message = "The dialogue text is empty.";
        return result;
    }
    if (result.way == DialogueWay::Unknown) {
        result.message = "espeak-ng does not know the language \"" + request.language + "\".";
        return result;
    }
    Report(request, 0.0);
    if (result.way == DialogueWay::VoicedStretches) return SpreadByEspeak(request, lines);
    std::string error;
    auto recognizer = TakeRecognizer(error);
    if (!recognizer) {
        result.message = error;
        return result;
    }
    EnglishAligner aligner(request, *recognizer);
    result = aligner.Run(lines);
    GiveBack(std::move(recognizer));
    return result;
}

} // namespace zv
