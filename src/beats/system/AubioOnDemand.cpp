// The aubio calls the onset detection makes, loaded when the first of them
// is made rather than when the program starts. aubio brings FFmpeg and over
// a hundred more libraries with it; linked in the usual way they were
// mapped and relocated before the window could show, for every start, while
// most sessions never detect an onset.
//
// Each function here has aubio's own name and declaration (from its header)
// and forwards to the library, which is opened once (dlopen) on the first
// call. These definitions are the program's own: the executable does not
// export them, so aubio's calls among its own functions stay aubio's.
// Without the library, the constructors return null and the rest return 0
// or do nothing: the analyses see an onset detector that could not be made.
#include "beats/system/AubioOnDemand.h"

#include <aubio/aubio.h>
#include <dlfcn.h>

namespace {

struct Aubio {
    decltype(&::new_aubio_onset) newOnset = nullptr;
    decltype(&::del_aubio_onset) delOnset = nullptr;
    decltype(&::aubio_onset_set_threshold) setThreshold = nullptr;
    decltype(&::aubio_onset_do) onsetDo = nullptr;
    decltype(&::aubio_onset_get_last) getLast = nullptr;
    decltype(&::aubio_onset_get_descriptor) getDescriptor = nullptr;
    decltype(&::new_fvec) newFvec = nullptr;
    decltype(&::del_fvec) delFvec = nullptr;
    decltype(&::fvec_get_data) fvecData = nullptr;
    decltype(&::fvec_get_sample) fvecSample = nullptr;
    // aubio's own beat tracker, which only the benchmark's baseline uses.
    decltype(&::new_aubio_tempo) newTempo = nullptr;
    decltype(&::del_aubio_tempo) delTempo = nullptr;
    decltype(&::aubio_tempo_do) tempoDo = nullptr;
    decltype(&::aubio_tempo_get_last) tempoLast = nullptr;
    pthread_mutex_t* fftwMutex = nullptr;
};

template <typename F>
void Find(void* library, const char* name, F& into) {
    into = reinterpret_cast<F>(dlsym(library, name));
}

Aubio Load() {
    Aubio a;
    void* library = dlopen("libaubio.so.5", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) library = dlopen("libaubio.so", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return a;   // kept open for the program's life once found
    Find(library, "new_aubio_onset", a.newOnset);
    Find(library, "del_aubio_onset", a.delOnset);
    Find(library, "aubio_onset_set_threshold", a.setThreshold);
    Find(library, "aubio_onset_do", a.onsetDo);
    Find(library, "aubio_onset_get_last", a.getLast);
    Find(library, "aubio_onset_get_descriptor", a.getDescriptor);
    Find(library, "new_fvec", a.newFvec);
    Find(library, "del_fvec", a.delFvec);
    Find(library, "fvec_get_data", a.fvecData);
    Find(library, "fvec_get_sample", a.fvecSample);
    Find(library, "new_aubio_tempo", a.newTempo);
    Find(library, "del_aubio_tempo", a.delTempo);
    Find(library, "aubio_tempo_do", a.tempoDo);
    Find(library, "aubio_tempo_get_last", a.tempoLast);
    a.fftwMutex = static_cast<pthread_mutex_t*>(dlsym(library, "aubio_fftw_mutex"));
    // All or nothing: a library without one of them is not the one expected.
    if (!a.newOnset || !a.delOnset || !a.setThreshold || !a.onsetDo || !a.getLast || !a.getDescriptor ||
        !a.newFvec || !a.delFvec || !a.fvecData || !a.fvecSample || !a.fftwMutex)
        return Aubio{};
    return a;
}

// Opened once, on the first call from any thread.
const Aubio& Library() {
    static const Aubio aubio = Load();
    return aubio;
}

}  // namespace

pthread_mutex_t& zv::AubioFftwMutex() {
    static pthread_mutex_t own = PTHREAD_MUTEX_INITIALIZER;
    pthread_mutex_t* aubio = Library().fftwMutex;
    return aubio != nullptr ? *aubio : own;
}

extern "C" {

aubio_onset_t* new_aubio_onset(const char_t* method, uint_t buf_size, uint_t hop_size, uint_t samplerate) {
    const Aubio& a = Library();
    return a.newOnset ? a.newOnset(method, buf_size, hop_size, samplerate) : nullptr;
}

void del_aubio_onset(aubio_onset_t* o) {
    const Aubio& a = Library();
    if (a.delOnset && o) a.delOnset(o);
}

uint_t aubio_onset_set_threshold(aubio_onset_t* o, smpl_t threshold) {
    const Aubio& a = Library();
    return a.setThreshold && o ? a.setThreshold(o, threshold) : 1;
}

void aubio_onset_do(aubio_onset_t* o, const fvec_t* input, fvec_t* onset) {
    const Aubio& a = Library();
    if (a.onsetDo && o && input && onset) a.onsetDo(o, input, onset);
}

uint_t aubio_onset_get_last(const aubio_onset_t* o) {
    const Aubio& a = Library();
    return a.getLast && o ? a.getLast(o) : 0;
}

smpl_t aubio_onset_get_descriptor(const aubio_onset_t* o) {
    const Aubio& a = Library();
    return a.getDescriptor && o ? a.getDescriptor(o) : 0;
}

aubio_tempo_t* new_aubio_tempo(const char_t* method, uint_t buf_size, uint_t hop_size, uint_t samplerate) {
    const Aubio& a = Library();
    return a.newTempo ? a.newTempo(method, buf_size, hop_size, samplerate) : nullptr;
}

void del_aubio_tempo(aubio_tempo_t* o) {
    const Aubio& a = Library();
    if (a.delTempo && o) a.delTempo(o);
}

void aubio_tempo_do(aubio_tempo_t* o, const fvec_t* input, fvec_t* tempo) {
    const Aubio& a = Library();
    if (a.tempoDo && o && input && tempo) a.tempoDo(o, input, tempo);
}

uint_t aubio_tempo_get_last(aubio_tempo_t* o) {
    const Aubio& a = Library();
    return a.tempoLast && o ? a.tempoLast(o) : 0;
}

fvec_t* new_fvec(uint_t length) {
    const Aubio& a = Library();
    return a.newFvec ? a.newFvec(length) : nullptr;
}

void del_fvec(fvec_t* s) {
    const Aubio& a = Library();
    if (a.delFvec && s) a.delFvec(s);
}

smpl_t* fvec_get_data(const fvec_t* s) {
    const Aubio& a = Library();
    return a.fvecData && s ? a.fvecData(s) : nullptr;
}

smpl_t fvec_get_sample(const fvec_t* s, uint_t position) {
    const Aubio& a = Library();
    return a.fvecSample && s ? a.fvecSample(s, position) : 0;
}

}  // extern "C"
