#include "cleaning/CleanerPaneText.h"

#include <gtest/gtest.h>

// A count of one reads in the singular, in a row's meta line and in the file count alike.
TEST(CleanerCounts, OneItemAndOneFileReadInTheSingular) {
    CleanCategory category;
    category.fileCount = 1;
    EXPECT_EQ(CleanerPaneText::metaLine(category), "1 item");
    category.consequence = QStringLiteral("Apps rebuild it.");
    EXPECT_EQ(CleanerPaneText::metaLine(category), QString::fromUtf8("Apps rebuild it. · 1 item"));
    category.fileCount = 2;
    EXPECT_TRUE(CleanerPaneText::metaLine(category).endsWith("2 items"));

    EXPECT_EQ(CleanerPaneText::filesText(1), "1 file");
    EXPECT_EQ(CleanerPaneText::filesText(0), "0 files");
    EXPECT_EQ(CleanerPaneText::filesText(3), "3 files");
}
