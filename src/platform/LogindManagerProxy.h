#pragma once

#include <QDBusAbstractInterface>

// The part of logind's Manager interface (org.freedesktop.login1.Manager on
// /org/freedesktop/login1) that keep-awake uses. A typed proxy so its D-Bus signal can be
// connected like any Qt signal; calls go through callWithArgumentList with this proxy's
// timeout. Constructing it asks the bus who owns the name (one short round trip).
class LogindManagerProxy : public QDBusAbstractInterface {
    Q_OBJECT
public:
    static constexpr const char* service = "org.freedesktop.login1";
    static constexpr const char* path = "/org/freedesktop/login1";
    static constexpr const char* interfaceName = "org.freedesktop.login1.Manager";

    LogindManagerProxy(const QDBusConnection& bus, QObject* parent = nullptr)
        : QDBusAbstractInterface(QString::fromLatin1(service), QString::fromLatin1(path),
                                 interfaceName, bus, parent) {}

signals:
    // Sent with true just before the machine sleeps and with false right after it woke.
    void PrepareForSleep(bool start);
};
