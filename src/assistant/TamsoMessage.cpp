#include "assistant/TamsoMessage.h"

#include "platform/RawValueTable.h"

namespace {
constexpr std::array<const char*, 3> kKinds = {"openFeature", "proposeQuit", "proposeOpenCleanup"};
} // namespace

PENDREL_RAW_VALUES(TamsoActionKind, kKinds)

TamsoAction TamsoAction::make(const QString& label, const QString& featureID, TamsoActionKind kind,
                              std::optional<QString> payload) {
    TamsoAction action;
    action.label = label;
    action.featureID = featureID;
    action.kind = kind;
    action.payload = std::move(payload);
    return action;
}

TamsoMessage TamsoMessage::answer(const QString& text, QList<TamsoAction> actions) {
    TamsoMessage message;
    message.role = Role::Tamso;
    message.text = text;
    message.actions = std::move(actions);
    return message;
}

TamsoMessage TamsoMessage::question(const QString& text) {
    TamsoMessage message;
    message.role = Role::User;
    message.text = text;
    return message;
}
