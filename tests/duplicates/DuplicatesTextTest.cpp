// The screen's wording, by table.
#include "duplicates/DuplicatesText.h"
#include "duplicates/ComparePair.h"
#include "platform/NativePath.h"

#include <gtest/gtest.h>

using namespace DuplicatesText;

TEST(DuplicatesText, CountsAndPlurals) {
    EXPECT_EQ(cleanAllLabel(3), "Clean all · trash 3");
    EXPECT_EQ(cleanAllTitle(DuplicatesMode::Exact, 3), "Keep one of each, trash 3 duplicates?");
    EXPECT_EQ(cleanAllTitle(DuplicatesMode::Similar, 2),
              "Keep the best of each set, trash 2 photos?");
    EXPECT_EQ(keepChosenTitle(1), "Trash 1 duplicate?");
    EXPECT_EQ(keepChosenTitle(2), "Trash 2 duplicates?");
    EXPECT_EQ(keepChosenMessage(1),
              "The copy you chose stays. The other 1 move to the Trash so you can undo.");
    EXPECT_EQ(keepBestTitle(1), "Trash 1 photo?");
    EXPECT_EQ(keepBestTitle(2), "Trash 2 photos?");
    EXPECT_EQ(keepBestMessage(2), "The best one stays. The other 2 move to the Trash.");
    EXPECT_EQ(setHeader(3), "3 photos look the same · best one marked");
    EXPECT_EQ(keepBestButton(2), "Keep best, trash 2");
    // A group or a set holds two at the least, so the strips' names have no singular.
    EXPECT_EQ(setStripName(4), "4 similar photos");
    EXPECT_EQ(copiesStripName(3), "3 copies to choose from");
    EXPECT_EQ(exactProgress(500), "Scanning… 500 files checked");
    EXPECT_EQ(similarProgress(0, 0), "Looking for photos…");
    EXPECT_EQ(similarProgress(40, 120), "Comparing photos… 40 of 120");
    EXPECT_EQ(cleaningProgress(40, 120), "Moving to the Trash… 40 of 120");
    EXPECT_EQ(folderButton(false), "Choose folder…");
    EXPECT_EQ(folderButton(true), "Scan another folder…");
    EXPECT_EQ(rowHeader(3, 2000000), "3 identical copies · 2 MB each · click the one to keep");
    EXPECT_EQ(freesLine(4000000), "Frees 4 MB");
    EXPECT_EQ(createdLine(QDate(2025, 3, 3), QLocale(QLocale::English, QLocale::UnitedStates)),
              "Created Mar 3, 2025");
    EXPECT_TRUE(photoInfo(QSize(4032, 3024), 2100000).startsWith("4032 × 3024 · "));
    EXPECT_EQ(photoInfo(QSize(), 10), "");
}

TEST(DuplicatesText, NamesShowTheBytesThatAreNotUtf8) {
    const struct {
        QByteArray bytes;
        QString path;
        QString name;
    } rows[] = {
        {"/home/a/caf\xC3\xA9", "/home/a/café", "café"},
        {"/home/a/caf\xE9", "/home/a/caf\\xE9", "caf\\xE9"},
        {"/home/\xFF\x80/x", "/home/\\xFF\\x80/x", "x"},
        // What the lossy decoding would give is a character of its own and stays one.
        {"/home/a/caf\xEF\xBF\xBD", QString::fromUtf8("/home/a/caf\xEF\xBF\xBD"),
         QString::fromUtf8("caf\xEF\xBF\xBD")},
        {"/home/a/\xF0\x9F\x93\xB7 \xE9.jpg",
         QString::fromUtf8("/home/a/\xF0\x9F\x93\xB7 ") + "\\xE9.jpg",
         QString::fromUtf8("\xF0\x9F\x93\xB7 ") + "\\xE9.jpg"},
    };
    for (const auto& row : rows) {
        const QString path = NativePath::decode(row.bytes);
        EXPECT_EQ(shownPath(path), row.path) << row.bytes.toHex().constData();
        EXPECT_EQ(shownName(path), row.name) << row.bytes.toHex().constData();
    }
    EXPECT_EQ(passedOverLine(NativePath::decode("/a/caf\xE9"), PassedOver::Unreadable),
              "caf\\xE9: it could not be read again to check it, so it was not moved.");
    EXPECT_EQ(photoPassedOverLine("/a/b.jpg", PassedOver::Unreadable),
              "b.jpg: it could not be read again to check it, so it was not moved.");
}

TEST(DuplicatesText, PathsBreakAfterASlashAndLoseTheirHeadNotTheirEnd) {
    // One unit per character, ten to a line.
    const auto advance = [](const QString& text) { return int(text.size()); };
    const struct {
        QString path;
        int lines;
        QStringList shown;
    } cases[] = {
        {"/s1/home/D/big1.bin", 3, {"/s1/home/", "D/big1.bin"}},
        {"/a/b", 3, {"/a/b"}},
        // A folder name wider than a line is broken inside.
        {"/photos/holiday-album/x.jpg", 3, {"/photos/", "holiday-al", "bum/x.jpg"}},
        // Too long for the lines: the head goes, "…/" stands for it, the name stays whole.
        {"/tmp/sandbox/home/Pictures/Holiday/beach.jpg", 3, {"…/Holiday/", "beach.jpg"}},
        {"/tmp/sandbox/home/Pictures/Holiday/beach.jpg", 1, {"…each.jpg"}},
        // A name longer than every line there is keeps its end.
        {"/d/averyveryverylongname.txt", 2, {"…eryverylo", "ngname.txt"}},
        {"", 3, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pathLines(c.path, c.lines, 10, advance), c.shown)
            << c.path.toStdString() << " on " << c.lines;
}

TEST(ComparePair, ClickedPhotoOnTheLeft) {
    const QStringList set = {"best", "second", "third"};
    ComparePair p = ComparePair::forClick(set, "best");
    EXPECT_EQ(p.left, "best");
    EXPECT_EQ(p.right, "second");
    EXPECT_TRUE(p.leftIsBest);
    EXPECT_FALSE(p.rightIsBest);
    p = ComparePair::forClick(set, "third");
    EXPECT_EQ(p.left, "third");
    EXPECT_EQ(p.right, "best");
    EXPECT_FALSE(p.leftIsBest);
    EXPECT_TRUE(p.rightIsBest);
    EXPECT_NE(ComparePair::forClick(set, "third").id, p.id);
    p = ComparePair::forClick({"only"}, "only");
    EXPECT_EQ(p.right, "only");
}
