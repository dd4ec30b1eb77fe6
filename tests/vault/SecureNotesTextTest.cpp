// The vault's wording: the masked secret, its count and the list's dates.
#include "vault/SecureNotesText.h"

#include <gtest/gtest.h>

namespace {

int groups(const QString& masked) {
    return int(masked.split(QLatin1Char(' ')).size());
}

} // namespace

TEST(SecureNotesText, TheMaskShowsTheLengthOnlyRoughly) {
    const struct {
        QString secret;
        int groups;
        QString count;
    } cases[] = {
        {QString(), 2, "0 characters"},
        {QStringLiteral("x"), 2, "1 character"},
        {QStringLiteral("12345678"), 2, "8 characters"},
        {QStringLiteral("123456789"), 3, "9 characters"},
        {QString(197, QLatin1Char('a')), 50, "197 characters"},
        {QString(300, QLatin1Char('a')), 50, "300 characters"},
        // One letter and a combining accent, and a flag: each counts as one character.
        {QStringLiteral("e\u0301"), 2, "1 character"},
        {QStringLiteral("\U0001F1EB\U0001F1F7abc"), 2, "4 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count.toStdString());
        const QString masked = SecureNotesText::maskedSecret(c.secret);
        EXPECT_EQ(groups(masked), c.groups);
        for (const QString& g : masked.split(QLatin1Char(' ')))
            EXPECT_EQ(g, QStringLiteral("\u2022\u2022\u2022\u2022"));
        EXPECT_EQ(SecureNotesText::characterCountLine(c.secret), c.count);
    }
}

TEST(SecureNotesText, RowDatesFollowTheLocalesOrderAndClock) {
    const QDateTime when(QDate(2026, 12, 9), QTime(14, 5), Qt::UTC);
    const QTimeZone utc = QTimeZone::utc();
    EXPECT_EQ(
        SecureNotesText::rowDate(when, QLocale(QLocale::English, QLocale::UnitedKingdom), utc),
        "9 Dec, 14:05");
    const QString us =
        SecureNotesText::rowDate(when, QLocale(QLocale::English, QLocale::UnitedStates), utc);
    EXPECT_TRUE(us.startsWith(QStringLiteral("Dec 9, 2:05"))) << qPrintable(us);
    EXPECT_TRUE(us.endsWith(QStringLiteral("PM"))) << qPrintable(us);
    EXPECT_EQ(SecureNotesText::rowDate(when, QLocale::c(), utc), "9 Dec, 14:05") << "no seconds";
}
