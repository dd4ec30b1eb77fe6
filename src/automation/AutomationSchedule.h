#pragma once

#include "automation/AutomationRule.h"
#include "vitals/SystemSnapshot.h"

#include <optional>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

// When rules are due: the calendar day a moment falls on, its weekday, and the storage alert's
// threshold. Pure functions.
//
// A zone of none means the system's local time as it is at the call, so a change of the
// machine's time zone is followed; tests pass a fixed zone.
namespace AutomationSchedule {

// "yyyy-MM-dd" of the moment's Gregorian date in the zone, in ASCII digits whatever the user's
// language or region. Two moments share a stamp exactly when they fall on one calendar day
// there.
QString dayKey(const QDateTime& moment, const std::optional<QTimeZone>& zone = std::nullopt);

// 1 for Sunday, 2 for Monday, … 7 for Saturday, in the zone.
int weekday(const QDateTime& moment, const std::optional<QTimeZone>& zone = std::nullopt);

// The weekday test of a rule: the Friday rules need 6, the developer caches 1, Docker 2; the
// storage alert passes every day (its test is the disk).
bool isRuleDay(AutomationRule::Kind kind, int weekday);

// True when the disk was measured (its size is at least 1 byte) and it is 90% full or more by
// the shared fullness figure, the one the alert's sentence then names.
bool storageAlertDue(const SystemSnapshot& disk);

} // namespace AutomationSchedule
