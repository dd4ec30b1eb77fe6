#pragma once

#include "platform/RawValue.h"

#include <optional>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>

// What a button under an answer does. Raw values are the case names ("openFeature",
// "proposeQuit", "proposeOpenCleanup").
enum class TamsoActionKind {
    // Opens a section at once; no approval.
    OpenFeature,
    // Asks the application named by the payload to quit, after the user approves.
    ProposeQuit,
    // Opens the storage hub in the mode named by the payload, after the user approves.
    ProposeOpenCleanup,
};

QString rawValue(TamsoActionKind kind);
template <> std::optional<TamsoActionKind> fromRawValue<TamsoActionKind>(const QString& raw);
template <> const QList<TamsoActionKind>& allCases<TamsoActionKind>();

// One button under an answer. Every action built gets a fresh id, so two buttons with the same
// text are still told apart.
struct TamsoAction {
    QUuid id = QUuid::createUuid();
    QString label;
    // The catalog id of the section the action opens or belongs to.
    QString featureID;
    TamsoActionKind kind = TamsoActionKind::OpenFeature;
    // ProposeQuit: the application's name; ProposeOpenCleanup: the storage-hub mode ("diskMap",
    // "screenshots", "organizer"); none for OpenFeature.
    std::optional<QString> payload;

    // A new action (new id) with these fields.
    static TamsoAction make(const QString& label, const QString& featureID, TamsoActionKind kind,
                            std::optional<QString> payload = std::nullopt);

    friend bool operator==(const TamsoAction&, const TamsoAction&) = default;
};

// One bubble of the conversation: a question of the user's or an answer of Pendrel's, the
// latter possibly with buttons (a question never has any).
struct TamsoMessage {
    enum class Role { User, Tamso };

    QUuid id = QUuid::createUuid();
    Role role = Role::Tamso;
    QString text;
    QList<TamsoAction> actions;

    // A new answer (new id, role Tamso).
    static TamsoMessage answer(const QString& text, QList<TamsoAction> actions = {});
    // A new question (new id, role User, no actions).
    static TamsoMessage question(const QString& text);

    friend bool operator==(const TamsoMessage&, const TamsoMessage&) = default;
};

Q_DECLARE_METATYPE(TamsoAction)
Q_DECLARE_METATYPE(TamsoMessage)
