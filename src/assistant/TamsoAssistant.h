#pragma once

#include "assistant/TamsoScreenContext.h"
#include "vitals/SystemSnapshot.h"

#include <optional>
#include <QObject>

// The assistant: routes questions to answers and proposes actions.
// Created once by the app at start-up. Until its routing arrives, ask() only records what it was
// handed, so the screens that hand over questions can be built and checked against it.
class TamsoAssistant : public QObject {
    Q_OBJECT
public:
    // One hand-over, exactly as the caller made it.
    struct AskCall {
        QString question;
        SystemSnapshot snapshot;
        std::optional<TamsoScreenContext> context;
    };

    explicit TamsoAssistant(QObject* parent = nullptr) : QObject(parent) {}

    // Takes a question with the latest sample and the screen it was asked from. Main thread only;
    // never fails towards the caller.
    void ask(const QString& question, const SystemSnapshot& snapshot,
             std::optional<TamsoScreenContext> context);

    // The most recent hand-over (none before the first) and how many there have been.
    const std::optional<AskCall>& lastAsk() const { return m_lastAsk; }
    int askCount() const { return m_askCount; }

signals:
    void asked(const QString& question);

private:
    std::optional<AskCall> m_lastAsk;
    int m_askCount = 0;
};
