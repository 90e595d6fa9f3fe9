#include "dialogue/SpeechRecognizer.h"

#include <pocketsphinx.h>
#include <sphinxbase/fsg_model.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace zv {

namespace {

constexpr const char* kNormalBeam = "1e-150";
constexpr const char* kWideBeam = "1e-300";
constexpr double kNormalBeamValue = 1e-150;
constexpr double kWideBeamValue = 1e-300;

} // namespace

struct SpeechRecognizer::Decoder {
    ps_decoder_t* ps = nullptr;
    ~Decoder() {
        if (ps != nullptr) ps_free(ps);
    }
};

const char* SpeechRecognizer::DefaultModelDir() { return "/usr/share/pocketsphinx/model/en-us/en-us"; }
const char* SpeechRecognizer::DefaultDictionary() { return "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"; }

SpeechRecognizer::SpeechRecognizer(std::unique_ptr<Decoder> decoder, bool wideBeams)
    : decoder_(std::move(decoder)), alwaysWide_(wideBeams) {
    // The CMU phone set the dictionary and the model share.
    phones_ = {"AA", "AE", "AH", "AO", "AW", "AY", "B",  "CH", "D",  "DH", "EH", "ER", "EY",
               "F",  "G",  "HH", "IH", "IY", "JH", "K",  "L",  "M",  "N",  "NG", "OW", "OY",
               "P",  "R",  "S",  "SH", "T",  "TH", "UH", "UW", "V",  "W",  "Y",  "Z",  "ZH"};
}

SpeechRecognizer::~SpeechRecognizer() = default;

std::unique_ptr<SpeechRecognizer> SpeechRecognizer::Create(const std::string& modelDir, const std::string& dictionary,
                                                           bool wideBeams, std::string& error) {
    // -remove_silence no: every 10 ms frame of the sound is decoded, so
    // frame numbers are times (dropping quiet frames would shift them).
    // -remove_noise no: the spectral noise subtraction (meant for
    // recognition in noise) moves where the model hears words begin:
    // without it, word starts on made speech (331 words, eight languages)
    // came 14.1 ms from the spoken ones on average instead of 15.2, English
    // ones 13.3 instead of 15.4; recorded words stayed within 28 ms.
    // -bestpath no: the grammar's own best path, not a lattice rescoring.
    // -fsgusefiller no: silence is the grammar's own (SetGrammar); the
    // model's noise fillers, looped in everywhere, lose whole lines in this
    // version ("Final result does not match the grammar").
    // -silprob 0.1: pauses are as likely as not in read lines; dictation's
    // 0.005 makes a leading or closing silence so dear that the search
    // loses the line the same way.
    // The grammar is one line of words, so few hypotheses are ever alive:
    // beams far wider than dictation's cost little, and narrower ones lose
    // some lines outright (the search then ends with no result). Each
    // grammar's search takes the beams the settings hold when it is made
    // (SetGrammar), so one loaded model serves both widths.
    const char* beam = wideBeams ? kWideBeam : kNormalBeam;
    std::vector<std::string> args = {"-hmm", modelDir, "-dict", dictionary, "-logfn", "/dev/null",
                                     "-remove_silence", "no", "-remove_noise", "no", "-bestpath", "no",
                                     "-fsgusefiller", "no", "-silprob", "0.1",
                                     "-beam", beam, "-wbeam", beam, "-pbeam", beam, "-maxhmmpf", "-1"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    cmd_ln_t* config = cmd_ln_parse_r(nullptr, ps_args(), static_cast<int32>(argv.size()), argv.data(), TRUE);
    if (config == nullptr) {
        error = "The speech recognizer's settings were refused";
        return nullptr;
    }
    auto decoder = std::make_unique<Decoder>();
    decoder->ps = ps_init(config);
    cmd_ln_free_r(config);
    if (decoder->ps == nullptr) {
        error = "Couldn't load the English speech model from " + modelDir;
        return nullptr;
    }
    return std::unique_ptr<SpeechRecognizer>(new SpeechRecognizer(std::move(decoder), wideBeams));
}

std::optional<std::vector<std::string>> SpeechRecognizer::Pronunciation(const std::string& word) const {
    char* phones = ps_lookup_word(decoder_->ps, word.c_str());
    if (phones == nullptr) return std::nullopt;
    std::vector<std::string> out;
    std::istringstream in(phones);
    std::free(phones);
    for (std::string phone; in >> phone;) out.push_back(phone);
    if (out.empty()) return std::nullopt;
    return out;
}

bool SpeechRecognizer::AddWord(const std::string& word, const std::vector<std::string>& phones) {
    if (phones.empty() || word.empty()) return false;
    std::string joined;
    for (const std::string& p : phones) {
        if (!joined.empty()) joined += ' ';
        joined += p;
    }
    return ps_add_word(decoder_->ps, word.c_str(), joined.c_str(), FALSE) >= 0;
}

bool SpeechRecognizer::SetGrammar(const std::vector<std::string>& words, bool mayStopEarly,
                                  const std::vector<bool>* pauseAfter, bool wideBeams) {
    ps_decoder_t* ps = decoder_->ps;
    // The beams of the search made below.
    const double beam = wideBeams || alwaysWide_ ? kWideBeamValue : kNormalBeamValue;
    for (const char* name : {"-beam", "-wbeam", "-pbeam"}) cmd_ln_set_float_r(ps_get_config(ps), name, beam);
    const float lw = cmd_ln_float32_r(ps_get_config(ps), "-lw");
    const std::string name = "line" + std::to_string(grammars_++ % 2);
    const int n = static_cast<int>(words.size());
    // States 0..n between the words; the line ends in state n + 1, reached
    // from n by a closing silence or by nothing. (Ending in state n itself,
    // this version's search loses some lines whose sound ends in silence:
    // it finds no way out of the last state at the last frame.)
    fsg_model_t* fsg = fsg_model_init(name.c_str(), ps_get_logmath(ps), lw, n + 2);
    fsg->start_state = 0;
    fsg->final_state = n + 1;
    for (int i = 0; i < n; ++i) {
        const int wid = fsg_model_word_add(fsg, words[static_cast<std::size_t>(i)].c_str());
        fsg_model_trans_add(fsg, i, i + 1, 0, wid);
        if (mayStopEarly && i + 1 < n) fsg_model_null_trans_add(fsg, i + 1, n, 0);
    }
    fsg_model_trans_add(fsg, n, n + 1, 0, fsg_model_word_add(fsg, "<sil>"));
    fsg_model_null_trans_add(fsg, n, n + 1, 0);
    // Optional silence before, between and after the words.
    const float silence = cmd_ln_float32_r(ps_get_config(ps), "-silprob");
    if (pauseAfter == nullptr) {
        fsg_model_add_silence(fsg, "<sil>", -1, silence);
    } else {
        for (int state = 0; state <= n; ++state)
            if (state == 0 || state == n || (*pauseAfter)[static_cast<std::size_t>(state - 1)])
                fsg_model_add_silence(fsg, "<sil>", state, silence);
    }
    const bool ok = ps_set_fsg(ps, name.c_str(), fsg) == 0 && ps_set_search(ps, name.c_str()) == 0;
    fsg_model_free(fsg);
    return ok;
}

void SpeechRecognizer::DecodeOnly(const int16_t* samples, std::size_t count, const std::vector<std::string>& words) {
    if (words.empty() || count == 0 || !SetGrammar(words, false, nullptr, false)) return;
    ps_decoder_t* ps = decoder_->ps;
    if (ps_start_utt(ps) < 0) return;
    ps_process_raw(ps, samples, count, FALSE, TRUE);
    ps_end_utt(ps);
}

Recognition SpeechRecognizer::Align(const int16_t* samples, std::size_t count, const std::vector<std::string>& words,
                                    bool mayStopEarly, const std::vector<bool>* pauseAfter, bool wideBeams) {
    Recognition out;
    if (words.empty() || count == 0 || (pauseAfter != nullptr && pauseAfter->size() != words.size()) ||
        !SetGrammar(words, mayStopEarly, pauseAfter, wideBeams))
        return out;
    ps_decoder_t* ps = decoder_->ps;
    if (ps_start_utt(ps) < 0) return out;
    // The whole line at once: the cepstral mean is taken over all of it.
    ps_process_raw(ps, samples, count, FALSE, TRUE);
    ps_end_utt(ps);
    int32 score = 0;
    if (ps_get_hyp(ps, &score) == nullptr) return out;
    for (ps_seg_t* seg = ps_seg_iter(ps); seg != nullptr; seg = ps_seg_next(seg)) {
        const char* word = ps_seg_word(seg);
        if (word == nullptr || word[0] == '<' || word[0] == '[' || std::strcmp(word, "(NULL)") == 0) continue;
        std::string text = word;
        RecognizedWord r;
        r.entry = text;
        if (const auto paren = text.find('('); paren != std::string::npos && paren > 0) text.erase(paren);
        r.word = text;
        ps_seg_frames(seg, &r.firstFrame, &r.lastFrame);
        out.words.push_back(std::move(r));
    }
    // The search stops short of the grammar's end when it loses the line:
    // then it reports fewer words, or others, than were asked for.
    if (mayStopEarly) {
        out.reachedEnd = !out.words.empty();
        for (std::size_t i = 0; i < out.words.size() && out.reachedEnd; ++i)
            out.reachedEnd = out.words[i].word == words[i];
    } else {
        out.reachedEnd = out.words.size() == words.size();
        for (std::size_t i = 0; i < out.words.size() && out.reachedEnd; ++i)
            out.reachedEnd = out.words[i].word == words[i];
    }
    return out;
}

} // namespace zv
