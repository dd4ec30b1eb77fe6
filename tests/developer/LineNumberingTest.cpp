// The numbering of lines the line diff compares: equal and canonically equivalent lines share a
// number, and the diff is told when equal numbers may stand for lines that differ in form.
#include "developer/LineNumbering.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace {

std::vector<QStringView> views(const QStringList& lines) {
    return {lines.begin(), lines.end()};
}

} // namespace

TEST(LineNumbering, EqualLinesShareANumberAcrossBothSides) {
    const QStringList first = {"alpha", "beta", "alpha", ""};
    const QStringList second = {"", "gamma", "beta", "alphA"};
    const LineNumbering::Numbered n = LineNumbering::number(views(first), views(second));
    EXPECT_EQ(n.a, (std::vector<int>{0, 1, 0, 2}));
    EXPECT_EQ(n.b, (std::vector<int>{2, 3, 1, 4}));
    EXPECT_EQ(n.count, 5);
    EXPECT_TRUE(n.verbatim);
}

// "é" composed and decomposed are one line; only lines with a character from U+0300 up are
// normalized, and then equal numbers no longer prove equal text.
TEST(LineNumbering, CanonicallyEquivalentLinesShareANumber) {
    const QStringList first = {QString::fromUtf16(u"caf\u00E9"),
                               QString::fromUtf16(u"\u0100 wide")};
    const QStringList second = {QString::fromUtf16(u"cafe\u0301"),
                                QString::fromUtf16(u"\u0100 wide")};
    const LineNumbering::Numbered n = LineNumbering::number(views(first), views(second));
    EXPECT_EQ(n.a, (std::vector<int>{0, 1}));
    EXPECT_EQ(n.b, (std::vector<int>{0, 1}));
    EXPECT_FALSE(n.verbatim);

    const QStringList plain = {QString::fromUtf16(u"caf\u00E9")};
    EXPECT_TRUE(LineNumbering::number(views(plain), views(plain)).verbatim);
}
