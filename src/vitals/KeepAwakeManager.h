#pragma once

#include "platform/PowerInhibitor.h"
#include "vitals/PowerSource.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// Keeps the machine (and optionally the display) awake for a chosen period or until turned off.
// One process-wide instance (shared()); the menu-bar panel and the Developer Centre switch it
// and edit its settings, which are not stored: every run starts from the defaults.
//
// While on it holds exactly one power assertion named "Pendrel Keep Awake" and ticks every 15
// seconds; each tick (and each wake from sleep) checks the power rule and the end of the period
// and replaces the assertion with a fresh one. A replacement is taken before the old assertion
// is let go, and a refused replacement keeps the old one, so while isActive is true an
// assertion is always held. statusLine describes the assertion actually held (a display part
// the system refused reads "display may sleep").
//
// Main thread only. The power rule ("only while on power") is tested at start, on every tick,
// on wake and when settings are applied; a power source that cannot tell counts as external
// power. Stopping always releases the assertion; so does destroying the manager and the
// application's about-to-quit signal (note "Pendrel quit").
class KeepAwakeManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)
    Q_PROPERTY(bool keepDisplayAwake READ keepDisplayAwake WRITE setKeepDisplayAwake NOTIFY
                   keepDisplayAwakeChanged)
    Q_PROPERTY(bool onlyOnPower READ onlyOnPower WRITE setOnlyOnPower NOTIFY onlyOnPowerChanged)
    Q_PROPERTY(Duration duration READ duration WRITE setDuration NOTIFY durationChanged)
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY statusLineChanged)
    Q_PROPERTY(QString lastNote READ lastNote NOTIFY lastNoteChanged)
    Q_PROPERTY(bool displayRefused READ displayRefused NOTIFY displayRefusedChanged)

public:
    // The length of a stay-awake period. Raw values are the enumerators' names.
    enum class Duration { UntilQuit, OneHour, TwoHours, FourHours };
    Q_ENUM(Duration)

    // In the order the screens list them.
    static QList<Duration> allDurations();
    static QString rawValue(Duration duration);
    // The period in seconds; empty for untilQuit.
    static std::optional<qint64> seconds(Duration duration);

    // The assertion's name as the system shows it.
    static QString assertionName() { return QStringLiteral("Pendrel Keep Awake"); }
    // The note the screens pass to stop() when the user switches keep-awake off.
    static QString turnedOffNote() { return QStringLiteral("Turned off"); }

    // What the manager talks to; every part may be left empty for the Linux default
    // (logind/screensaver, /sys/class/power_supply, the wall clock, 15 seconds).
    struct Deps {
        std::unique_ptr<PowerInhibitor> inhibitor;
        std::unique_ptr<PowerSource> powerSource;
        std::function<QDateTime()> clock;
        int tickIntervalMs = 15000;
    };

    explicit KeepAwakeManager(QObject* parent = nullptr);
    explicit KeepAwakeManager(Deps backends, QObject* parent = nullptr);
    ~KeepAwakeManager() override;

    // The process-wide instance with the Linux backends, made on first use.
    static KeepAwakeManager* shared();

    bool isActive() const { return m_active; }
    bool keepDisplayAwake() const { return m_keepDisplayAwake; }
    bool onlyOnPower() const { return m_onlyOnPower; }
    Duration duration() const { return m_duration; }
    QString statusLine() const { return m_statusLine; }
    // Why keep-awake last stopped or failed to start; empty when there is no note.
    QString lastNote() const { return m_lastNote; }
    // When the current period ends; empty while off and for untilQuit.
    std::optional<QDateTime> endDate() const { return m_endDate; }
    // Whether the assertion held right now keeps the display awake.
    bool heldAssertionKeepsDisplayAwake() const { return m_assertion.keepsDisplayAwake; }
    // While on: the assertion held was asked to keep the display awake too and the system kept
    // only the machine awake (on a desktop without a screensaver service, say). False while
    // off, and while the held assertion was asked for the machine alone.
    bool displayRefused() const { return m_displayRefused; }
    bool isTicking() const { return m_tick.isActive(); }
    int tickIntervalMs() const { return m_tick.interval(); }

    // Settings, set directly by the screens; setting one has no effect on a running keep-awake
    // until applySettings(), the next tick or a wake.
    void setKeepDisplayAwake(bool on);
    void setOnlyOnPower(bool on);
    void setDuration(Duration duration);

    // Tries to switch on for the current duration. On battery with onlyOnPower set it does not
    // switch on and says so in lastNote; a refused assertion leaves keep-awake off with the
    // refusal note.
    void start();
    // Switches off and releases the assertion. A non-null note becomes lastNote; a null one
    // leaves lastNote as it was.
    void stop(const QString& note = QString());
    // Re-applies duration (the period restarts from now), keepDisplayAwake and onlyOnPower to a
    // running keep-awake; while off it only refreshes statusLine.
    void applySettings();

signals:
    void isActiveChanged(bool active);
    void keepDisplayAwakeChanged(bool on);
    void onlyOnPowerChanged(bool on);
    void durationChanged(KeepAwakeManager::Duration duration);
    void statusLineChanged(const QString& line);
    void lastNoteChanged(const QString& note);
    void displayRefusedChanged(bool refused);

private:
    bool createAssertion();
    void releaseAssertion();
    void startTicking();
    void onTick();
    void reassert(const QString& note = QString());
    void statusText();
    bool checkPowerSource() const;
    QDateTime now() const;
    std::optional<QDateTime> periodEnd() const;

    void setActive(bool active);
    void setLastNote(const QString& note);

    std::unique_ptr<PowerInhibitor> m_inhibitor;
    std::unique_ptr<PowerSource> m_powerSource;
    std::function<QDateTime()> m_clock;
    QTimer m_tick;

    bool m_active = false;
    bool m_keepDisplayAwake = false;
    bool m_onlyOnPower = true;
    Duration m_duration = Duration::UntilQuit;
    QString m_statusLine;
    QString m_lastNote;
    PowerAssertion m_assertion;
    // Whether m_assertion was asked to keep the display awake.
    bool m_assertionAskedDisplay = false;
    bool m_displayRefused = false;
    std::optional<QDateTime> m_endDate;
};
