#include "automation/AutomationRuleState.h"

#include "automation/AutomationRule.h"
#include "platform/JsonFields.h"

namespace {

const QLatin1String kEnabled("enabled");
const QLatin1String kLastRun("lastRun");
const QLatin1String kLastResult("lastResult");
const QLatin1String kLastRunDay("lastRunDay");
const QLatin1String kLastResultIsProblem("lastResultIsProblem");

} // namespace

QJsonObject AutomationRuleState::toJson() const {
    QJsonObject o;
    o.insert(kEnabled, enabled);
    if (lastRun)
        o.insert(kLastRun, *lastRun);
    JsonFields::insertOptional(o, kLastResult, lastResult);
    JsonFields::insertOptional(o, kLastRunDay, lastRunDay);
    if (lastResultIsProblem)
        o.insert(kLastResultIsProblem, true);
    return o;
}

std::optional<AutomationRuleState> AutomationRuleState::fromJson(const QJsonObject& object) {
    AutomationRuleState state;
    const std::optional<bool> enabled = JsonFields::boolean(object, kEnabled);
    if (!enabled)
        return std::nullopt;
    state.enabled = *enabled;
    const QJsonValue lastRun = object.value(kLastRun);
    if (!lastRun.isUndefined() && !lastRun.isNull()) {
        state.lastRun = JsonFields::date(object, kLastRun);
        if (!state.lastRun)
            return std::nullopt;
    }
    if (!JsonFields::optionalString(object, kLastResult, &state.lastResult) ||
        !JsonFields::optionalString(object, kLastRunDay, &state.lastRunDay))
        return std::nullopt;
    state.lastResultIsProblem = object.value(kLastResultIsProblem) == QJsonValue(true);
    return state;
}

namespace AutomationRuleStates {

QString defaultsKey() {
    return QStringLiteral("automation.ruleStates.v1");
}

QJsonObject encode(const Map& states) {
    QJsonObject o;
    for (auto it = states.cbegin(); it != states.cend(); ++it)
        o.insert(it.key(), it.value().toJson());
    return o;
}

std::optional<Map> decode(const QJsonValue& value) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    Map states;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isObject())
            return std::nullopt;
        std::optional<AutomationRuleState> state = AutomationRuleState::fromJson(it->toObject());
        if (!state)
            return std::nullopt;
        states.insert(it.key(), *state);
    }
    return states;
}

Map forTable(const std::optional<Map>& decoded) {
    Map states;
    for (const AutomationRule& rule : AutomationRule::all())
        states.insert(rule.id, decoded ? decoded->value(rule.id) : AutomationRuleState());
    return states;
}

} // namespace AutomationRuleStates
