#include "platform/NotificationCenter.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter;
    return *center;
}

int NotificationCenter::observe(const QString& name, QObject* context, Handler handler) {
    const int token = m_nextToken++;
    m_observers.push_back({token, name, QPointer<QObject>(context), std::move(handler)});
    return token;
}

void NotificationCenter::remove(int token) {
    std::erase_if(m_observers, [token](const Observer& o) { return o.token == token; });
}

void NotificationCenter::post(const QString& name, const QString& payload) {
    // Observers whose context has gone are dropped; the rest are called from a copy so that a
    // handler may observe or remove without disturbing this delivery.
    std::erase_if(m_observers, [](const Observer& o) { return o.context.isNull(); });
    std::vector<Observer> targets;
    for (const Observer& o : m_observers) {
        if (o.name == name)
            targets.push_back(o);
    }
    for (const Observer& o : targets) {
        const bool stillObserving =
            std::any_of(m_observers.begin(), m_observers.end(),
                        [&](const Observer& cur) { return cur.token == o.token; });
        if (stillObserving && !o.context.isNull())
            o.handler(payload);
    }
}
