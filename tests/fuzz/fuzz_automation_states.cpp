// The automation's stored rule states on any bytes, read as the settings file holds them (a
// document whose "automation.ruleStates.v1" member is the value; a document without one is taken
// as the value itself). The decoder must never crash, hang or misbehave; whatever it accepts
// must save and read back to the same states, and every accepted state must be showable.
#include "automation/AutomationRuleState.h"
#include "automation/AutomationText.h"

#include <cstdint>
#include <cstdlib>
#include <QJsonDocument>
#include <QTimeZone>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return 0;
    const QJsonObject object = document.object();
    const QString key = AutomationRuleStates::defaultsKey();
    const QJsonValue value = object.contains(key) ? object.value(key) : QJsonValue(object);

    const std::optional<AutomationRuleStates::Map> states = AutomationRuleStates::decode(value);
    const AutomationRuleStates::Map table = AutomationRuleStates::forTable(states);
    if (table.size() != 5)
        std::abort();
    if (!states)
        return 0;

    const QJsonObject saved = AutomationRuleStates::encode(*states);
    const QByteArray text = QJsonDocument(saved).toJson(QJsonDocument::Compact);
    const std::optional<AutomationRuleStates::Map> again =
        AutomationRuleStates::decode(QJsonDocument::fromJson(text).object());
    if (!again || *again != *states)
        std::abort();

    for (const AutomationRuleState& state : table) {
        if (AutomationText::rowStatus(state, false, QLocale::c(), QTimeZone::utc()).isEmpty())
            std::abort();
    }
    return 0;
}
