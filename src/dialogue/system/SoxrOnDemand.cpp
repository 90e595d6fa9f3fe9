// The libsoxr calls the dialogue breakdown makes to bring a sound to the
// recognizer's rate, with libsoxr opened on the first of them rather than
// when the program starts (see common/system/LibraryOnDemand.h): it brings
// the OpenMP runtime with it, and only a breakdown resamples.
//
// Without the library the resampling fails with an error that names it.
#include <soxr.h>

#include <string>

#include "common/system/LibraryOnDemand.h"

namespace {

struct Soxr {
    zv::LibraryOnDemand library{"libsoxr.so.0", "libsoxr.so"};
    decltype(&::soxr_io_spec) ioSpec = nullptr;
    decltype(&::soxr_quality_spec) qualitySpec = nullptr;
    decltype(&::soxr_oneshot) oneshot = nullptr;
    std::string notLoaded = zv::NotLoadedText("resampling", library);

    Soxr() {
        // All or nothing: a library without one of them is not the one expected.
        const bool all = library.Find("soxr_io_spec", ioSpec) & library.Find("soxr_quality_spec", qualitySpec) &
                         library.Find("soxr_oneshot", oneshot);
        if (!all) oneshot = nullptr;
    }
    bool Usable() const { return oneshot != nullptr; }
};

// Opened once, on the first call from any thread.
const Soxr& Library() {
    static const Soxr soxr;
    return soxr;
}

}  // namespace

extern "C" {

soxr_io_spec_t soxr_io_spec(soxr_datatype_t itype, soxr_datatype_t otype) {
    const Soxr& s = Library();
    return s.Usable() ? s.ioSpec(itype, otype) : soxr_io_spec_t{};
}

soxr_quality_spec_t soxr_quality_spec(unsigned long recipe, unsigned long flags) {
    const Soxr& s = Library();
    return s.Usable() ? s.qualitySpec(recipe, flags) : soxr_quality_spec_t{};
}

soxr_error_t soxr_oneshot(double input_rate, double output_rate, unsigned num_channels, soxr_in_t in, size_t ilen,
                          size_t* idone, soxr_out_t out, size_t olen, size_t* odone, soxr_io_spec_t const* io_spec,
                          soxr_quality_spec_t const* quality_spec, soxr_runtime_spec_t const* runtime_spec) {
    const Soxr& s = Library();
    return s.Usable() ? s.oneshot(input_rate, output_rate, num_channels, in, ilen, idone, out, olen, odone, io_spec,
                                  quality_spec, runtime_spec)
                      : s.notLoaded.c_str();
}

}  // extern "C"
