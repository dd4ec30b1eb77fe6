#pragma once

#include <functional>
#include <QHash>

#include "platform/RunningApplications.h"
#include "vitals/AutopilotCandidate.h"
#include "vitals/ProcessInfo.h"

#include <memory>
#include <optional>
#include <QHash>
#include <QJsonArray>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class UserDefaults;
struct SystemSnapshot;

// Finds applications the user has open but is not using and that hold much memory, suggests
// quitting them, and quits one when asked (or, with autoQuit on, the biggest one by itself).
//
// Nothing runs in the background: the list moves only when the Performance screen hands in a
// snapshot through refreshCandidates(), when quit() runs, or when protect() runs. Main thread
// only; every published field changes there.
//
// Settings: "autopilot.enabled" and "autopilot.autoQuit" (Bools, false when missing or not a
// Bool) and "autopilot.protected" (an array of strings, stored sorted). Every assignment of
// enabled, autoQuit or protectedNames is stored, whoever makes it (the file is only rewritten
// when the value changes); a first start writes false under both Boolean keys at once. A value
// of the wrong type reads as the default and is left as it is until the user changes that
// setting; so is a stored protected list that is not an array of strings.
//
// A change the store could not save is not kept (unless the store is only keeping changes in
// memory for this run): the field goes back to the stored value, its change signal is emitted
// again so bound switches follow, and saveError holds the sentence to show.
//
// Matching applications to memory: an application's memory is that of the row of the snapshot's
// top-memory list that measures the application's own process (the row's pid is the
// application's pid). Names cannot do this on Linux: the rows carry the kernel's command name
// ("firefox-esr", at most 15 bytes) while applications are named after their window class
// ("Firefox-esr"), and two apps run by one interpreter share a command name ("python3"). An
// application with no row of its own is not among the biggest and is not suggested.
//
// Safety: only regular applications are ever asked to quit, only politely (they may ask about
// unsaved work or refuse), and never this process itself.
class PerformanceAutopilot : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool autoQuit READ autoQuit WRITE setAutoQuit NOTIFY autoQuitChanged)
    Q_PROPERTY(QList<AutopilotCandidate> candidates READ candidates NOTIFY candidatesChanged)
    Q_PROPERTY(QString lastAction READ lastAction NOTIFY lastActionChanged)
    Q_PROPERTY(QSet<QString> protectedNames READ protectedNames WRITE setProtectedNames NOTIFY
                   protectedNamesChanged)
    Q_PROPERTY(QSet<QString> alwaysProtect READ alwaysProtect CONSTANT)
    Q_PROPERTY(QString saveError READ saveError NOTIFY saveErrorChanged)

public:
    static constexpr int maxCandidates = 8;

    static QString enabledKey() { return QStringLiteral("autopilot.enabled"); }
    static QString autoQuitKey() { return QStringLiteral("autopilot.autoQuit"); }
    static QString protectedKey() { return QStringLiteral("autopilot.protected"); }

    // The standard user defaults and this desktop's running applications.
    explicit PerformanceAutopilot(QObject* parent = nullptr);
    PerformanceAutopilot(UserDefaults& defaults, std::shared_ptr<RunningApplications> applications,
                         QObject* parent = nullptr);

    // The process-wide instance, made on first use with the parameterless constructor.
    static PerformanceAutopilot* shared();

    bool enabled() const { return m_enabled; }
    bool autoQuit() const { return m_autoQuit; }
    // At most maxCandidates, largest memory first; equal memory keeps the running order.
    QList<AutopilotCandidate> candidates() const { return m_candidates; }
    // "Quit <name>" or "Autopilot quit <name>" after the last quit; empty before the first.
    QString lastAction() const { return m_lastAction; }
    QSet<QString> protectedNames() const { return m_protectedNames; }
    // Names never suggested, compared exactly with the application's name.
    QSet<QString> alwaysProtect() const { return m_alwaysProtect; }

    // Why the last change of a setting was not saved ("Could not save the setting: …"); empty
    // after a change that was saved.
    QString saveError() const { return m_saveError; }

    // Both store the value on every call, changed or not.
    void setEnabled(bool on);
    void setAutoQuit(bool on);
    // Replaces the user's protected names and stores them sorted; candidates are not touched.
    // Names that could not be stored are not taken.
    void setProtectedNames(const QSet<QString>& names);

    // Rebuilds candidates from the running applications and the snapshot's top-memory list.
    // While disabled it only empties the list. With autoQuit on it then quits the first
    // candidate, and only that one.
    void refreshCandidates(const SystemSnapshot& snapshot);

    enum class QuitResult {
        // The request reached the application, which may still ask about unsaved work or refuse.
        Asked,
        // The process is no longer a regular running application of that name (it ended, or its
        // pid now belongs to something else), or it is this process: nothing was asked.
        NotRunning,
        // The application still runs but the request could not be delivered at all (the
        // desktop went away): nothing was asked.
        NotDelivered,
    };

    // Politely asks the application whose windows belong to process `pid` to quit, once the
    // running-applications list confirms, at this moment, that `pid` is still a regular running
    // application named `name`; a name alone never picks the process, since two applications
    // may share one. When asked, sets lastAction ("Autopilot quit " when byItself, else "Quit ",
    // then the name) and drops that application's row, and only that one. When it no longer
    // runs, drops its stale row (the one of that pid and name) and asks nothing. Works whether
    // or not the autopilot is enabled.
    QuitResult quit(qint64 pid, const QString& name, bool byItself);

    // Adds the name to protectedNames (stored sorted) and drops its candidates at once. An empty
    // name is ignored; when the name could not be stored it is not protected and its rows stay.
    void protect(const QString& name);

    // An application that declined the autopilot's own request (to ask about unsaved work, say)
    // is not asked again by auto-quit for this long, so its prompts never stack up; it stays
    // listed, and the Quit button still asks at once.
    static constexpr qint64 autoQuitRetryMs = 120 * 1000;
    // Milliseconds of a monotonic clock; tests replace it.
    void setClock(std::function<qint64()> nowMs) { m_nowMs = std::move(nowMs); }

    // The reason line for a candidate holding `memoryBytes`.
    static QString reasonFor(quint64 memoryBytes);
    // The desktop's own programs, terminals, file managers, developer tools and Pendrel itself
    // (the list and why each is there are in the .cpp).
    static QSet<QString> alwaysProtectedNames();

signals:
    void enabledChanged(bool enabled);
    void autoQuitChanged(bool autoQuit);
    void candidatesChanged();
    void lastActionChanged(const QString& lastAction);
    void protectedNamesChanged();
    void saveErrorChanged(const QString& saveError);

private:
    static std::optional<quint64> memoryOf(const RunningApplication& app,
                                           const QList<ProcessMemoryInfo>& top);
    void setCandidates(const QList<AutopilotCandidate>& candidates);
    void removeCandidates(const QString& name);
    void removeCandidate(qint64 pid, const QString& name);
    [[nodiscard]] bool save(const QString& key, const QJsonValue& value);
    static QJsonArray sortedNames(const QSet<QString>& names);

    UserDefaults& m_defaults;
    std::shared_ptr<RunningApplications> m_applications;
    bool m_enabled = false;
    bool m_autoQuit = false;
    QList<AutopilotCandidate> m_candidates;
    QString m_lastAction;
    QSet<QString> m_protectedNames;
    const QSet<QString> m_alwaysProtect;
    std::function<qint64()> m_nowMs;
    QHash<qint64, qint64> m_autoAskedAt; // pid -> when auto-quit last asked it
    QString m_saveError;
};
