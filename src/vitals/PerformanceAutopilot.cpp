#include "vitals/PerformanceAutopilot.h"

#include <chrono>

#include "platform/ByteFormat.h"
#include "platform/UserDefaults.h"
#include "vitals/SystemSnapshot.h"

#include <algorithm>
#include <QCoreApplication>
#include <QJsonArray>

QSet<QString> PerformanceAutopilot::alwaysProtectedNames() {
    // Quitting any of these would pull the rug from under the user: the desktop itself, the file
    // manager and terminals they work from, their development tools, and this program.
    QSet<QString> names = {
        // The names these programs have on a Mac.
        QStringLiteral("Finder"),         QStringLiteral("Dock"),
        QStringLiteral("SystemUIServer"), QStringLiteral("WindowServer"),
        QStringLiteral("loginwindow"),    QStringLiteral("Pendrel"),
        QStringLiteral("Terminal"),       QStringLiteral("iTerm2"),
        QStringLiteral("Warp"),           QStringLiteral("Cursor"),
        QStringLiteral("Xcode"),
    };
    // Their counterparts on Linux desktops, spelt as the class part of WM_CLASS, which is the
    // name the running-applications list gives them.
    names.unite({
        // Desktop shells and panels (GNOME, KDE Plasma, Xfce).
        QStringLiteral("Gnome-shell"),
        QStringLiteral("plasmashell"),
        QStringLiteral("Xfce4-panel"),
        // File managers of those desktops; GTK 3 and GTK 4 builds of Files spell the class
        // differently.
        QStringLiteral("org.gnome.Nautilus"),
        QStringLiteral("Org.gnome.Nautilus"),
        QStringLiteral("dolphin"),
        QStringLiteral("Thunar"),
        // The desktops' own terminals and the common stand-alone ones.
        QStringLiteral("Gnome-terminal"),
        QStringLiteral("konsole"),
        QStringLiteral("Xfce4-terminal"),
        QStringLiteral("XTerm"),
        QStringLiteral("Tilix"),
        QStringLiteral("Alacritty"),
        QStringLiteral("kitty"),
    });
    return names;
}

PerformanceAutopilot::PerformanceAutopilot(QObject* parent)
    : PerformanceAutopilot(UserDefaults::standard(), RunningApplications::system(), parent) {}

PerformanceAutopilot::PerformanceAutopilot(UserDefaults& defaults,
                                           std::shared_ptr<RunningApplications> applications,
                                           QObject* parent)
    : QObject(parent), m_defaults(defaults), m_applications(std::move(applications)),
      m_alwaysProtect(alwaysProtectedNames()), m_nowMs([] {
          return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
      }) {
    // A value of the wrong type reads as false and stays as it is; only a missing key is
    // written (false, on the first start). A stored Bool is not written again.
    m_enabled = m_defaults.boolValue(enabledKey()).value_or(false);
    if (!m_defaults.contains(enabledKey()))
        m_defaults.setValue(enabledKey(), false);
    m_autoQuit = m_defaults.boolValue(autoQuitKey()).value_or(false);
    if (!m_defaults.contains(autoQuitKey()))
        m_defaults.setValue(autoQuitKey(), false);
    // Anything but an array of strings is left in place untouched, and nothing is protected.
    // A list that is not yet sorted and free of repeats is stored so.
    if (const std::optional<QStringList> stored = m_defaults.stringListValue(protectedKey())) {
        m_protectedNames = QSet<QString>(stored->cbegin(), stored->cend());
        m_defaults.setValue(protectedKey(), sortedNames(m_protectedNames));
    }
}

PerformanceAutopilot* PerformanceAutopilot::shared() {
    static PerformanceAutopilot* instance = new PerformanceAutopilot;
    return instance;
}

bool PerformanceAutopilot::save(const QString& key, const QJsonValue& value) {
    QString message;
    const bool saved = m_defaults.setValue(key, value, &message);
    if (message != m_saveError) {
        m_saveError = message;
        emit saveErrorChanged(message);
    }
    return saved;
}

QJsonArray PerformanceAutopilot::sortedNames(const QSet<QString>& names) {
    QStringList sorted(names.cbegin(), names.cend());
    // Plain code-unit order, the same on every machine and locale.
    std::sort(sorted.begin(), sorted.end());
    return QJsonArray::fromStringList(sorted);
}

void PerformanceAutopilot::setEnabled(bool on) {
    if (!save(enabledKey(), on)) {
        // Announce what is stored, so a switch that flipped itself flips back.
        m_enabled = m_defaults.boolValue(enabledKey()).value_or(false);
        emit enabledChanged(m_enabled);
        return;
    }
    if (m_enabled == on)
        return;
    m_enabled = on;
    emit enabledChanged(on);
}

void PerformanceAutopilot::setAutoQuit(bool on) {
    if (!save(autoQuitKey(), on)) {
        m_autoQuit = m_defaults.boolValue(autoQuitKey()).value_or(false);
        emit autoQuitChanged(m_autoQuit);
        return;
    }
    if (m_autoQuit == on)
        return;
    m_autoQuit = on;
    emit autoQuitChanged(on);
}

void PerformanceAutopilot::setProtectedNames(const QSet<QString>& names) {
    const QSet<QString> before = m_protectedNames;
    const QJsonArray wanted = sortedNames(names);
    // The store keeps a change it could not save only while it is not saving at all; otherwise
    // the names stay as stored.
    if (save(protectedKey(), wanted) || m_defaults.value(protectedKey()) == QJsonValue(wanted))
        m_protectedNames = names;
    if (m_protectedNames != before)
        emit protectedNamesChanged();
}

QString PerformanceAutopilot::reasonFor(quint64 memoryBytes) {
    if (memoryBytes > 0)
        return QStringLiteral("Not frontmost · using ") + formatBytesClamped(memoryBytes);
    return QStringLiteral("Not frontmost · still running in the background");
}

std::optional<quint64> PerformanceAutopilot::memoryOf(const RunningApplication& app,
                                                      const QList<ProcessMemoryInfo>& top) {
    if (app.pid <= 0)
        return std::nullopt;
    for (const ProcessMemoryInfo& row : top) {
        if (row.pid == app.pid)
            return row.memoryBytes;
    }
    return std::nullopt;
}

void PerformanceAutopilot::refreshCandidates(const SystemSnapshot& snapshot) {
    if (!m_enabled) {
        setCandidates({});
        return;
    }
    const QList<RunningApplication> running = m_applications->applications();
    const QString frontmost = m_applications->frontmostApplicationName();
    const qint64 ownPid = QCoreApplication::applicationPid();

    QList<AutopilotCandidate> found;
    for (const RunningApplication& app : running) {
        if (!app.regular || app.terminated || app.pid == ownPid)
            continue;
        const QString& name = app.localizedName;
        if (name.isEmpty() || (!frontmost.isEmpty() && frontmost == name) ||
            m_alwaysProtect.contains(name) || m_protectedNames.contains(name) || app.active)
            continue;
        const std::optional<quint64> memory = memoryOf(app, snapshot.topProcesses);
        if (!memory)
            continue;
        found.append({name, name, app.pid, *memory, reasonFor(*memory)});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const AutopilotCandidate& a, const AutopilotCandidate& b) {
                         return a.memoryBytes > b.memoryBytes;
                     });
    if (found.size() > maxCandidates)
        found.resize(maxCandidates);
    setCandidates(found);

    if (m_autoQuit && !m_candidates.isEmpty()) {
        const AutopilotCandidate first = m_candidates.constFirst();
        const qint64 now = m_nowMs();
        const auto asked = m_autoAskedAt.constFind(first.pid);
        if (asked != m_autoAskedAt.cend() && now - asked.value() < autoQuitRetryMs)
            return;
        m_autoAskedAt.insert(first.pid, now);
        quit(first.pid, first.name, true);
    }
}

PerformanceAutopilot::QuitResult PerformanceAutopilot::quit(qint64 pid, const QString& name,
                                                            bool byItself) {
    const qint64 ownPid = QCoreApplication::applicationPid();
    if (pid <= 0 || pid == ownPid || name.isEmpty())
        return QuitResult::NotRunning;
    // The list is read afresh: the row may be seconds old, and the pid may have ended or been
    // handed to another program since.
    const QList<RunningApplication> running = m_applications->applications();
    const auto target = std::find_if(running.cbegin(), running.cend(), [&](const auto& app) {
        return app.pid == pid && app.regular && !app.terminated && app.localizedName == name;
    });
    if (target == running.cend()) {
        removeCandidate(pid, name);
        return QuitResult::NotRunning;
    }
    if (!m_applications->requestQuit(*target)) {
        // Not even delivered: reporting "Quit …" would claim something that did not happen.
        qWarning("Pendrel: could not ask %s to quit", qPrintable(name));
        return QuitResult::NotDelivered;
    }
    const QString action =
        (byItself ? QStringLiteral("Autopilot quit ") : QStringLiteral("Quit ")) + name;
    if (action != m_lastAction) {
        m_lastAction = action;
        emit lastActionChanged(action);
    }
    removeCandidate(pid, name);
    return QuitResult::Asked;
}

void PerformanceAutopilot::protect(const QString& name) {
    if (name.isEmpty())
        return;
    QSet<QString> names = m_protectedNames;
    names.insert(name);
    setProtectedNames(names);
    if (m_protectedNames.contains(name))
        removeCandidates(name);
}

void PerformanceAutopilot::setCandidates(const QList<AutopilotCandidate>& candidates) {
    if (candidates == m_candidates)
        return;
    m_candidates = candidates;
    emit candidatesChanged();
}

void PerformanceAutopilot::removeCandidates(const QString& name) {
    QList<AutopilotCandidate> kept = m_candidates;
    kept.removeIf([&](const AutopilotCandidate& c) { return c.name == name; });
    setCandidates(kept);
}

void PerformanceAutopilot::removeCandidate(qint64 pid, const QString& name) {
    QList<AutopilotCandidate> kept = m_candidates;
    kept.removeIf([&](const AutopilotCandidate& c) { return c.pid == pid && c.name == name; });
    setCandidates(kept);
}
