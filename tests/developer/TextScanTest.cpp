// What the compare reads before it diffs: whether a file is text, a text file streamed, checked
// and counted, blocks of text scanned, extracted document text, and a file's digest.
#include "developer/TextScan.h"
#include "developer/DocumentDiff.h"
#include "fakes/FakeDocumentText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRandomGenerator>
#include <sys/stat.h>

using testsupport::write;

TEST(TextSniff, LooksAtTheFirst8192BytesOnly) {
    const QString dir = testsupport::freshDir("sniff");
    using DocumentDiff::looksLikeText;
    EXPECT_TRUE(looksLikeText(write(dir + "/empty", {})));
    EXPECT_TRUE(looksLikeText(write(dir + "/utf8", QString::fromUtf8("Grüße — ✓\n").toUtf8())));
    EXPECT_FALSE(looksLikeText(write(dir + "/latin1", "Gr\xfc\xdf"
                                                      "e\n")));
    EXPECT_FALSE(looksLikeText(write(dir + "/nul", QByteArray("abc\0def", 7))));
    EXPECT_TRUE(
        looksLikeText(write(dir + "/late-nul", QByteArray(8192, 'a') + QByteArray(1, '\0'))));
    // A character cut by the end of a full sample is not held against the file ...
    EXPECT_TRUE(
        looksLikeText(write(dir + "/straddle", QByteArray(8191, 'a') + "\xe2\x80\x94 tail")));
    // ... but a short file that ends inside a character is not text.
    EXPECT_FALSE(looksLikeText(write(dir + "/cut", QByteArray("ab\xe2\x80"))));
    EXPECT_FALSE(looksLikeText(write(dir + "/surrogate", "\xed\xa0\x80")));
    EXPECT_FALSE(looksLikeText(write(dir + "/overlong", "\xc0\xaf")));

    const QString fifo = dir + "/pipe.txt";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(looksLikeText(fifo));
    EXPECT_FALSE(looksLikeText(dir));
    EXPECT_FALSE(looksLikeText(dir + "/missing"));
}

TEST(TextFile, IsStreamedCheckedAndCountedBeforeItIsKept) {
    const QString dir = testsupport::freshDir("readtext");
    using DocumentDiff::readText;
    using Status = DocumentDiff::TextFile::Status;
    auto lines = [](int count) {
        QByteArray text;
        for (int k = 1; k <= count; ++k)
            text += "line " + QByteArray::number(k) + (k < count ? "\n" : "");
        return text;
    };
    const auto exact = readText(write(dir + "/exact", lines(20000)), 20000, 1 << 26);
    EXPECT_EQ(exact.status, Status::Text);
    EXPECT_TRUE(exact.text.endsWith("line 20000"));
    EXPECT_EQ(readText(write(dir + "/over", lines(20000) + "\n"), 20000, 1 << 26).status,
              Status::OverLimit);
    EXPECT_EQ(readText(write(dir + "/bytes", QByteArray(5000, 'a')), 10, 4096).status,
              Status::OverLimit);
    // Ill-formed past the sniffed part: not text, even past the line limit.
    EXPECT_EQ(readText(write(dir + "/late-bad", lines(30000) + "\xff"), 20000, 1 << 26).status,
              Status::NotText);
    EXPECT_EQ(readText(write(dir + "/cut", "ok\xe2\x80"), 20000, 1 << 26).status, Status::NotText);
    EXPECT_EQ(readText(dir, 20000, 1 << 26).status, Status::NotText);
    EXPECT_EQ(readText(write(dir + "/empty", {}), 20000, 1 << 26).text, QString());
}

// Long ASCII runs are read in blocks: breaks, a NUL and the first non-ASCII byte inside or right
// after a block must be seen as they are byte by byte, whatever the piece boundaries.
TEST(TextScan, BlocksOfAsciiCountAndCheckAsBytesDo) {
    QByteArray text;
    for (int k = 0; k < 40; ++k)
        text += "some words\tand\r\nmore\v\f" + QByteArray(k, 'x');
    text += "\xe2\x80\xa8 after a separator\xc2\x85";
    text += QByteArray(70, 'y') + "\xf0\x9f\x98\x80" + QByteArray(33, 'z') + "\n";
    qint64 breaks = 0;
    for (const char c : text)
        breaks += (c >= 0x0A && c <= 0x0D) ? 1 : 0;
    breaks += 2; // U+2028 and U+0085
    for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(33), text.size()}) {
        SCOPED_TRACE(piece);
        TextScan scan;
        for (qsizetype at = 0; at < text.size(); at += piece)
            scan.feed(text.constData() + at, std::min(piece, text.size() - at));
        EXPECT_TRUE(scan.completeText());
        EXPECT_FALSE(scan.sawNul());
        EXPECT_EQ(scan.lineBreaks(), breaks);
    }
    for (const qsizetype at : {qsizetype(0), qsizetype(31), qsizetype(32), qsizetype(100)}) {
        SCOPED_TRACE(at);
        QByteArray withNul = QByteArray(200, 'a');
        withNul[at] = '\0';
        TextScan nul;
        nul.feed(withNul.constData(), withNul.size());
        EXPECT_TRUE(nul.sawNul());
        QByteArray bad = QByteArray(200, 'a');
        bad[at] = '\xff';
        TextScan illFormed;
        illFormed.feed(bad.constData(), bad.size());
        EXPECT_FALSE(illFormed.wellFormed());
    }
}

TEST(DocumentText, BlankTextCountsAsNoneAndOtherTextIsKeptAsItIs) {
    FakeDocumentText documents;
    documents.setText("/blank.pdf", QStringLiteral(" \n\t\n "));
    documents.setText("/lead.pdf", QStringLiteral("\n\nTitle\n"));
    EXPECT_EQ(DocumentDiff::extractText("/blank.pdf", documents), std::nullopt);
    EXPECT_EQ(DocumentDiff::extractText("/lead.pdf", documents), QStringLiteral("\n\nTitle\n"));
    EXPECT_EQ(DocumentDiff::extractText("/unknown.pdf", documents), std::nullopt);
}

TEST(Digest, IsTheHexOfTheWholeFile) {
    const QString dir = testsupport::freshDir("digest");
    EXPECT_EQ(DocumentDiff::fileDigest(write(dir + "/abc", "abc")),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    EXPECT_EQ(DocumentDiff::fileDigest(dir), std::nullopt);
    EXPECT_EQ(DocumentDiff::hexString(QByteArray("\x00\x0f\xa0", 3)),
              (QStringList{"00", "0f", "a0"}));
    EXPECT_EQ(DocumentDiff::extensionOf("/x/Photo.JPG"), QStringLiteral("jpg"));
    EXPECT_EQ(DocumentDiff::extensionOf("/x/Makefile"), QString());
    EXPECT_EQ(DocumentDiff::extensionOf("/x/Notes.rtfd/"), QStringLiteral("rtfd"));
}
