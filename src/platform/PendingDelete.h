#pragma once

#include <functional>
#include <QString>
#include <QUuid>

// A destructive action awaiting the user's typed-code confirmation (DeleteConfirmItem).
// Two requests are told apart by id alone, which is fresh for every request made through
// make(). A value type every layer shares, so models may prepare requests.
struct PendingDelete {
    QUuid id;
    QString title;                // the sheet's heading
    QString message;              // the consequence, in plain words
    QString confirmVerb;          // the destructive button's label
    std::function<void()> action; // run once, on confirmation

    static PendingDelete make(QString title, QString message, QString confirmVerb,
                              std::function<void()> action) {
        return PendingDelete{QUuid::createUuid(), std::move(title), std::move(message),
                             std::move(confirmVerb), std::move(action)};
    }
};
