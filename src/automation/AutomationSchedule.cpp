#include "automation/AutomationSchedule.h"

namespace AutomationSchedule {

namespace {

QDate localDate(const QDateTime& moment, const std::optional<QTimeZone>& zone) {
    return (zone ? moment.toTimeZone(*zone) : moment.toLocalTime()).date();
}

} // namespace

QString dayKey(const QDateTime& moment, const std::optional<QTimeZone>& zone) {
    const QDate date = localDate(moment, zone);
    // Written out digit by digit, so no locale setting can reach the stamp.
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

int weekday(const QDateTime& moment, const std::optional<QTimeZone>& zone) {
    // Qt counts Monday 1 … Sunday 7.
    return localDate(moment, zone).dayOfWeek() % 7 + 1;
}

bool isRuleDay(AutomationRule::Kind kind, int weekday) {
    switch (kind) {
    case AutomationRule::Kind::FridayDownloads:
    case AutomationRule::Kind::FridayScreenshots:
        return weekday == 6;
    case AutomationRule::Kind::SundayDevCaches:
        return weekday == 1;
    case AutomationRule::Kind::WeeklyDocker:
        return weekday == 2;
    case AutomationRule::Kind::DiskAlert:
        return true;
    }
    return false;
}

bool storageAlertDue(const SystemSnapshot& disk) {
    return disk.diskTotalBytes >= 1 && disk.diskFullPercent() >= 90;
}

} // namespace AutomationSchedule
