#include "home/DashboardText.h"

#include "home/GlanceText.h"
#include "platform/SymbolName.h"
#include "platform/TextConstant.h"
#include "vitals/SystemSnapshot.h"

#include <algorithm>

#include <QRegularExpression>

namespace DashboardText {

namespace {

// The four status rows, by level.
Status row(int level) {
    switch (level) {
    case 0:
        return {QStringLiteral("Your Mac is healthy."), "checkmark.circle.fill"_sym,
                HomeTone::Green, 0};
    case 1:
        return {QStringLiteral("A little attention would help."), "exclamationmark.circle.fill"_sym,
                HomeTone::Yellow, 1};
    case 2:
        return {QStringLiteral("Your Mac needs a review."), "exclamationmark.triangle.fill"_sym,
                HomeTone::Orange, 2};
    default:
        return {QStringLiteral("Your Mac needs attention now."), "exclamationmark.octagon.fill"_sym,
                HomeTone::Red, 3};
    }
}

} // namespace

Status status(int score) {
    if (score >= 85)
        return row(0);
    if (score >= 70)
        return row(1);
    if (score >= 45)
        return row(2);
    return row(3);
}

int liveLevel(const SystemSnapshot& snapshot) {
    int level = 0;
    for (const GlanceText::Tile& tile : GlanceText::tiles(snapshot)) {
        if (tile.tone == HomeTone::Red)
            level = std::max(level, 3);
        else if (tile.tone == HomeTone::Orange || tile.tone == HomeTone::Yellow)
            level = std::max(level, 2);
    }
    // The dot's headline: 1 strained (orange), 2 hot (red).
    const int headline = snapshot.headlineLevel();
    if (headline >= 2)
        level = 3;
    else if (headline == 1)
        level = std::max(level, 2);
    return level;
}

Status status(int score, int liveLevel) {
    const Status byScore = status(score);
    return liveLevel > byScore.level ? row(std::min(liveLevel, 3)) : byScore;
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

PENDREL_TEXT(askPrompt, "Ask Pendrel anything about your Mac…")
PENDREL_TEXT(askQuestion, "Is there anything I should do about my Mac today?")
PENDREL_TEXT(attentionTitle, "What deserves your attention")

QString attentionEmptyTitle(bool checkComplete, int level) {
    if (!checkComplete)
        return QStringLiteral("Complete today's check");
    return level == 0 ? QStringLiteral("Nothing needs you today.")
                      : QStringLiteral("Nothing to clean today.");
}

QString attentionEmptyMessage(bool checkComplete, int level) {
    if (checkComplete)
        return level == 0 ? QStringLiteral("Everything Pendrel checked looks good.")
                          : QStringLiteral("Live vitals need attention; the tiles below say why.");
    return level == 0 ? QStringLiteral("Live vitals look good. Check temporary files and large "
                                       "files for the full picture.")
                      : QStringLiteral("Live vitals need attention. Check temporary files and "
                                       "large files for the full picture.");
}

PENDREL_TEXT(attentionCheckNow, "Check now")
PENDREL_TEXT(refreshTitle, "Refresh")
PENDREL_TEXT(refreshChecking, "Checking…")
PENDREL_TEXT(windowTitle, "Home")
PENDREL_TEXT(readingVitals, "Reading your Mac's vitals…")
PENDREL_TEXT(fullDiskAccessTitle, "Give Pendrel Full Disk Access")
PENDREL_TEXT(fullDiskAccessMessage, "Some cleaning and scanning needs permission to "
                                    "see protected folders. It takes ten seconds: "
                                    "flip the switch for Pendrel, then come back.")
PENDREL_TEXT(fullDiskAccessOpen, "Open Settings")
PENDREL_TEXT(fullDiskAccessRecheck, "I've done it, recheck")

} // namespace DashboardText
