#include <gtest/gtest.h>

#include <string>

#include "common/NameIndex.h"

using namespace zv;

TEST(NameIndex, EachNameKeepsItsFirstNumberThroughGrowthAndClearing) {
    NameIndex index;
    EXPECT_FALSE(index.Find("Marks"));
    // Enough names to grow the table many times over; prefixes of one
    // another and the empty name are names apart.
    for (std::size_t i = 0; i < 50000; ++i) EXPECT_TRUE(index.Emplace("t" + std::to_string(i), i).second);
    EXPECT_TRUE(index.Emplace("", 99999).second);
    EXPECT_TRUE(index.Emplace("t", 77777).second);
    EXPECT_EQ(index.size(), 50002u);
    for (std::size_t i = 0; i < 50000; i += 997) EXPECT_EQ(index.Find("t" + std::to_string(i)), i);
    EXPECT_EQ(index.Find(""), 99999u);
    EXPECT_EQ(index.Find("t"), 77777u);
    EXPECT_FALSE(index.Find("t50000"));
    EXPECT_FALSE(index.Find("t1 "));
    // A name met again keeps the number it was first given.
    const auto again = index.Emplace("t123", 5);
    EXPECT_FALSE(again.second);
    EXPECT_EQ(again.first, 123u);
    EXPECT_EQ(index.size(), 50002u);

    index.Clear();
    EXPECT_EQ(index.size(), 0u);
    EXPECT_FALSE(index.Find("t123"));
    EXPECT_TRUE(index.Emplace("t123", 5).second);
    EXPECT_EQ(index.Find("t123"), 5u);
}
