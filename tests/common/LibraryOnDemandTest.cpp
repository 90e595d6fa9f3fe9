// Libraries opened on first use: finding them and their functions, and
// what a missing one leaves (null functions and a message naming it); and
// the FFTW forwarders the spectrogram and the beat features call through.
#include <gtest/gtest.h>

#include <fftw3.h>

#include <cmath>

#include "common/system/LibraryOnDemand.h"

using namespace zv;

TEST(LibraryOnDemand, OpensTheFirstNameThatLoadsAndFindsItsFunctions) {
    const LibraryOnDemand math{"libzorvane-no-such-library.so.9", "libm.so.6"};
    ASSERT_TRUE(math.IsOpen());
    EXPECT_EQ(math.Name(), "libzorvane-no-such-library.so.9");   // the one a message names
    double (*cosine)(double) = nullptr;
    ASSERT_TRUE(math.Find("cos", cosine));
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    double (*missing)(double) = cosine;
    EXPECT_FALSE(math.Find("zorvane_no_such_function", missing));
    EXPECT_EQ(missing, nullptr);
}

TEST(LibraryOnDemand, AMissingLibraryFindsNothingAndIsNamedInItsMessage) {
    const LibraryOnDemand gone{"libzorvane-no-such-library.so.9"};
    EXPECT_FALSE(gone.IsOpen());
    void (*function)() = reinterpret_cast<void (*)()>(&std::abort);
    EXPECT_FALSE(gone.Find("abort", function));
    EXPECT_EQ(function, nullptr);   // never left pointing at something else
    EXPECT_EQ(NotLoadedText("sound file", gone),
              "the sound file library libzorvane-no-such-library.so.9 could not be loaded");
}

// Through the program's own definitions of FFTW's functions: the library is
// opened by the first call, and the transform is FFTW's.
TEST(FftwOnDemand, TransformsThroughTheLibraryOpenedOnFirstUse) {
    constexpr int n = 64;
    float* in = fftwf_alloc_real(n);
    fftwf_complex* out = fftwf_alloc_complex(n / 2 + 1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    ASSERT_NE(plan, nullptr);
    // A cosine of 4 cycles: all its energy in bin 4, n / 2 in size.
    for (int i = 0; i < n; ++i) in[i] = static_cast<float>(std::cos(2.0 * M_PI * 4.0 * i / n));
    fftwf_execute(plan);
    EXPECT_NEAR(out[4][0], n / 2.0f, 1e-3f);
    EXPECT_NEAR(out[0][0], 0.0f, 1e-3f);
    EXPECT_NEAR(out[5][0], 0.0f, 1e-3f);
    fftwf_destroy_plan(plan);
    // A plan that could not be made is never run or destroyed.
    fftwf_execute(nullptr);
    fftwf_destroy_plan(nullptr);
    fftwf_free(in);
    fftwf_free(out);
}
