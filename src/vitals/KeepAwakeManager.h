#pragma once

#include <QObject>

// Keeps the machine (and optionally the display) awake for a chosen period. One process-wide
// instance; the menu-bar label shows a badge while it is active.
class KeepAwakeManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)
public:
    explicit KeepAwakeManager(QObject* parent = nullptr) : QObject(parent) {}
    static KeepAwakeManager* shared() {
        static KeepAwakeManager* instance = new KeepAwakeManager;
        return instance;
    }
    bool isActive() const { return m_active; }

signals:
    void isActiveChanged(bool active);

protected:
    void setActive(bool active) {
        if (active == m_active)
            return;
        m_active = active;
        emit isActiveChanged(active);
    }

private:
    bool m_active = false;
};
