#include "platform/FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

FreedesktopNotifier::FreedesktopNotifier(Bus bus) : m_bus(std::move(bus)) {
    if (!m_bus)
        m_bus = [] { return QDBusConnection::sessionBus(); };
}

void FreedesktopNotifier::post(const Request& request) {
    QDBusConnection bus = m_bus();
    if (!bus.isConnected())
        return;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("pendrel"));
    if (request.playSound)
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    hints.insert(QStringLiteral("x-pendrel-identifier"), request.identifier);

    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // server's own).
    call << QStringLiteral("Pendrel") << quint32(0) << QString() << request.title << request.body
         << QStringList() << hints << qint32(-1);
    bus.asyncCall(call, kCallTimeoutMs);
}
