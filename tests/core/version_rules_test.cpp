#include <gtest/gtest.h>

#include "app/version_rules.h"

TEST(VersionRules, OsVersionClasses)
{
    struct { unsigned major, minor; int expected; } cases[] = {
        {4, 0, 1}, {4, 10, 2}, {4, 90, 3}, {4, 3, 3}, {5, 0, 4}, {5, 1, 5}, {5, 2, 6},
        {6, 0, 7}, {6, 1, 7}, {10, 0, 7}, {3, 51, 7}, {0, 0, 7},
    };
    for (auto& c : cases)
        EXPECT_EQ(c.expected, ClassifyOsVersion(c.major, c.minor)) << c.major << "." << c.minor;
}

TEST(VersionRules, CommonControlsThreshold)
{
    EXPECT_EQ(0x00040047u, PackCommonControlsVersion(4, 71));
    EXPECT_EQ(0x00060000u, PackCommonControlsVersion(6, 0));
    EXPECT_EQ(0x00050051u, PackCommonControlsVersion(5, 81));
    EXPECT_EQ(0x00010002u, PackCommonControlsVersion(0x10001, 0x20002));  // low 16 bits only
    EXPECT_FALSE(CommonControlsRecentEnough(PackCommonControlsVersion(4, 70)));
    EXPECT_TRUE(CommonControlsRecentEnough(PackCommonControlsVersion(4, 71)));
    EXPECT_TRUE(CommonControlsRecentEnough(PackCommonControlsVersion(5, 81)));
    EXPECT_FALSE(CommonControlsRecentEnough(0));  // not found
}

TEST(VersionRules, ToolbarBitmapChoice)
{
    // Windows 98 with common controls 6 still gets the 8-bit strip.
    EXPECT_FALSE(UseAlphaToolbarBitmap(2, 0x00060000));
    // XP with the manifest honoured, and without it.
    EXPECT_TRUE(UseAlphaToolbarBitmap(5, 0x00060000));
    EXPECT_FALSE(UseAlphaToolbarBitmap(5, 0x00050051));
    EXPECT_TRUE(UseAlphaToolbarBitmap(7, 0x0006000A));
    EXPECT_FALSE(UseAlphaToolbarBitmap(4, 0x00060000));
}
