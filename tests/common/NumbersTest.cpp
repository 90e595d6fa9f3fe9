#include <gtest/gtest.h>

#include "common/Numbers.h"

using namespace zv;

TEST(Numbers, RoundingGoesHalfToEvenAndChecksRange) {
    EXPECT_EQ(RoundLong(918.5), 918);
    EXPECT_EQ(RoundLong(919.5), 920);
    EXPECT_EQ(RoundLong(-2.5), -2);
    EXPECT_EQ(RoundInteger(29.97), 30);
    EXPECT_THROW(RoundLong(2147483647.5 + 1.0), OverflowError);
    EXPECT_THROW(RoundInteger(32767.5), OverflowError);
    EXPECT_THROW(RoundLong(std::nan("")), OverflowError);
    EXPECT_EQ(FloorLong(-0.5), -1);
    EXPECT_EQ(TruncLong(-0.5), 0);
}

TEST(Numbers, CheckedArithmeticRaisesOverflow) {
    EXPECT_EQ(CheckedMul(71582788, 30), 2147483640);
    EXPECT_THROW(CheckedMul(71582789, 30), OverflowError);
    EXPECT_THROW(CheckedAdd(INT32_MAX, 1), OverflowError);
    EXPECT_THROW(CheckedSub(INT32_MIN, 1), OverflowError);
}
