#include "vitals/KeepAwakeManager.h"

#include "platform/LinuxPowerInhibitor.h"
#include "vitals/SysfsPowerSource.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

const QString statusOff = QStringLiteral("Off — your Mac can sleep normally.");
const QString statusOn = QStringLiteral("On — preventing idle sleep");
const QString partDisplayAwake = QStringLiteral("display stays awake");
const QString partDisplayMaySleep = QStringLiteral("display may sleep");
const QString partPowerOnly = QStringLiteral("power only");
const QString partUntilOff = QStringLiteral("until you turn it off");
const QString partSeparator = QStringLiteral(" · ");

const QString noteNeedsPower =
    QStringLiteral("Plug in power first — Keep Awake is set to work only while charging.");
const QString noteRefused = QStringLiteral("The system refused the stay-awake request. Try again, "
                                           "or use systemd-inhibit in a terminal as a fallback.");
const QString noteTimerFinished = QStringLiteral("Timer finished — your Mac can sleep again.");
const QString noteTickOnBattery = QStringLiteral(
    "Stopped — switched to battery. Plug in and turn Keep Awake on again if you need it.");
const QString noteReassertOnBattery = QStringLiteral("Stopped — Mac is on battery.");
const QString noteSettingsOnBattery =
    QStringLiteral("Paused — Mac is on battery. Plug in to resume, or turn off “Only while on "
                   "power”.");
const QString noteWoke = QStringLiteral("Mac woke");
const QString noteQuit = QStringLiteral("Pendrel quit");

} // namespace

QList<KeepAwakeManager::Duration> KeepAwakeManager::allDurations() {
    return {Duration::UntilQuit, Duration::OneHour, Duration::TwoHours, Duration::FourHours};
}

QString KeepAwakeManager::rawValue(Duration duration) {
    switch (duration) {
    case Duration::UntilQuit:
        return QStringLiteral("untilQuit");
    case Duration::OneHour:
        return QStringLiteral("oneHour");
    case Duration::TwoHours:
        return QStringLiteral("twoHours");
    case Duration::FourHours:
        return QStringLiteral("fourHours");
    }
    return {};
}

std::optional<qint64> KeepAwakeManager::seconds(Duration duration) {
    switch (duration) {
    case Duration::UntilQuit:
        return std::nullopt;
    case Duration::OneHour:
        return 3600;
    case Duration::TwoHours:
        return 7200;
    case Duration::FourHours:
        return 14400;
    }
    return std::nullopt;
}

KeepAwakeManager::KeepAwakeManager(QObject* parent) : KeepAwakeManager(Deps{}, parent) {}

KeepAwakeManager::KeepAwakeManager(Deps backends, QObject* parent)
    : QObject(parent), m_inhibitor(std::move(backends.inhibitor)),
      m_powerSource(std::move(backends.powerSource)), m_clock(std::move(backends.clock)),
      m_statusLine(statusOff) {
    if (!m_inhibitor)
        m_inhibitor = std::make_unique<LinuxPowerInhibitor>();
    if (!m_powerSource)
        m_powerSource = std::make_unique<SysfsPowerSource>();
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTimeUtc(); };

    m_tick.setInterval(backends.tickIntervalMs > 0 ? backends.tickIntervalMs : 15000);
    m_tick.setTimerType(Qt::CoarseTimer);
    connect(&m_tick, &QTimer::timeout, this, &KeepAwakeManager::onTick);

    // Queued, so a wake never re-enters whatever the main thread is doing when it arrives.
    connect(
        m_inhibitor.get(), &PowerInhibitor::systemWoke, this, [this] { reassert(noteWoke); },
        Qt::QueuedConnection);
    // Direct: a queued call would never run once the event loop has ended, and the assertion
    // must be let go before the process goes.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { stop(noteQuit); });
}

KeepAwakeManager::~KeepAwakeManager() {
    m_tick.stop();
    releaseAssertion();
}

KeepAwakeManager* KeepAwakeManager::shared() {
    static KeepAwakeManager* const instance = new KeepAwakeManager;
    return instance;
}

void KeepAwakeManager::setKeepDisplayAwake(bool on) {
    if (on == m_keepDisplayAwake)
        return;
    m_keepDisplayAwake = on;
    emit keepDisplayAwakeChanged(on);
}

void KeepAwakeManager::setOnlyOnPower(bool on) {
    if (on == m_onlyOnPower)
        return;
    m_onlyOnPower = on;
    emit onlyOnPowerChanged(on);
}

void KeepAwakeManager::setDuration(Duration duration) {
    if (duration == m_duration)
        return;
    m_duration = duration;
    emit durationChanged(duration);
}

void KeepAwakeManager::start() {
    setLastNote(QString());
    if (m_onlyOnPower && !checkPowerSource()) {
        setLastNote(noteNeedsPower);
        statusText();
        return;
    }
    m_endDate = periodEnd();
    if (createAssertion()) {
        setActive(true);
        startTicking();
    } else {
        // A refused start leaves nothing behind, even when an earlier period was running.
        releaseAssertion();
        m_tick.stop();
        m_endDate.reset();
        setLastNote(noteRefused);
        setActive(false);
    }
    statusText();
}

void KeepAwakeManager::stop(const QString& note) {
    releaseAssertion();
    m_tick.stop();
    m_endDate.reset();
    setActive(false);
    if (!note.isNull())
        setLastNote(note);
    statusText();
}

void KeepAwakeManager::applySettings() {
    if (!m_active) {
        statusText();
        return;
    }
    if (m_onlyOnPower && !checkPowerSource()) {
        stop(noteSettingsOnBattery);
        return;
    }
    m_endDate = periodEnd();
    createAssertion(); // a refusal keeps the assertion held; the next tick tries again
    statusText();
}

bool KeepAwakeManager::createAssertion() {
    const auto kind =
        m_keepDisplayAwake ? PowerInhibitor::Kind::DisplaySleep : PowerInhibitor::Kind::IdleSleep;
    const PowerAssertion fresh = m_inhibitor->acquire(kind, assertionName());
    if (!fresh.isValid())
        return false;
    // The new assertion is in place before the old one goes, so there is no unprotected gap.
    const quint32 old = m_assertion.id;
    m_assertion = fresh;
    m_assertionAskedDisplay = kind == PowerInhibitor::Kind::DisplaySleep;
    if (old != 0 && old != fresh.id)
        m_inhibitor->release(old);
    return true;
}

void KeepAwakeManager::releaseAssertion() {
    if (!m_assertion.isValid())
        return;
    const quint32 id = m_assertion.id;
    m_assertion = {};
    m_assertionAskedDisplay = false;
    m_inhibitor->release(id);
}

void KeepAwakeManager::startTicking() {
    m_tick.start();
}

void KeepAwakeManager::onTick() {
    if (!m_active)
        return;
    if (m_onlyOnPower && !checkPowerSource()) {
        stop(noteTickOnBattery);
        return;
    }
    if (m_endDate && now() >= *m_endDate) {
        stop(noteTimerFinished);
        return;
    }
    reassert();
    statusText();
}

void KeepAwakeManager::reassert(const QString& note) {
    if (!m_active)
        return;
    if (m_onlyOnPower && !checkPowerSource()) {
        stop(noteReassertOnBattery);
        return;
    }
    createAssertion(); // a refusal keeps the assertion held; the next tick tries again
    if (!note.isNull())
        setLastNote(note);
    statusText();
}

void KeepAwakeManager::statusText() {
    const bool refused = m_active && m_assertionAskedDisplay && !m_assertion.keepsDisplayAwake;
    if (refused != m_displayRefused) {
        m_displayRefused = refused;
        emit displayRefusedChanged(refused);
    }
    QString line;
    if (!m_active) {
        line = statusOff;
    } else {
        QStringList parts{statusOn};
        // The display part tells what the held assertion does, which after a refused
        // replacement may differ from the setting.
        parts << (m_assertion.keepsDisplayAwake ? partDisplayAwake : partDisplayMaySleep);
        if (m_onlyOnPower)
            parts << partPowerOnly;
        if (!m_endDate) {
            parts << partUntilOff;
        } else {
            // Whole minutes that are fully left: a one-hour period reads 59 from its very first
            // millisecond, as a countdown does, and the last minute still reads 1.
            qint64 minutes = (now().msecsTo(*m_endDate) - 1) / 60000;
            if (minutes < 1)
                minutes = 1;
            parts << QStringLiteral("about %1 min left").arg(minutes);
        }
        line = parts.join(partSeparator);
    }
    if (line == m_statusLine)
        return;
    m_statusLine = line;
    emit statusLineChanged(line);
}

bool KeepAwakeManager::checkPowerSource() const {
    return m_powerSource->isOnExternalPower();
}

QDateTime KeepAwakeManager::now() const {
    return m_clock();
}

std::optional<QDateTime> KeepAwakeManager::periodEnd() const {
    const std::optional<qint64> secs = seconds(m_duration);
    if (!secs)
        return std::nullopt;
    return now().addSecs(*secs);
}

void KeepAwakeManager::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    emit isActiveChanged(active);
}

void KeepAwakeManager::setLastNote(const QString& note) {
    if (note == m_lastNote)
        return;
    m_lastNote = note;
    emit lastNoteChanged(note);
}
