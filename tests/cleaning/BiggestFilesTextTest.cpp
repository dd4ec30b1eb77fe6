// The biggest-files screen's rules: what the filter shows, what the selection counts, and the
// lines it writes.
#include "cleaning/BiggestFilesText.h"
#include "cleaning/LargeFilesScanner.h"
#include "platform/ByteFormat.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 6, 1), QTime(9, 0), Qt::UTC);

BigFile file(const QString& name, qint64 bytes, std::optional<int> daysSinceAccess) {
    BigFile f;
    f.id = QUuid::createUuid();
    f.url = QUrl::fromLocalFile("/data/" + name);
    f.sizeBytes = bytes;
    if (daysSinceAccess)
        f.lastOpened = kNow.addDays(-*daysSinceAccess);
    return f;
}

} // namespace

TEST(BiggestFilesSelection, HiddenSelectedFilesStillCountAndStaleIdsCountNothing) {
    const QList<BigFile> files = {file("old.mov", 3000, 400), file("new.mov", 2000, 3),
                                  file("undated.iso", 1000, std::nullopt)};
    const QList<BigFile> shown = BiggestFilesText::visibleFiles(files, true, kNow);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].fileName(), "old.mov");
    EXPECT_EQ(BiggestFilesText::visibleFiles(files, false, kNow), files);

    // "new.mov" is hidden by the filter, yet selected: counted and moved.
    const QSet<QUuid> selection = {files[0].id, files[1].id, QUuid::createUuid()};
    EXPECT_EQ(BiggestFilesText::selectedBytes(files, selection), 5000);
    const QList<BigFile> chosen =
        BiggestFilesText::selectedFiles(files, {files[1].id, files[0].id});
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_EQ(chosen[0].fileName(), "old.mov"); // list order, largest first
    EXPECT_EQ(BiggestFilesText::selectedBytes(files, {QUuid::createUuid()}), 0);
}

TEST(BiggestFilesLines, ButtonConfirmationResultAndEmptyTexts) {
    EXPECT_EQ(BiggestFilesText::trashButton(1'500'000'000), "Trash 1.5 GB");
    EXPECT_EQ(BiggestFilesText::confirmTitle(52'428'800), "Move 52.4 MB to Trash?");
    EXPECT_EQ(BiggestFilesText::resultLine(0), "Freed Zero KB");
    EXPECT_EQ(BiggestFilesText::errorsMessage({"a.bin: Permission denied", "b.bin: Busy"}),
              "a.bin: Permission denied\nb.bin: Busy");
    EXPECT_EQ(BiggestFilesText::nothingAboveMessage(50'000'000),
              "No files above 50 MB in that folder. Try a smaller minimum size in the picker "
              "above.");
    QStringList labels;
    QList<qint64> sizes;
    for (const auto& c : BiggestFilesText::sizeChoices()) {
        labels << c.label;
        sizes << c.bytes;
    }
    EXPECT_EQ(labels, QStringList({"10 MB+", "50 MB+", "100 MB+", "500 MB+"}));
    EXPECT_EQ(sizes, QList<qint64>({10'000'000, 50'000'000, 100'000'000, 500'000'000}));
}

// Each minimum reads as the sizes beside it are written: its label is its own size, and a file
// shown as "10.1 MB" is among the "10 MB+" ones.
TEST(BiggestFilesLines, TheMinimumSizesAreInTheUnitsShown) {
    for (const auto& c : BiggestFilesText::sizeChoices()) {
        EXPECT_EQ(formatBytes(c.bytes) + "+", c.label);
        EXPECT_EQ(BiggestFilesText::nothingAboveMessage(c.bytes),
                  "No files above " + c.label.chopped(1) +
                      " in that folder. Try a smaller minimum size in the picker above.");
    }
    EXPECT_EQ(formatBytes(10'100'000), "10.1 MB");
    EXPECT_GE(10'100'000, BiggestFilesText::sizeChoices().at(0).bytes);
    EXPECT_EQ(LargeFilesScanner::defaultMinSizeBytes, BiggestFilesText::sizeChoices().at(1).bytes);
}

TEST(BiggestFilesLines, ARowReadsItsSizeFolderAndAgeInWords) {
    const struct {
        std::optional<int> days;
        const char* expected;
    } rows[] = {
        {std::nullopt, "1.5 GB, in /data"},
        {0, "1.5 GB, in /data, last opened today"},
        {1, "1.5 GB, in /data, last opened 1 day ago"},
        {29, "1.5 GB, in /data, last opened 29 days ago"},
        {30, "1.5 GB, in /data, last opened 1 month ago"},
        {180, "1.5 GB, in /data, last opened 6 months ago"},
        {181, "1.5 GB, in /data, last opened 6 months ago, old"},
        {364, "1.5 GB, in /data, last opened 12 months ago, old"},
        {365, "1.5 GB, in /data, last opened 1 year ago, old"},
        {800, "1.5 GB, in /data, last opened 2 years ago, old"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(BiggestFilesText::rowDescription(file("a.iso", 1'500'000'000, row.days), kNow),
                  row.expected)
            << row.days.value_or(-1);
    // A date after now (a clock set back) reads as today, never as a negative age.
    EXPECT_EQ(BiggestFilesText::rowDescription(file("a.iso", 1'500'000'000, -3), kNow),
              "1.5 GB, in /data, last opened today");
}
