#pragma once

#include <QObject>

// The assistant: routes questions to answers and proposes actions.
// Created once by the app at start-up; its work arrives with the screens that use it.
class TamsoAssistant : public QObject {
    Q_OBJECT
public:
    explicit TamsoAssistant(QObject* parent = nullptr) : QObject(parent) {}
};
