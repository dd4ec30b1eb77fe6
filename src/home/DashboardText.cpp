#include "home/DashboardText.h"

#include "platform/SymbolName.h"

#include <QRegularExpression>

namespace DashboardText {

Status status(int score) {
    if (score >= 85)
        return {QStringLiteral("Your Mac is healthy."), "checkmark.circle.fill"_sym,
                HomeTone::Green, 0};
    if (score >= 70)
        return {QStringLiteral("A little attention would help."), "exclamationmark.circle.fill"_sym,
                HomeTone::Yellow, 1};
    if (score >= 45)
        return {QStringLiteral("Your Mac needs a review."), "exclamationmark.triangle.fill"_sym,
                HomeTone::Orange, 2};
    return {QStringLiteral("Your Mac needs attention now."), "exclamationmark.octagon.fill"_sym,
            HomeTone::Red, 3};
}

QString greetingWord(int hour) {
    if (hour < 12)
        return QStringLiteral("morning");
    if (hour < 18)
        return QStringLiteral("afternoon");
    return QStringLiteral("evening");
}

QString firstName(const QString& fullName) {
    const QStringList pieces = fullName.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return pieces.isEmpty() ? QStringLiteral("there") : pieces.front();
}

QString greeting(int hour, const QString& fullName) {
    return QStringLiteral("Good ") + greetingWord(hour) + QStringLiteral(", ") +
           firstName(fullName);
}

bool hasCompletedCheck(const HealthCheck::Status& junk, const HealthCheck::Status& bigFiles) {
    return junk.isDone() && bigFiles.isDone();
}

QString countLine(int cards, bool checkComplete, int level) {
    if (cards == 1)
        return QStringLiteral("Pendrel found one thing worth your attention today.");
    if (cards > 1)
        return QStringLiteral("Pendrel found ") + QString::number(cards) +
               QStringLiteral(" things worth your attention today.");
    if (checkComplete)
        return level == 0 ? QStringLiteral("Nothing needs you today.")
                          : QStringLiteral("Live vitals need attention; run a check for a "
                                           "fuller diagnosis.");
    return level == 0 ? QStringLiteral("Live vitals look good. Complete today's check for the "
                                       "full picture.")
                      : QStringLiteral("Live vitals need attention. Complete today's check for "
                                       "the full picture.");
}

QString lastCheckedLine(const QDateTime& when, const QLocale& locale) {
    // Some locales' short time still carries seconds; a shortened time never does.
    static const QRegularExpression seconds(QStringLiteral(R"([:.]ss(\.z+)?)"));
    const QString format = locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    return QStringLiteral("Last checked ") + locale.toString(when.toLocalTime().time(), format);
}

QString askPrompt() {
    return QStringLiteral("Ask Pendrel anything about your Mac…");
}

QString askQuestion() {
    return QStringLiteral("Is there anything I should do about my Mac today?");
}

} // namespace DashboardText
