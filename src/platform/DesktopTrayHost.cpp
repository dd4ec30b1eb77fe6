#include "platform/DesktopTrayHost.h"

#include "platform/X11Selections.h"

#include <algorithm>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

DesktopTrayHost::DesktopTrayHost(QObject* parent) : DesktopTrayHost(Options{}, parent) {}

DesktopTrayHost::DesktopTrayHost(Options options, QObject* parent)
    : TrayHost(parent), m_options(std::move(options)) {
    if (!m_options.xembedTray)
        m_options.xembedTray = [] { return X11Selections::xembedTrayRunning(); };
    m_xembedTray = m_options.xembedTray();
    m_poll.setInterval(std::max(50, m_options.pollMs));
    connect(&m_poll, &QTimer::timeout, this, &DesktopTrayHost::pollXembed);
    m_poll.start();
    if (m_options.useSessionBus)
        watchStatusNotifierHost();
}

void DesktopTrayHost::watchStatusNotifierHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_watcher = new QDBusServiceWatcher(kWatcherService, bus,
                                        QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty())
                    setParts(false, m_xembedTray);
                else
                    readStatusNotifierHost();
            });
    // QtDBus offers signal subscriptions by slot name only.
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QString::fromLatin1(signal),
                    this, SLOT(readStatusNotifierHost()));
    // The answer at launch decides whether the main window must be shown, so it is waited for,
    // briefly; every later change is read without blocking.
    if (bus.interface() && bus.interface()->isServiceRegistered(kWatcherService)) {
        const QDBusMessage reply = bus.call(hostQuery(), QDBus::Block, kLaunchQueryMs);
        m_statusNotifierHost =
            reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
            reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
    }
}

QDBusMessage DesktopTrayHost::hostQuery() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    return get;
}

void DesktopTrayHost::readStatusNotifierHost() {
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(hostQuery(), kQueryTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QDBusVariant> reply = *w;
        w->deleteLater();
        // No watcher, or one that cannot say: no host.
        const bool host = !reply.isError() && reply.value().variant().toBool();
        setParts(host, m_xembedTray);
    });
}

void DesktopTrayHost::pollXembed() {
    setParts(m_statusNotifierHost, m_options.xembedTray());
}

void DesktopTrayHost::setParts(bool statusNotifierHost, bool xembedTray) {
    const bool before = isAvailable();
    m_statusNotifierHost = statusNotifierHost;
    m_xembedTray = xembedTray;
    if (isAvailable() != before)
        emit availabilityChanged(isAvailable());
}
