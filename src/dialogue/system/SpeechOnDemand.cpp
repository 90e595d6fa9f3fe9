// The speech libraries the dialogue breakdown calls, opened when the first
// of their functions is called rather than when the program starts: the
// recognizer (PocketSphinx, with sphinxbase and the BLAS/LAPACK/Fortran
// libraries behind it) and the synthesizer (espeak-ng, with its audio and
// sound-server libraries). Linked in the usual way they were all mapped and
// relocated before the window could show, for every start.
//
// Each function here has the library's own name and declaration (from its
// header) and forwards to the library, found once (dlopen, dlsym) on the
// first call. These definitions are the program's own: the executable does
// not export them, so the libraries' calls among their own functions stay
// theirs. Without a library, its functions fail as the library itself
// reports a failure (null, -1, an error code), and the dialogue breakdown
// tells the user it could not start.
#include <dlfcn.h>
#include <espeak-ng/speak_lib.h>
#include <pocketsphinx.h>
#include <sphinxbase/fsg_model.h>

namespace {

// The library opened once (kept for the program's life), or null.
void* Open(const char* soname, const char* plain) {
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    return library != nullptr ? library : dlopen(plain, RTLD_NOW | RTLD_LOCAL);
}

// PocketSphinx, and sphinxbase that it depends on (dlsym searches both).
void* Recognizer() {
    static void* const library = Open("libpocketsphinx.so.3", "libpocketsphinx.so");
    return library;
}

void* Synthesizer() {
    static void* const library = Open("libespeak-ng.so.1", "libespeak-ng.so");
    return library;
}

template <typename F>
F Find(void* library, const char* name) {
    return library != nullptr ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

}  // namespace

// Calls `name` in `library` with the arguments, or gives `failure` when it
// is not there. The function is looked up once.
#define ZV_FORWARD(library, name, failure, ...)                                    \
    static const auto real = Find<decltype(&::name)>(library(), #name);           \
    return real != nullptr ? real(__VA_ARGS__) : failure

extern "C" {

// ---- sphinxbase ----

cmd_ln_t* cmd_ln_parse_r(cmd_ln_t* inout_cmdln, arg_t const* defn, int32 argc, char* argv[], int32 strict) {
    ZV_FORWARD(Recognizer, cmd_ln_parse_r, nullptr, inout_cmdln, defn, argc, argv, strict);
}

int cmd_ln_free_r(cmd_ln_t* cmdln) { ZV_FORWARD(Recognizer, cmd_ln_free_r, 0, cmdln); }

double cmd_ln_float_r(cmd_ln_t* cmdln, char const* name) { ZV_FORWARD(Recognizer, cmd_ln_float_r, 0.0, cmdln, name); }

void cmd_ln_set_float_r(cmd_ln_t* cmdln, char const* name, double fv) {
    ZV_FORWARD(Recognizer, cmd_ln_set_float_r, void(), cmdln, name, fv);
}

fsg_model_t* fsg_model_init(char const* name, logmath_t* lmath, float32 lw, int32 n_state) {
    ZV_FORWARD(Recognizer, fsg_model_init, nullptr, name, lmath, lw, n_state);
}

int fsg_model_free(fsg_model_t* fsg) { ZV_FORWARD(Recognizer, fsg_model_free, 0, fsg); }

int fsg_model_word_add(fsg_model_t* fsg, char const* word) { ZV_FORWARD(Recognizer, fsg_model_word_add, -1, fsg, word); }

void fsg_model_trans_add(fsg_model_t* fsg, int32 from, int32 to, int32 logp, int32 wid) {
    ZV_FORWARD(Recognizer, fsg_model_trans_add, (void)0, fsg, from, to, logp, wid);
}

int32 fsg_model_null_trans_add(fsg_model_t* fsg, int32 from, int32 to, int32 logp) {
    ZV_FORWARD(Recognizer, fsg_model_null_trans_add, -1, fsg, from, to, logp);
}

int fsg_model_add_silence(fsg_model_t* fsg, char const* silword, int state, float32 silprob) {
    ZV_FORWARD(Recognizer, fsg_model_add_silence, -1, fsg, silword, state, silprob);
}

// ---- PocketSphinx ----

arg_t const* ps_args(void) { ZV_FORWARD(Recognizer, ps_args, nullptr); }

ps_decoder_t* ps_init(cmd_ln_t* config) { ZV_FORWARD(Recognizer, ps_init, nullptr, config); }

int ps_free(ps_decoder_t* ps) { ZV_FORWARD(Recognizer, ps_free, 0, ps); }

cmd_ln_t* ps_get_config(ps_decoder_t* ps) { ZV_FORWARD(Recognizer, ps_get_config, nullptr, ps); }

logmath_t* ps_get_logmath(ps_decoder_t* ps) { ZV_FORWARD(Recognizer, ps_get_logmath, nullptr, ps); }

int ps_add_word(ps_decoder_t* ps, char const* word, char const* phones, int update) {
    ZV_FORWARD(Recognizer, ps_add_word, -1, ps, word, phones, update);
}

char* ps_lookup_word(ps_decoder_t* ps, const char* word) { ZV_FORWARD(Recognizer, ps_lookup_word, nullptr, ps, word); }

int ps_set_fsg(ps_decoder_t* ps, const char* name, fsg_model_t* fsg) {
    ZV_FORWARD(Recognizer, ps_set_fsg, -1, ps, name, fsg);
}

int ps_set_search(ps_decoder_t* ps, const char* name) { ZV_FORWARD(Recognizer, ps_set_search, -1, ps, name); }

int ps_start_utt(ps_decoder_t* ps) { ZV_FORWARD(Recognizer, ps_start_utt, -1, ps); }

int ps_process_raw(ps_decoder_t* ps, int16 const* data, size_t n_samples, int no_search, int full_utt) {
    ZV_FORWARD(Recognizer, ps_process_raw, -1, ps, data, n_samples, no_search, full_utt);
}

int ps_end_utt(ps_decoder_t* ps) { ZV_FORWARD(Recognizer, ps_end_utt, -1, ps); }

char const* ps_get_hyp(ps_decoder_t* ps, int32* out_best_score) {
    ZV_FORWARD(Recognizer, ps_get_hyp, nullptr, ps, out_best_score);
}

ps_seg_t* ps_seg_iter(ps_decoder_t* ps) { ZV_FORWARD(Recognizer, ps_seg_iter, nullptr, ps); }

ps_seg_t* ps_seg_next(ps_seg_t* seg) { ZV_FORWARD(Recognizer, ps_seg_next, nullptr, seg); }

char const* ps_seg_word(ps_seg_t* seg) { ZV_FORWARD(Recognizer, ps_seg_word, nullptr, seg); }

void ps_seg_frames(ps_seg_t* seg, int* out_sf, int* out_ef) {
    ZV_FORWARD(Recognizer, ps_seg_frames, (void)0, seg, out_sf, out_ef);
}

// ---- espeak-ng ----

int espeak_Initialize(espeak_AUDIO_OUTPUT output, int buflength, const char* path, int options) {
    ZV_FORWARD(Synthesizer, espeak_Initialize, -1, output, buflength, path, options);
}

void espeak_SetSynthCallback(t_espeak_callback* SynthCallback) {
    ZV_FORWARD(Synthesizer, espeak_SetSynthCallback, (void)0, SynthCallback);
}

espeak_ERROR espeak_Synth(const void* text, size_t size, unsigned int position, espeak_POSITION_TYPE position_type,
                          unsigned int end_position, unsigned int flags, unsigned int* unique_identifier,
                          void* user_data) {
    ZV_FORWARD(Synthesizer, espeak_Synth, EE_INTERNAL_ERROR, text, size, position, position_type, end_position, flags,
               unique_identifier, user_data);
}

espeak_ERROR espeak_SetParameter(espeak_PARAMETER parameter, int value, int relative) {
    ZV_FORWARD(Synthesizer, espeak_SetParameter, EE_INTERNAL_ERROR, parameter, value, relative);
}

const espeak_VOICE** espeak_ListVoices(espeak_VOICE* voice_spec) {
    ZV_FORWARD(Synthesizer, espeak_ListVoices, nullptr, voice_spec);
}

espeak_ERROR espeak_SetVoiceByName(const char* name) { ZV_FORWARD(Synthesizer, espeak_SetVoiceByName, EE_INTERNAL_ERROR, name); }

espeak_ERROR espeak_Synchronize(void) { ZV_FORWARD(Synthesizer, espeak_Synchronize, EE_INTERNAL_ERROR); }

}  // extern "C"
