#include "platform/LinuxPowerInhibitor.h"

#include "platform/LogindManagerProxy.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcInhibit, "pendrel.power")

const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString screenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");
const QString who = QStringLiteral("Pendrel");

} // namespace

LinuxPowerInhibitor::LinuxPowerInhibitor(QObject* parent)
    : LinuxPowerInhibitor([] { return QDBusConnection::systemBus(); },
                          [] { return QDBusConnection::sessionBus(); }, parent) {}

LinuxPowerInhibitor::LinuxPowerInhibitor(BusFactory logindBus, BusFactory screenSaverBus,
                                         QObject* parent)
    : PowerInhibitor(parent), m_logindFactory(std::move(logindBus)),
      m_screenSaverFactory(std::move(screenSaverBus)) {}

LinuxPowerInhibitor::~LinuxPowerInhibitor() {
    const QList<quint32> ids = m_held.keys();
    for (quint32 id : ids)
        release(id);
}

void LinuxPowerInhibitor::connectBuses() {
    if (m_logindBus)
        return;
    m_logindBus = m_logindFactory();
    m_screenSaverBus = m_screenSaverFactory();
    if (!m_logindBus->isConnected()) {
        qCInfo(lcInhibit) << "no bus for logind:" << m_logindBus->lastError().message();
        return;
    }
    m_logind = std::make_unique<LogindManagerProxy>(*m_logindBus);
    m_logind->setTimeout(m_timeoutMs);
    connect(m_logind.get(), &LogindManagerProxy::PrepareForSleep, this,
            &LinuxPowerInhibitor::onPrepareForSleep);
}

PowerAssertion LinuxPowerInhibitor::acquire(Kind kind, const QString& name) {
    connectBuses();
    if (!m_logind)
        return {};
    if (!(m_logindBus->connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing)) {
        qCInfo(lcInhibit) << "the logind bus cannot pass file descriptors";
        return {};
    }
    m_logind->setTimeout(m_timeoutMs);
    const QDBusMessage reply = m_logind->callWithArgumentList(
        QDBus::Block, QStringLiteral("Inhibit"),
        {QStringLiteral("sleep:idle"), who, name, QStringLiteral("block")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCInfo(lcInhibit) << "logind refused the inhibitor:" << reply.errorName()
                          << reply.errorMessage();
        return {};
    }
    const auto fd = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    if (!fd.isValid()) {
        qCInfo(lcInhibit) << "logind answered without a file descriptor";
        return {};
    }

    Held held{fd, std::nullopt};
    if (kind == Kind::DisplaySleep)
        held.screenSaverCookie = inhibitScreenSaver(name);

    do {
        ++m_lastId;
    } while (m_lastId == 0 || m_held.contains(m_lastId));
    const bool display = held.screenSaverCookie.has_value();
    m_held.insert(m_lastId, std::move(held));
    return {m_lastId, display};
}

void LinuxPowerInhibitor::release(quint32 id) {
    const auto it = m_held.find(id);
    if (it == m_held.end())
        return;
    const std::optional<quint32> cookie = it->screenSaverCookie;
    // Dropping the last copy of the descriptor closes it, which ends the logind inhibitor.
    m_held.erase(it);
    if (cookie)
        uninhibitScreenSaver(*cookie);
}

std::optional<quint32> LinuxPowerInhibitor::inhibitScreenSaver(const QString& name) {
    if (!m_screenSaverBus || !m_screenSaverBus->isConnected())
        return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(
        screenSaverService, screenSaverPath, screenSaverInterface, QStringLiteral("Inhibit"));
    call << who << name;
    const QDBusReply<quint32> reply = m_screenSaverBus->call(call, QDBus::Block, m_timeoutMs);
    if (!reply.isValid()) {
        qCInfo(lcInhibit) << "the screensaver refused to stay off:" << reply.error().message();
        return std::nullopt;
    }
    return reply.value();
}

void LinuxPowerInhibitor::uninhibitScreenSaver(quint32 cookie) {
    if (!m_screenSaverBus || !m_screenSaverBus->isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        screenSaverService, screenSaverPath, screenSaverInterface, QStringLiteral("UnInhibit"));
    call << cookie;
    const QDBusMessage reply = m_screenSaverBus->call(call, QDBus::Block, m_timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        qCInfo(lcInhibit) << "screensaver UnInhibit failed:" << reply.errorMessage();
}

void LinuxPowerInhibitor::onPrepareForSleep(bool start) {
    if (!start)
        emit systemWoke();
}
