#pragma once

#include "platform/LanguageModel.h"

#include <QList>
#include <QPointer>

// A model that answers from a script: each exchange takes the next scripted reply (a text or a
// failure; a failure "nothing scripted" when the script is empty) and every exchange is kept,
// so tests can read the instructions, prompt and options a caller built.
//
// Replies are delivered on the next event-loop turn, like a real model's. While held, they wait
// until release() is called, so a test can look at the state in between.
class FakeLanguageModel : public LanguageModel {
public:
    struct Exchange {
        QString instructions;
        QString prompt;
        LanguageModelOptions options;
    };

    bool available = true;
    QList<Exchange> exchanges;

    void scriptAnswer(const QString& text) { m_script.append(LanguageModelResponse::answer(text)); }
    void scriptFailure(const QString& error) {
        m_script.append(LanguageModelResponse::failure(error));
    }
    void setHeld(bool held) { m_held = held; }
    int waiting() const { return int(m_waiting.size()); }

    // Delivers every held reply, oldest first (on the next event-loop turn).
    void release() {
        const QList<Pending> waiting = std::exchange(m_waiting, {});
        for (const Pending& p : waiting)
            deliver(p);
    }

    bool isAvailable() const override { return available; }

    void respond(const QString& instructions, const QString& prompt,
                 const LanguageModelOptions& options, QObject* context, Completion done) override {
        exchanges.append({instructions, prompt, options});
        Pending p{QPointer<QObject>(context), std::move(done),
                  m_script.isEmpty()
                      ? LanguageModelResponse::failure(QStringLiteral("nothing scripted"))
                      : m_script.takeFirst()};
        if (m_held)
            m_waiting.append(std::move(p));
        else
            deliver(p);
    }

private:
    struct Pending {
        QPointer<QObject> context;
        Completion done;
        LanguageModelResponse response;
    };

    static void deliver(const Pending& p) {
        if (!p.context || !p.done)
            return;
        QMetaObject::invokeMethod(
            p.context.data(), [done = p.done, response = p.response] { done(response); },
            Qt::QueuedConnection);
    }

    QList<LanguageModelResponse> m_script;
    QList<Pending> m_waiting;
    bool m_held = false;
};
