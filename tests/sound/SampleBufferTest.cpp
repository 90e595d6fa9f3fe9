// The sample block: zero-filled, exactly sized, moved not copied, and
// fenced so that a read past the end faults instead of going on.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "sound/SampleBuffer.h"

using namespace zv;

TEST(SampleBuffer, ZeroFilledExactSizeAndMovable) {
    SampleBuffer a;
    EXPECT_EQ(a.data(), nullptr);
    ASSERT_TRUE(a.Allocate(5000, 5000));
    EXPECT_EQ(a.size(), 5000u);
    unsigned sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += a.data()[i];
    EXPECT_EQ(sum, 0u);
    std::memset(a.data(), 7, a.size());

    SampleBuffer b(std::move(a));
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(a.size(), 0u);
    ASSERT_EQ(b.size(), 5000u);
    EXPECT_EQ(b.data()[4999], 7);
    // A new block replaces the old one and starts zeroed again.
    ASSERT_TRUE(b.Allocate(3, 0));
    EXPECT_EQ(b.size(), 3u);
    EXPECT_EQ(b.data()[2], 0);
    ASSERT_TRUE(b.Allocate(0, 0));
    EXPECT_EQ(b.size(), 0u);
    b.Release();
    b.Release();
}

TEST(SampleBuffer, BigBlocksFillAndReadBack) {
    // Big enough for huge pages; a part of it written, the rest zero.
    SampleBuffer a;
    const std::size_t size = (std::size_t{5} << 20) + 3;
    ASSERT_TRUE(a.Allocate(size, size - 100000));
    for (std::size_t i = 0; i < size - 100000; i += 4096) a.data()[i] = 1;
    EXPECT_EQ(a.data()[size - 1], 0);
    EXPECT_EQ(a.data()[0], 1);
}

TEST(SampleBuffer, ReadsPastEitherEndFault) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SampleBuffer a;
    ASSERT_TRUE(a.Allocate(10, 10));
    const volatile uint8_t* p = a.data();
    EXPECT_DEATH((void)p[10], "");
    ASSERT_TRUE(a.Allocate(8192, 8192));  // a whole number of pages
    p = a.data();
    EXPECT_DEATH((void)p[8192], "");
    EXPECT_DEATH((void)p[-1], "");
}

TEST(SampleBuffer, ASharedHoldKeepsTheBytesAfterTheBufferMovesOn) {
    SampleBuffer a;
    EXPECT_EQ(a.Share(), nullptr);
    const std::size_t size = (std::size_t{3} << 20) + 5;
    ASSERT_TRUE(a.Allocate(size, size));
    for (std::size_t i = 0; i < size; ++i) a.data()[i] = static_cast<uint8_t>(i * 7);
    const std::shared_ptr<const uint8_t> held = a.Share();
    ASSERT_EQ(held.get(), a.data());
    // A new block, a move and a release all leave the held bytes in place.
    ASSERT_TRUE(a.Allocate(100, 100));
    EXPECT_EQ(a.data()[0], 0);
    SampleBuffer b(std::move(a));
    b.Release();
    for (std::size_t i = 0; i < size; i += 4093) ASSERT_EQ(held.get()[i], static_cast<uint8_t>(i * 7)) << i;
    EXPECT_EQ(held.get()[size - 1], static_cast<uint8_t>((size - 1) * 7));
}
