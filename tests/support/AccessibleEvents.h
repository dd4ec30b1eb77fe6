#pragma once

// What assistive technology is told while one of these lives: every accessibility event, kept
// as it read when it was sent (the interface may be gone later). Only one at a time; widget test
// programs only.

#include <QAccessible>
#include <QList>
#include <QString>

namespace testsupport {

struct HeardEvent {
    QAccessible::Event type;
    QObject* object;
    int child;
    QAccessible::Role role; // of the child when there is one, else of the object
    QString name;
};

class AccessibleEvents {
public:
    // Qt sends nothing while no assistive technology listens: one is said to, until destroyed.
    AccessibleEvents() : m_wasActive(QAccessible::isActive()) {
        heard().clear();
        m_previous = QAccessible::installUpdateHandler(&AccessibleEvents::record);
        QAccessible::setActive(true);
    }
    ~AccessibleEvents() {
        QAccessible::setActive(m_wasActive);
        QAccessible::installUpdateHandler(m_previous);
    }
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    const QList<HeardEvent>& events() const { return heard(); }
    QList<HeardEvent> of(QAccessible::Event type) const {
        QList<HeardEvent> found;
        for (const HeardEvent& e : heard())
            if (e.type == type)
                found.append(e);
        return found;
    }
    void clear() { heard().clear(); }

private:
    static QList<HeardEvent>& heard() {
        static QList<HeardEvent> events;
        return events;
    }
    static void record(QAccessibleEvent* event) {
        HeardEvent e{event->type(), event->object(), event->child(), QAccessible::NoRole, {}};
        QAccessibleInterface* iface = event->accessibleInterface();
        if (iface && event->child() >= 0)
            iface = iface->child(event->child());
        if (iface) {
            e.role = iface->role();
            e.name = iface->text(QAccessible::Name);
        }
        heard().append(e);
    }

    bool m_wasActive;
    QAccessible::UpdateHandler m_previous = nullptr;
};

} // namespace testsupport
