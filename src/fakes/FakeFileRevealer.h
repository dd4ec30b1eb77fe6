#pragma once

#include "platform/FileRevealer.h"

#include <QList>
#include <QStringList>
#include <utility>

// Records the paths it was asked to reveal; no file manager is asked. It answers shown, or not
// shown while `refuses` is set (a desktop with neither a file manager nor an opener): at once, or,
// while `holds` is set, only when answerHeld() is called (a file manager slow to reply).
class FakeFileRevealer final : public FileRevealer {
public:
    void reveal(const QString& path, Outcome outcome) override {
        revealed << path;
        if (!outcome)
            return;
        if (holds)
            m_held << outcome;
        else
            outcome(!refuses);
    }
    void answerHeld() {
        const QList<Outcome> held = std::exchange(m_held, {});
        for (const Outcome& outcome : held)
            outcome(!refuses);
    }

    QStringList revealed;
    bool refuses = false;
    bool holds = false;

private:
    QList<Outcome> m_held;
};
