#pragma once

#include <optional>
#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>

// What belongs to the user of one rule: its switch and the outcome of its last run.
//
// Stored form, one JSON object: "enabled" (a JSON Boolean, always written, required), "lastRun"
// (seconds since 1 January 2001 00:00:00 UTC, a number, fraction kept), "lastResult" and
// "lastRunDay" (strings); the last three are written only when present and read as absent when
// missing or null. "lastResultIsProblem" is written (true) only for a result that tells of a
// job left undone, and anything but true reads as false, so states saved before it existed
// read as they were. Other keys are ignored.
struct AutomationRuleState {
    bool enabled = false;
    // Seconds since the 2001 reference date, exactly as recorded or read, so that loading and
    // saving never moves a date.
    std::optional<double> lastRun;
    std::optional<QString> lastResult;
    // The last result tells of a job left (partly) undone; the screen shows it as a problem.
    bool lastResultIsProblem = false;
    // The day stamp (AutomationSchedule::dayKey) of the last run.
    std::optional<QString> lastRunDay;

    friend bool operator==(const AutomationRuleState&, const AutomationRuleState&) = default;

    QJsonObject toJson() const;
    // Nothing when "enabled" is missing or not a Boolean, "lastRun" is neither absent, null nor
    // a finite number, or either text is neither absent, null nor a string.
    static std::optional<AutomationRuleState> fromJson(const QJsonObject& object);
};

// The persisted dictionary of rule states ("automation.ruleStates.v1"): rule id to state.
namespace AutomationRuleStates {

using Map = QMap<QString, AutomationRuleState>;

QString defaultsKey();

// One JSON object with one member per entry.
QJsonObject encode(const Map& states);
// The whole value or nothing: the top level must be an object and every member, under any
// key, a valid state; one bad member rejects it all.
std::optional<Map> decode(const QJsonValue& value);
// Exactly one entry per rule of the table: the decoded entry under the rule's
// id, else the default state. Entries under other keys are dropped.
Map forTable(const std::optional<Map>& decoded);

} // namespace AutomationRuleStates
