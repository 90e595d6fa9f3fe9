#include "dialogue/EspeakVoice.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace zv {

namespace {

std::mutex& EngineLock() {
    static std::mutex lock;
    return lock;
}

// What the synthesis callback gathers (only ever touched under the lock).
Speech* gathering = nullptr;

int Gather(short* wav, int count, espeak_EVENT* events) {
    if (gathering == nullptr) return 1;
    if (wav != nullptr && count > 0) gathering->samples.insert(gathering->samples.end(), wav, wav + count);
    for (espeak_EVENT* e = events; e != nullptr && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type == espeakEVENT_WORD) {
            SpokenWord word;
            word.textPosition = e->text_position;
            word.ms = e->audio_position;
            gathering->words.push_back(std::move(word));
        } else if (e->type == espeakEVENT_PHONEME && !gathering->words.empty()) {
            const std::string name(e->id.string, strnlen(e->id.string, sizeof e->id.string));
            gathering->words.back().phonemes.push_back({name, e->audio_position});
        } else if (e->type == espeakEVENT_MSG_TERMINATED) {
            gathering->endMs = e->audio_position;
        }
    }
    return 0;
}

// Starts the engine once, synthesizing into memory with IPA phoneme events.
bool Started() {
    static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                              espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_PHONEME_IPA |
                                                  espeakINITIALIZE_DONT_EXIT);
    if (rate > 0) espeak_SetSynthCallback(Gather);
    return rate > 0;
}

} // namespace

bool HasEspeakVoice(const std::string& language) {
    if (language.empty()) return false;
    std::lock_guard<std::mutex> hold(EngineLock());
    return Started() && espeak_SetVoiceByName(language.c_str()) == EE_OK;
}

std::vector<EspeakLanguage> EspeakLanguages() {
    std::vector<EspeakLanguage> languages;
    std::lock_guard<std::mutex> hold(EngineLock());
    if (!Started()) return languages;
    const espeak_VOICE** voices = espeak_ListVoices(nullptr);
    for (const espeak_VOICE** v = voices; v != nullptr && *v != nullptr; ++v) {
        // `languages` is a run of (priority byte, NUL-ended code), ended by a 0 byte: the first is the voice's own.
        const char* list = (*v)->languages;
        if (list == nullptr || list[0] == 0 || (*v)->name == nullptr) continue;
        const std::string code(list + 1);
        // mbrola voices need their own data files; variants are not languages.
        if (code.empty() || code.rfind("mb-", 0) == 0 || code.find("variant") != std::string::npos) continue;
        languages.push_back({code, (*v)->name});
    }
    std::sort(languages.begin(), languages.end(),
              [](const EspeakLanguage& a, const EspeakLanguage& b) { return a.code < b.code; });
    languages.erase(std::unique(languages.begin(), languages.end(),
                                [](const EspeakLanguage& a, const EspeakLanguage& b) { return a.code == b.code; }),
                    languages.end());
    return languages;
}

std::optional<Speech> SpeakWithEspeak(const std::string& text, const std::string& voice, int wordsPerMinute,
                                      std::string& error) {
    std::lock_guard<std::mutex> hold(EngineLock());
    if (!Started()) {
        error = "espeak-ng could not start";
        return std::nullopt;
    }
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) {
        error = "espeak-ng has no voice \"" + voice + "\"";
        return std::nullopt;
    }
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    Speech speech;
    speech.sampleRate = 22050;
    gathering = &speech;
    const espeak_ERROR result = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                             espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    gathering = nullptr;
    espeak_SetParameter(espeakRATE, espeakRATE_NORMAL, 0);
    if (result != EE_OK) {
        error = "espeak-ng could not speak the text";
        return std::nullopt;
    }
    if (speech.endMs == 0) speech.endMs = static_cast<int64_t>(speech.samples.size()) * 1000 / speech.sampleRate;
    return speech;
}

std::vector<std::string> EspeakPhonemesOfWord(const std::string& word, const std::string& language) {
    std::string error;
    auto speech = SpeakWithEspeak(word, language, espeakRATE_NORMAL, error);
    std::vector<std::string> out;
    if (!speech) return out;
    for (const SpokenWord& w : speech->words)
        for (const SpokenPhoneme& p : w.phonemes)
            if (!p.ipa.empty()) out.push_back(p.ipa);
    return out;
}

} // namespace zv
