#include "platform/ResourceStrings.h"

#include <gtest/gtest.h>

using vireo::LoadResString;

TEST(ResourceStrings, ComputedIdsReachTheirTexts) {
    EXPECT_EQ(LoadResString(1050 + 0), "地方標準時");
    EXPECT_EQ(LoadResString(1050 + 7), "延喜式");
    EXPECT_EQ(LoadResString(1100 + 0), "12");
    EXPECT_EQ(LoadResString(1100 + 11), "11");
    EXPECT_EQ(LoadResString(1120 + 11), "22");
    EXPECT_EQ(LoadResString(1160 + 3), "六");
    EXPECT_EQ(LoadResString(1140 + 6), "午");
    EXPECT_EQ(LoadResString(1200 + 3), "明六時");
    EXPECT_EQ(LoadResString(1230 + 5), "半");
    EXPECT_EQ(LoadResString(1220 + 3), "四刻");
}

TEST(ResourceStrings, UnknownIdIsEmpty) {
    EXPECT_TRUE(LoadResString(1012).empty());
    EXPECT_TRUE(LoadResString(1166).empty());
    EXPECT_TRUE(LoadResString(-1).empty());
}
