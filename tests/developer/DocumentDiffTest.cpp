#include "developer/DocumentDiff.h"
#include "developer/TextScan.h"
#include "fakes/FakeDocumentText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRandomGenerator>
#include <sys/stat.h>

namespace {

using Kind = DiffRow::Kind;

DiffRow row(qint64 id, Kind kind, std::optional<qint64> ln, std::optional<QString> lt,
            std::optional<qint64> rn, std::optional<QString> rt) {
    return DiffRow{id, kind, ln, lt, rn, rt};
}

// The table of the walk as written out in full: (n + 1) × (m + 1) lengths, filled from the end.
DocumentDiff::LineDiff referenceDiff(const QStringList& a, const QStringList& b) {
    const qsizetype n = a.size(), m = b.size();
    std::vector<std::vector<int>> dp(size_t(n + 1), std::vector<int>(size_t(m + 1), 0));
    for (qsizetype i = n - 1; i >= 0; --i)
        for (qsizetype j = m - 1; j >= 0; --j)
            dp[i][j] = a[i] == b[j] ? dp[i + 1][j + 1] + 1 : std::max(dp[i + 1][j], dp[i][j + 1]);
    DocumentDiff::LineDiff out;
    QList<qsizetype> removed, added;
    qint64 id = 0;
    auto flush = [&] {
        for (qsizetype k = 0; k < std::max(removed.size(), added.size()); ++k) {
            DiffRow r;
            r.id = id++;
            if (k < removed.size())
                r.leftNumber = removed[k] + 1, r.leftText = a[removed[k]];
            if (k < added.size())
                r.rightNumber = added[k] + 1, r.rightText = b[added[k]];
            r.kind = k < removed.size() && k < added.size() ? Kind::Changed
                     : k < removed.size()                   ? Kind::Removed
                                                            : Kind::Added;
            (r.kind == Kind::Changed   ? out.summary.changed
             : r.kind == Kind::Removed ? out.summary.removed
                                       : out.summary.added)++;
            out.rows.append(r);
        }
        removed.clear();
        added.clear();
    };
    qsizetype i = 0, j = 0;
    for (;;) {
        if (i < n && j < m && a[i] == b[j]) {
            flush();
            out.rows.append(row(id++, Kind::Same, i + 1, a[i], j + 1, b[j]));
            ++i, ++j;
        } else if (i < n && (j == m || dp[i + 1][j] > dp[i][j + 1])) {
            removed.append(i++);
        } else if (j < m) {
            added.append(j++);
        } else {
            flush();
            break;
        }
    }
    return out;
}

using testsupport::write;

} // namespace

TEST(LineDiff, WalksMatchesFirstAndPairsEachRunOfDifferences) {
    using DocumentDiff::lineDiff;
    auto d = lineDiff({}, {});
    EXPECT_TRUE(d.rows.isEmpty());
    EXPECT_EQ(d.summary, (DiffSummary{0, 0, 0}));

    d = lineDiff({}, {"x"});
    EXPECT_EQ(d.rows, QList<DiffRow>{row(0, Kind::Added, {}, {}, 1, "x")});
    EXPECT_EQ(d.summary, (DiffSummary{1, 0, 0}));

    // On the tie the line of the second file goes first; the flush still pairs x with z.
    d = lineDiff({"x", "y"}, {"z"});
    EXPECT_EQ(d.rows, (QList<DiffRow>{row(0, Kind::Changed, 1, "x", 1, "z"),
                                      row(1, Kind::Removed, 2, "y", {}, {})}));
    EXPECT_EQ(d.summary, (DiffSummary{0, 1, 1}));

    d = lineDiff({"a", "b"}, {"b", "a"});
    EXPECT_EQ(d.rows, (QList<DiffRow>{row(0, Kind::Added, {}, {}, 1, "b"),
                                      row(1, Kind::Same, 1, "a", 2, "a"),
                                      row(2, Kind::Removed, 2, "b", {}, {})}));
    EXPECT_EQ(d.summary, (DiffSummary{1, 1, 0}));

    d = lineDiff({"p", "q", "r"}, {"p", "q", "r"});
    ASSERT_EQ(d.rows.size(), 3);
    for (qsizetype k = 0; k < 3; ++k) {
        EXPECT_EQ(d.rows[k].kind, Kind::Same);
        EXPECT_EQ(d.rows[k].leftNumber, k + 1);
        EXPECT_EQ(d.rows[k].rightNumber, k + 1);
    }
    EXPECT_EQ(d.summary, DiffSummary{});
}

TEST(LineDiff, ComparesCanonicalEquivalentsAndNothingLooser) {
    const QString composed = QString::fromUtf8("caf\u00e9 cr\u00e8me");
    const QString decomposed = QString::fromUtf8("cafe\u0301 cre\u0300me");
    auto d = DocumentDiff::lineDiff({composed}, {decomposed});
    ASSERT_EQ(d.rows.size(), 1);
    EXPECT_EQ(d.rows[0].kind, Kind::Same);
    EXPECT_EQ(d.rows[0].leftText, composed); // each side keeps its own spelling
    EXPECT_EQ(d.rows[0].rightText, decomposed);

    for (const auto& [x, y] : {std::pair{"line", "line "}, {"Line", "line"}, {"a\tb", "a b"}}) {
        d = DocumentDiff::lineDiff({x}, {y});
        EXPECT_EQ(d.summary, (DiffSummary{0, 0, 1})) << x;
    }
}

// The compact table must give exactly what the full table gives: same rows, order, ids and
// tie-breaks. Small alphabets make ties and repeated lines common; widths cross word edges.
TEST(LineDiff, CompactTableGivesTheSameRowsAsTheFullTable) {
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 400; ++round) {
        const int alphabet = 1 + int(rng.bounded(5));
        auto make = [&](int maxLen) {
            QStringList lines;
            const int len = int(rng.bounded(maxLen + 1));
            for (int k = 0; k < len; ++k)
                lines.append(QString(QChar(u'a' + rng.bounded(alphabet))));
            return lines;
        };
        const int maxLen = round < 300 ? 20 : 150;
        const QStringList a = make(maxLen), b = make(maxLen);
        const auto got = DocumentDiff::lineDiff(a, b);
        const auto want = referenceDiff(a, b);
        ASSERT_EQ(got.rows, want.rows)
            << a.join("").toStdString() << " / " << b.join("").toStdString();
        ASSERT_EQ(got.summary, want.summary);
    }
}

// Pairs that differ in a few places are walked another way than pairs that differ throughout;
// both must give the full table's rows. Edits of every kind land on code-like lines that repeat,
// from a handful (far under any limit) to enough that the walk gives up on the few-differences
// way part-way and takes the table.
TEST(LineDiff, FewAndManyDifferencesGiveTheFullTablesRows) {
    QRandomGenerator rng(20261209);
    const QStringList vocabulary = {"{", "}", "", "return x;", "x = y + 1;", "if (x) {", "y(x);"};
    for (int round = 0; round < 24; ++round) {
        QStringList a;
        const int length = 200 + int(rng.bounded(500));
        for (int k = 0; k < length; ++k)
            a.append(rng.bounded(4) == 0 ? QString::number(rng.bounded(50))
                                         : vocabulary[rng.bounded(vocabulary.size())]);
        QStringList b = a;
        const int edits = round < 12 ? 1 + int(rng.bounded(10)) : 20 + int(rng.bounded(400));
        for (int e = 0; e < edits && !b.isEmpty(); ++e) {
            const qsizetype at = qsizetype(rng.bounded(int(b.size())));
            switch (rng.bounded(3)) {
            case 0:
                b[at] += QStringLiteral(" // edited");
                break;
            case 1:
                b.removeAt(at);
                break;
            default:
                b.insert(at, vocabulary[rng.bounded(vocabulary.size())]);
            }
        }
        const bool swap = rng.bounded(2) == 1;
        const QStringList& first = swap ? b : a;
        const QStringList& second = swap ? a : b;
        const auto got = DocumentDiff::lineDiff(first, second);
        const auto want = referenceDiff(first, second);
        ASSERT_EQ(got.rows, want.rows) << "round " << round;
        ASSERT_EQ(got.summary, want.summary);
    }
    // Nothing in common, and one side empty.
    const QStringList numbers = {"1", "2", "3"}, letters = {"a", "b"};
    EXPECT_EQ(DocumentDiff::lineDiff(numbers, letters).rows, referenceDiff(numbers, letters).rows);
    EXPECT_EQ(DocumentDiff::lineDiff(numbers, {}).rows, referenceDiff(numbers, {}).rows);
}

TEST(LineDiff, ACancelledDiffGivesNothing) {
    QStringList a, b;
    for (int k = 0; k < 2000; ++k) {
        a.append(QString::number(k));
        b.append(QString::number(k * 7));
    }
    const CancelToken cancel;
    cancel.cancel();
    EXPECT_TRUE(DocumentDiff::lineDiff(a, b, cancel).rows.isEmpty());
    // Whichever way the walk is answered: few differences, or nothing in common at all.
    EXPECT_TRUE(DocumentDiff::lineDiff(a, a + QStringList{"x"}, cancel).rows.isEmpty());
    EXPECT_TRUE(DocumentDiff::lineDiff(a, {"none", "of", "these"}, cancel).rows.isEmpty());
}

TEST(SplitLines, EveryBreakCharacterEndsALineOnItsOwn) {
    using DocumentDiff::splitLines;
    EXPECT_EQ(splitLines(""), QStringList{""});
    EXPECT_EQ(splitLines("a\n"), (QStringList{"a", ""}));
    EXPECT_EQ(splitLines("a\r\nb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitLines(QString::fromUtf8("1\v2\f3\u00854\u20285\u20296\r7")),
              (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
}

// Long texts, so the breaks fall at every place within a block of characters, mixed with the
// characters on either side of the break ranges.
TEST(SplitLines, FindsBreaksAnywhereInLongTexts) {
    const char16_t alphabet[] = {u'a', u' ', u'\t', u'\n',  u'\r',  0x0B,   0x0C,   0x0E,   0x09,
                                 0x84, 0x85, 0x86,  0x2027, 0x2028, 0x2029, 0x202A, 0xFFFD, 0x00A0};
    QRandomGenerator rng(7);
    for (int round = 0; round < 200; ++round) {
        QString text;
        const int length = int(rng.bounded(120));
        for (int k = 0; k < length; ++k)
            text +=
                QChar(rng.bounded(4) == 0 ? alphabet[rng.bounded(int(std::size(alphabet)))] : u'x');
        QStringList expected{QString()};
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if ((u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029)
                expected.append(QString());
            else
                expected.last() += c;
        }
        ASSERT_EQ(DocumentDiff::splitLines(text), expected) << round;
        const std::vector<QStringView> views = DocumentDiff::lineViews(text);
        QStringList viewed;
        for (const QStringView line : views)
            viewed.append(line.toString());
        ASSERT_EQ(viewed, expected) << round;
    }
}

// The compare's own path, from views into whole texts, gives the rows of the list path; a Same
// row of two equivalent but different lines keeps each side's own text.
TEST(LineDiffOfViews, GivesTheRowsOfTheListPath) {
    const QString composed = QString::fromUtf8("caf\u00e9");
    const QString decomposed = QString::fromUtf8("cafe\u0301");
    const QStringList pairs[][2] = {{{"a", "b", "c", "d"}, {"a", "x", "c", "d", "e"}},
                                    {{"one", composed, "two"}, {"one", decomposed, "three"}},
                                    {{}, {"only"}},
                                    {{"x", "y"}, {"p", "q", "r"}}};
    for (const auto& pair : pairs) {
        const QString first = pair[0].join(u'\n'), second = pair[1].join(u'\n');
        const auto views = DocumentDiff::lineDiffOfViews(DocumentDiff::lineViews(first),
                                                         DocumentDiff::lineViews(second));
        const auto list = DocumentDiff::lineDiff(DocumentDiff::splitLines(first),
                                                 DocumentDiff::splitLines(second));
        EXPECT_EQ(views.rows, list.rows) << first.toStdString();
        EXPECT_EQ(views.summary, list.summary);
    }
}

// The first rows are handed over while the walk is under way, once, and are exactly the rows the
// result starts with, whichever way the walk is answered: the pairs differ from their first line,
// and a run of differences pairs off many rows at once past the count asked for.
TEST(LineDiffOfViews, HandsOverTheResultsFirstRowsOnceBeforeTheRest) {
    QString few, fewEdited, many, manyEdited;
    for (int k = 0; k < 3000; ++k) {
        few += QStringLiteral("line %1\n").arg(k);
        fewEdited += k % 500 == 0 ? QStringLiteral("edited %1\n").arg(k)
                                  : QStringLiteral("line %1\n").arg(k);
        many += QStringLiteral("old %1\n").arg(k);
        manyEdited +=
            k % 3 == 1 ? QStringLiteral("old %1\n").arg(k) : QStringLiteral("new %1\n").arg(k);
    }
    for (const auto& [first, second] :
         {std::pair{few, fewEdited}, std::pair{many, manyEdited},
          std::pair{QStringLiteral("a\nb"), QStringLiteral("x\ny\nz")}}) {
        for (const qsizetype count : {qsizetype(1), qsizetype(2), qsizetype(400)}) {
            QList<QList<DiffRow>> handed;
            const auto result = DocumentDiff::lineDiffOfViews(
                DocumentDiff::lineViews(first), DocumentDiff::lineViews(second), CancelToken(),
                [&](QList<DiffRow> rows) { handed.append(rows); }, count);
            if (result.rows.size() < count) {
                EXPECT_TRUE(handed.isEmpty()) << count;
                continue;
            }
            ASSERT_EQ(handed.size(), 1) << count;
            EXPECT_EQ(handed[0], result.rows.first(count)) << count;
        }
    }
}

TEST(ChangeDigest, TakesWholeLinesWithinTheBudget) {
    using DocumentDiff::changeDigest;
    const QList<DiffRow> same = {row(0, Kind::Same, 1, "a", 1, "a")};
    EXPECT_EQ(changeDigest(same, 6000), QString());

    const QList<DiffRow> mixed = {
        row(0, Kind::Same, 1, "a", 1, "a"), row(1, Kind::Removed, 2, "old", {}, {}),
        row(2, Kind::Added, {}, {}, 2, "new"), row(3, Kind::Changed, 3, "x", 3, "y"),
        row(4, Kind::Added, {}, {}, 4, std::nullopt)};
    EXPECT_EQ(changeDigest(mixed, 6000),
              QStringLiteral("REMOVED: old\nADDED: new\nBEFORE: x\nAFTER: y\nADDED: "));

    // A changed row whose texts hold 7,000 characters is not taken at all.
    const QList<DiffRow> huge = {
        row(0, Kind::Changed, 1, QString(3500, 'l'), 1, QString(3500, 'r'))};
    EXPECT_EQ(changeDigest(huge, 6000), QStringLiteral("\n(more changes not shown)"));

    // 5,990 then 20: the second stops the walk though a later line would fit.
    const QList<DiffRow> walk = {row(0, Kind::Added, {}, {}, 1, QString(5990 - 7, 'a')),
                                 row(1, Kind::Added, {}, {}, 2, QString(20 - 7, 'b')),
                                 row(2, Kind::Added, {}, {}, 3, "c")};
    EXPECT_EQ(changeDigest(walk, 6000),
              QStringLiteral("ADDED: ") + QString(5983, 'a') + "\n(more changes not shown)");
    // A line that reaches the budget exactly is taken; joins are not counted.
    const QList<DiffRow> exact = {row(0, Kind::Added, {}, {}, 1, "abc"),
                                  row(1, Kind::Added, {}, {}, 2, "de")};
    EXPECT_EQ(changeDigest(exact, 19), QStringLiteral("ADDED: abc\nADDED: de"));

    // Characters as people count them: one family emoji, one accented letter.
    EXPECT_EQ(DocumentDiff::characterCount(
                  QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467")),
              1);
    EXPECT_EQ(DocumentDiff::characterCount(QString::fromUtf8("e\u0301")), 1);
    EXPECT_EQ(DocumentDiff::characterCount(QStringLiteral("\r\n")), 1);
}
