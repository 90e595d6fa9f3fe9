// Rows: the dialogue breakdown of a 12 s line (espeak-ng speaking it, so no
// recording is needed), in English and in German (heard through the English
// model, its words in espeak-ng's phonemes):
//   - the whole job as the window runs it (pronunciations, the 16 kHz
//     sound, the words, the phones; the model loaded by an earlier job),
//     against one bare PocketSphinx
//     decode of the same 16 kHz audio with the same grammar, the model
//     already loaded (target: within 2x, and 0.2x real time);
//   - the same for seven other 12 s lines, one in each language the
//     accuracy tests hold, each its own voice and speed (so no one line is
//     what the speed is tuned to): all the jobs against all the bare
//     decodes, with the worst line's ratio in the note;
//   - loading the English model and dictionary (target: < 300 ms), with the
//     resident memory it adds (target: < 120 MiB).
#include <chrono>
#include <cstdio>
#include <iterator>
#include <fstream>
#include <string>

#include "BenchTable.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/PhoneMap.h"
#include "dialogue/Resampler.h"
#include "dialogue/SpeechRecognizer.h"
#include "dialogue/SpokenText.h"

namespace zv::bench {

namespace {

const char* const kLine =
    "When the northern lights came back that winter, old Captain Zorblax climbed the hill behind the harbour "
    "with 42 lanterns, and he waited there in the cold until every one of them was burning against the dark.";
const char* const kGermanLine =
    "Als das Nordlicht in jenem Winter zurückkehrte, stieg der alte Kapitän mit vielen Laternen auf den Hügel "
    "hinter dem Hafen, und er wartete dort in der Kälte, bis jede einzelne gegen die Dunkelheit brannte.";

struct Line {
    std::vector<float> mono;   // 22050 Hz, half a second of quiet either side
    int32_t rate = 22050;
    double Seconds() const { return static_cast<double>(mono.size()) / rate; }
};

Line Spoken(const char* text, const char* voice) {
    Line l;
    std::string error;
    const auto speech = SpeakWithEspeak(text, voice, 175, error);
    l.mono.assign(11025, 0.0f);
    if (speech)
        for (int16_t s : speech->samples) l.mono.push_back(static_cast<float>(s) / 32768.0f);
    l.mono.resize(l.mono.size() + 11025, 0.0f);
    return l;
}

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BreakdownRow(benchmark::State& state, const char* text, const char* language) {
    const Line line = Spoken(text, language);
    const bool english = IsEnglishLanguage(language);
    std::string error;
    auto bare = SpeechRecognizer::Create(SpeechRecognizer::DefaultModelDir(), SpeechRecognizer::DefaultDictionary(),
                                         false, error);
    if (!bare || line.mono.size() < 22050) {
        state.SkipWithError(bare ? "espeak-ng did not speak" : error.c_str());
        return;
    }
    const std::vector<int16_t> pcm = ResampleTo16Bit(line.mono, line.rate, SpeechRecognizer::kSampleRate);
    std::vector<std::string> words;
    for (const auto& l : SplitSpokenText(text, english))
        for (const auto& w : l.words) {
            // Other languages' words under keys of their own, as the job has them.
            words.push_back(english ? w.key : std::string(language) + ":" + w.key);
            if (bare->Pronunciation(words.back())) continue;
            if (english) bare->AddWord(w.key, {"Z", "AO", "R", "B", "L", "AE", "K", "S"});
            else bare->AddWord(words.back(), CmuPhonesOfIpa(EspeakPhonemesOfWord(w.text, language)));
        }
    DialogueRequest request;
    request.mono = &line.mono;
    request.sampleRate = line.rate;
    request.soundFrames = static_cast<int64_t>(line.mono.size());
    request.text = text;
    request.language = language;
    BreakDownDialogue(request);   // the first job loads the model
    double base = 0, job = 0;
    int n = 0;
    bool heard = true;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const DialogueResult result = BreakDownDialogue(request);
        const double took = SecondsSince(start);
        state.SetIterationTime(took);
        job += took;
        heard = heard && result.outcome == DialogueResult::Outcome::Aligned;
        start = std::chrono::steady_clock::now();
        bare->DecodeOnly(pcm.data(), pcm.size(), words);
        base += SecondsSince(start);
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    state.counters[kTarget] = 2.0;
    char note[160];
    std::snprintf(note, sizeof note, "base: one bare decode; %.1f s line, job at %.3fx real time (target 0.2x)%s",
                  line.Seconds(), job / n / line.Seconds(), heard ? "" : "; LINE NOT HEARD");
    SetRowText(state, "ms", "", note);
}

struct OtherLine {
    const char* voice;
    int wpm;
    const char* text;
};

const OtherLine kOtherLines[] = {
    {"de+f2", 150,
     "Meine Großmutter hatte einen kleinen Garten hinter dem Bahnhof, wo sie jeden Sommer Bohnen und Tomaten zog, "
     "und die Nachbarn kamen abends vorbei, um ihre Äpfel gegen einen Korb Paprika zu tauschen."},
    {"fr+m3", 200,
     "Ma grand-mère avait un petit jardin derrière la gare, où elle faisait pousser des haricots et des tomates "
     "chaque été, et les voisins passaient le soir pour échanger leurs pommes contre un panier de poivrons."},
    {"es+f4", 210,
     "Mi abuela tenía un pequeño jardín detrás de la estación, donde cultivaba judías y tomates cada verano, y los "
     "vecinos pasaban por la tarde para cambiar sus manzanas por una cesta de pimientos."},
    {"it+m1", 150,
     "Mia nonna aveva un piccolo giardino dietro la stazione, dove coltivava fagioli e pomodori ogni estate, e i "
     "vicini passavano la sera per scambiare le loro mele con un cesto di peperoni."},
    {"pt-br+m1", 190,
     "A minha avó tinha um pequeno jardim atrás da estação, onde cultivava feijão e tomates todos os verões, e os "
     "vizinhos passavam à noite para trocar as suas maçãs por um cesto de pimentos."},
    {"nl+f2", 150,
     "Mijn grootmoeder had een kleine tuin achter het station, waar ze elke zomer bonen en tomaten kweekte, en de "
     "buren kwamen 's avonds langs om hun appels te ruilen voor een mand paprika's."},
    {"pl+f4", 150,
     "Moja babcia miała mały ogród za dworcem, gdzie każdego lata uprawiała fasolę i pomidory, a sąsiedzi "
     "przychodzili wieczorem, żeby wymienić swoje jabłka na koszyk papryki."},
};

// One job and one bare decode of each line in turn; the value and the
// baseline are their sums over the lines.
void OtherLanguagesRow(benchmark::State& state) {
    struct Prepared {
        std::string language;
        Line line;
        std::vector<int16_t> pcm;
        std::vector<std::string> words;
        DialogueRequest request;
    };
    std::string error;
    auto bare = SpeechRecognizer::Create(SpeechRecognizer::DefaultModelDir(), SpeechRecognizer::DefaultDictionary(),
                                         false, error);
    if (!bare) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<Prepared> lines(std::size(kOtherLines));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Prepared& p = lines[i];
        const OtherLine& o = kOtherLines[i];
        p.language = std::string(o.voice).substr(0, std::string(o.voice).find('+'));
        p.line.mono.assign(11025, 0.0f);
        const auto speech = SpeakWithEspeak(o.text, o.voice, o.wpm, error);
        if (!speech) {
            state.SkipWithError("espeak-ng did not speak");
            return;
        }
        for (int16_t s : speech->samples) p.line.mono.push_back(static_cast<float>(s) / 32768.0f);
        p.line.mono.resize(p.line.mono.size() + 11025, 0.0f);
        p.pcm = ResampleTo16Bit(p.line.mono, p.line.rate, SpeechRecognizer::kSampleRate);
        const std::string tag = p.language.substr(0, p.language.find('-'));
        for (const auto& l : SplitSpokenText(o.text, false))
            for (const auto& w : l.words) {
                p.words.push_back(tag + ":" + w.key);
                if (!bare->Pronunciation(p.words.back()))
                    bare->AddWord(p.words.back(), CmuPhonesOfIpa(EspeakPhonemesOfWord(w.text, p.language)));
            }
        p.request.mono = &p.line.mono;
        p.request.sampleRate = p.line.rate;
        p.request.soundFrames = static_cast<int64_t>(p.line.mono.size());
        p.request.text = o.text;
        p.request.language = p.language;
        BreakDownDialogue(p.request);   // its words known, as for a second job
    }
    double base = 0, job = 0, worst = 0;
    const char* worstVoice = "";
    int n = 0;
    bool heard = true;
    for (auto _ : state) {
        double took = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            auto start = std::chrono::steady_clock::now();
            const DialogueResult result = BreakDownDialogue(lines[i].request);
            const double one = SecondsSince(start);
            heard = heard && result.outcome == DialogueResult::Outcome::Aligned;
            for (const auto& w : result.breakdown.WordItems()) heard = heard && w.kind != "spread";
            start = std::chrono::steady_clock::now();
            bare->DecodeOnly(lines[i].pcm.data(), lines[i].pcm.size(), lines[i].words);
            const double decode = SecondsSince(start);
            took += one;
            base += decode;
            if (decode > 0 && one / decode > worst) {
                worst = one / decode;
                worstVoice = kOtherLines[i].voice;
            }
        }
        state.SetIterationTime(took);
        job += took;
        ++n;
    }
    state.counters[kBaseline] = base / n * 1e3;
    state.counters[kTarget] = 2.0;
    char note[200];
    std::snprintf(note, sizeof note, "base: the bare decodes; %zu lines (fr de es it pt nl pl), the worst %s at %.2fx%s",
                  lines.size(), worstVoice, worst, heard ? "" : "; A LINE NOT HEARD");
    SetRowText(state, "ms", "", note);
}

void ModelLoadRow(benchmark::State& state) {
    double grew = 0;
    int n = 0;
    for (auto _ : state) {
        // What the first load adds; later ones reuse the memory it freed.
        const double before = ResidentMiB();
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        auto recognizer = SpeechRecognizer::Create(SpeechRecognizer::DefaultModelDir(),
                                                   SpeechRecognizer::DefaultDictionary(), false, error);
        state.SetIterationTime(SecondsSince(start));
        if (n == 0) grew = ResidentMiB() - before;
        ++n;
        if (!recognizer) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    char note[120];
    std::snprintf(note, sizeof note, "the first adds %.0f MiB resident (target < 120 MiB)", grew);
    SetRowText(state, "ms", "< 300 ms", note);
}

}  // namespace

void RegisterDialogueRows() {
    // The model's load first, while no other has been loaded in this process.
    benchmark::RegisterBenchmark("Dialogue model load", ModelLoadRow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Dialogue breakdown, 12 s line", BreakdownRow, kLine, "en-us")
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Dialogue breakdown, 12 s line in German", BreakdownRow, kGermanLine, "de")
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Dialogue breakdown, 12 s lines in 7 languages", OtherLanguagesRow)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
}

}  // namespace zv::bench
