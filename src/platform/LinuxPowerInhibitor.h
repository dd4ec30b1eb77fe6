#pragma once

#include "platform/PowerInhibitor.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QHash>

class LogindManagerProxy;

// Keep-awake on a Linux desktop:
// - the machine: a logind "sleep:idle" inhibitor in "block" mode (who "Pendrel", why the
//   assertion's name), held as the file descriptor logind hands back; releasing closes it;
// - the display (DisplaySleep only): org.freedesktop.ScreenSaver.Inhibit on the session bus,
//   released with UnInhibit and its cookie. When that part is refused or the service is absent
//   the machine is still kept awake and the assertion says keepsDisplayAwake false.
// Wake-ups come from logind's PrepareForSleep(false), watched from the first acquire on.
// Nothing touches a bus before the first acquire. Without a bus, or when logind does not
// answer within the call timeout, acquire refuses. Everything held is released on destruction.
class LinuxPowerInhibitor : public PowerInhibitor {
    Q_OBJECT
public:
    using BusFactory = std::function<QDBusConnection()>;

    // logind on the system bus, the screensaver on the session bus.
    explicit LinuxPowerInhibitor(QObject* parent = nullptr);
    // Each factory is called once, at the first acquire (tests point both at a private bus).
    LinuxPowerInhibitor(BusFactory logindBus, BusFactory screenSaverBus, QObject* parent = nullptr);
    ~LinuxPowerInhibitor() override;

    static constexpr int defaultCallTimeoutMs = 2000;
    void setCallTimeout(int ms) { m_timeoutMs = ms; }

    PowerAssertion acquire(Kind kind, const QString& name) override;
    void release(quint32 id) override;

    // How many assertions are held right now.
    int heldCount() const { return int(m_held.size()); }

private:
    struct Held {
        QDBusUnixFileDescriptor inhibitor; // closing the last copy ends the logind inhibitor
        std::optional<quint32> screenSaverCookie;
    };

    void connectBuses();
    std::optional<quint32> inhibitScreenSaver(const QString& name);
    void uninhibitScreenSaver(quint32 cookie);
    void onPrepareForSleep(bool start);

    BusFactory m_logindFactory;
    BusFactory m_screenSaverFactory;
    std::optional<QDBusConnection> m_logindBus;
    std::optional<QDBusConnection> m_screenSaverBus;
    std::unique_ptr<LogindManagerProxy> m_logind;
    QHash<quint32, Held> m_held;
    quint32 m_lastId = 0;
    int m_timeoutMs = defaultCallTimeoutMs;
};
