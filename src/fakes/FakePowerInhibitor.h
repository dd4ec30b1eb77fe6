#pragma once

#include "platform/PowerInhibitor.h"

#include <functional>
#include <QSet>
#include <QStringList>

// Grants or refuses assertions on command and logs every call in order ("acquire 2 idle",
// "release 1"), so tests can see that a replacement is taken before the old one goes.
class FakePowerInhibitor : public PowerInhibitor {
public:
    bool refuse = false;        // refuse every acquire
    bool refuseDisplay = false; // grant DisplaySleep without its display part
    QSet<quint32> held;
    QStringList log;
    QStringList names;
    int acquireCount = 0;
    // Told what was still held when the fake goes (it goes with the manager that owns it).
    std::function<void(const QSet<quint32>&)> onDestroyed;

    ~FakePowerInhibitor() override {
        if (onDestroyed)
            onDestroyed(held);
    }

    PowerAssertion acquire(Kind kind, const QString& name) override {
        ++acquireCount;
        names << name;
        if (refuse) {
            log << QStringLiteral("refused");
            return {};
        }
        const quint32 id = ++m_next;
        held.insert(id);
        const bool display = kind == Kind::DisplaySleep && !refuseDisplay;
        log << QStringLiteral("acquire %1 %2").arg(id).arg(display ? "display" : "idle");
        return {id, display};
    }

    void release(quint32 id) override {
        log << QStringLiteral("release %1").arg(id);
        held.remove(id);
    }

private:
    quint32 m_next = 0;
};
