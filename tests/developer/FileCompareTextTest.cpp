#include "developer/FileCompareText.h"

#include <gtest/gtest.h>

using namespace FileCompareText;

TEST(FileCompareText, TheVerdictFollowsModeBusyCountsAndBytes) {
    const DiffSummary zero, some{2, 0, 1};
    struct Case {
        CompareMode mode;
        bool busy;
        DiffSummary summary;
        std::optional<bool> bytes;
        Verdict expected;
    } cases[] = {
        {CompareMode::None, true, zero, std::nullopt, Verdict::Hidden}, // first run: no spinner
        {CompareMode::None, false, some, true, Verdict::Hidden},
        {CompareMode::Text, true, some, std::nullopt, Verdict::Busy},
        {CompareMode::Text, false, zero, std::nullopt, Verdict::Identical},
        {CompareMode::Text, false, some, false, Verdict::Counts}, // lines, not bytes
        {CompareMode::Image, false, some, true, Verdict::Identical},
        {CompareMode::Binary, false, zero, false, Verdict::Different},
        {CompareMode::TooBig, false, zero, std::nullopt, Verdict::Nothing},
        {CompareMode::Binary, true, zero, true, Verdict::Busy},
    };
    for (const Case& c : cases)
        EXPECT_EQ(verdict(c.mode, c.busy, c.summary, c.bytes), c.expected) << int(c.mode);

    EXPECT_TRUE(offersExplanation(CompareMode::Text, some));
    EXPECT_FALSE(offersExplanation(CompareMode::Text, zero));
    EXPECT_FALSE(offersExplanation(CompareMode::Binary, some));
}

TEST(FileCompareText, TheErrorComesFirstThenTheModesPage) {
    EXPECT_EQ(resultPage(QStringLiteral("x"), CompareMode::Text), ResultPage::Error);
    EXPECT_EQ(resultPage(std::nullopt, CompareMode::None), ResultPage::Pick);
    EXPECT_EQ(resultPage(std::nullopt, CompareMode::Text), ResultPage::Text);
    EXPECT_EQ(resultPage(std::nullopt, CompareMode::Image), ResultPage::Image);
    EXPECT_EQ(resultPage(std::nullopt, CompareMode::Binary), ResultPage::Facts);
    EXPECT_EQ(resultPage(std::nullopt, CompareMode::TooBig), ResultPage::Facts);
}

TEST(FileCompareText, ZonesNameTheFileAndItsFolder) {
    EXPECT_EQ(zoneName(std::nullopt, true), QStringLiteral("First file"));
    EXPECT_EQ(zoneName(std::nullopt, false), QStringLiteral("Second file"));
    EXPECT_EQ(zoneDetail(std::nullopt), QStringLiteral("Click to choose, or drop a file here"));
    const QUrl file = QUrl::fromLocalFile("/home/ada/Documents/Offer v2.pdf");
    EXPECT_EQ(zoneName(file, true), QStringLiteral("Offer v2.pdf"));
    EXPECT_EQ(zoneDetail(file), QStringLiteral("/home/ada/Documents"));
    EXPECT_EQ(zoneName(QUrl::fromLocalFile("/home/ada/Notes.rtfd/"), false),
              QStringLiteral("Notes.rtfd"));
    EXPECT_EQ(zoneDetail(QUrl::fromLocalFile("/top.txt")), QStringLiteral("/"));
}

TEST(FileCompareText, ADiffRowReadsAsItsChangeAndBothNumberedLines) {
    DiffRow row{.kind = DiffRow::Kind::Changed,
                .leftNumber = 7,
                .leftText = QStringLiteral("a = 1"),
                .rightNumber = 9,
                .rightText = QStringLiteral("  \t")};
    EXPECT_EQ(diffCellText(row, 0), QStringLiteral("Changed"));
    EXPECT_EQ(diffCellText(row, 1), QStringLiteral("Line 7: a = 1"));
    EXPECT_EQ(diffCellText(row, 2), QStringLiteral("Line 9 is blank"));
    EXPECT_EQ(diffCellText(row, 3), QString());
    row.kind = DiffRow::Kind::Added;
    row.leftNumber.reset();
    row.leftText.reset();
    row.rightNumber = 3;
    row.rightText = QString();
    EXPECT_EQ(diffCellText(row, 0), QStringLiteral("Added"));
    EXPECT_EQ(diffCellText(row, 1), QString());
    EXPECT_EQ(diffCellText(row, 2), QStringLiteral("Line 3 is blank"));
    EXPECT_EQ(diffColumnTitle(0), QStringLiteral("Change"));
    EXPECT_EQ(diffColumnTitle(2), QStringLiteral("Second file"));
}

TEST(FileCompareText, FactsReadAsSizeAndDate) {
    EXPECT_EQ(sizeLine(std::nullopt), QStringLiteral("Size: Zero KB"));
    EXPECT_EQ(sizeLine(1'500'000), QStringLiteral("Size: 1.5 MB"));
    const QDateTime when(QDate(2025, 3, 12), QTime(14, 5));
    const QString us = modifiedLine(when, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(us.startsWith(QStringLiteral("Modified: Mar 12, 2025 at 2:05")))
        << us.toStdString();
    EXPECT_TRUE(us.endsWith(QStringLiteral("PM"))) << us.toStdString();
    // A locale whose short time has seconds still gets hours and minutes only.
    const QString c = modifiedLine(when, QLocale::c());
    EXPECT_EQ(c, QStringLiteral("Modified: Mar 12, 2025 at 14:05")) << c.toStdString();
}
