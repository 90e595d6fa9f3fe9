// The FFTW (single precision) calls the spectrogram and the beat features
// make, with the library opened on the first of them rather than when the
// program starts (see common/system/LibraryOnDemand.h): FFTW is large, and
// nothing transforms before a sound is analysed or its spectrogram shown.
//
// Without the library nothing is allocated and no plan is made: the
// spectrogram reports that it could not plan its transform, and the beat
// features are not computed.
#include <fftw3.h>

#include "common/system/LibraryOnDemand.h"

namespace {

struct Fftw {
    zv::LibraryOnDemand library{"libfftw3f.so.3", "libfftw3f.so"};
    decltype(&::fftwf_alloc_real) allocReal = nullptr;
    decltype(&::fftwf_alloc_complex) allocComplex = nullptr;
    decltype(&::fftwf_free) free = nullptr;
    decltype(&::fftwf_plan_dft_r2c_1d) planR2c = nullptr;
    decltype(&::fftwf_execute) execute = nullptr;
    decltype(&::fftwf_destroy_plan) destroyPlan = nullptr;

    Fftw() {
        // All or nothing: a library without one of them is not the one expected.
        const bool all = library.Find("fftwf_alloc_real", allocReal) &
                         library.Find("fftwf_alloc_complex", allocComplex) & library.Find("fftwf_free", free) &
                         library.Find("fftwf_plan_dft_r2c_1d", planR2c) & library.Find("fftwf_execute", execute) &
                         library.Find("fftwf_destroy_plan", destroyPlan);
        if (!all) allocReal = nullptr, allocComplex = nullptr, planR2c = nullptr;
    }
    bool Usable() const { return allocReal != nullptr; }
};

// Opened once, on the first call from any thread.
const Fftw& Library() {
    static const Fftw fftw;
    return fftw;
}

}  // namespace

extern "C" {

float* fftwf_alloc_real(size_t n) {
    const Fftw& f = Library();
    return f.Usable() ? f.allocReal(n) : nullptr;
}

fftwf_complex* fftwf_alloc_complex(size_t n) {
    const Fftw& f = Library();
    return f.Usable() ? f.allocComplex(n) : nullptr;
}

void fftwf_free(void* p) {
    const Fftw& f = Library();
    if (f.Usable()) f.free(p);
}

fftwf_plan fftwf_plan_dft_r2c_1d(int n, float* in, fftwf_complex* out, unsigned flags) {
    const Fftw& f = Library();
    return f.Usable() ? f.planR2c(n, in, out, flags) : nullptr;
}

void fftwf_execute(const fftwf_plan p) {
    const Fftw& f = Library();
    if (f.Usable() && p != nullptr) f.execute(p);
}

void fftwf_destroy_plan(fftwf_plan p) {
    const Fftw& f = Library();
    if (f.Usable() && p != nullptr) f.destroyPlan(p);
}

}  // extern "C"
