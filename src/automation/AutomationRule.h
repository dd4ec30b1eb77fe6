#pragma once

#include "platform/RawValue.h"

#include <QList>
#include <QString>

// One of the five fixed maintenance rules. The table is compiled in; only each rule's switch and
// last outcome belong to the user (AutomationRuleState).
struct AutomationRule {
    // Selects the rule's weekday test and its runner. Raw values are the case names
    // ("fridayDownloads", …); the declaration order is the table's.
    enum class Kind : quint8 {
        FridayDownloads,
        SundayDevCaches,
        DiskAlert,
        WeeklyDocker,
        FridayScreenshots
    };

    QString id; // key of the rule's state in "automation.ruleStates.v1"; never changes
    QString title;
    QString scheduleLabel; // for display only: the schedule itself follows from kind
    QString detail;
    QString icon; // symbol name
    Kind kind = Kind::FridayDownloads;

    friend bool operator==(const AutomationRule&, const AutomationRule&) = default;

    // The five rules in their fixed order; every walk over the rules (checks, loading, the
    // screen) goes in this order.
    static const QList<AutomationRule>& all();
    // The rule with this id, or null.
    static const AutomationRule* lookup(const QString& id);
};

QString rawValue(AutomationRule::Kind kind);
template <>
std::optional<AutomationRule::Kind> fromRawValue<AutomationRule::Kind>(const QString& raw);
template <> const QList<AutomationRule::Kind>& allCases<AutomationRule::Kind>();
