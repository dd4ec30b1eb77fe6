#include "storage/DiskMapDepthRule.h"
#include "storage/DiskMapMeasurer.h"

#include <gtest/gtest.h>

using namespace DiskMapDepthRule;
using C = DiskMapCategory;

TEST(DiskMapDepthRule, WhatIsMeasuredWhole) {
    EXPECT_FALSE(measuredWhole("Documents", 1, false));
    EXPECT_FALSE(measuredWhole("Documents", DiskMapMeasurer::wholeDepth - 1, false));
    EXPECT_TRUE(measuredWhole("Documents", DiskMapMeasurer::wholeDepth, false));
    EXPECT_TRUE(measuredWhole("Tool.app", 1, false));
    EXPECT_TRUE(measuredWhole("node_modules", 2, false));
    EXPECT_TRUE(measuredWhole(".config", 1, true));
    EXPECT_FALSE(measuredWhole("node_modules.bak", 2, false));
}

TEST(DiskMapDepthRule, CategoriesAndDepths) {
    EXPECT_EQ(wholeCategory("node_modules", C::Media), C::Code);
    EXPECT_EQ(wholeCategory("Tool.app", C::Media), C::Media); // a package hands down
    EXPECT_EQ(wholeCategory("deep", C::Media), C::Media);     // depth alone makes no build folder
    EXPECT_TRUE(keepsChildren(DiskMapMeasurer::childlessDepth - 1));
    EXPECT_FALSE(keepsChildren(DiskMapMeasurer::childlessDepth));
    EXPECT_TRUE(namesItself(DiskMapMeasurer::namedDepth));
    EXPECT_FALSE(namesItself(DiskMapMeasurer::namedDepth + 1));
}
