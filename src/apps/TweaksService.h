#pragma once

#include "apps/Tweak.h"

#include <memory>
#include <optional>
#include <QHash>
#include <QObject>
#include <QStringList>

class ToolRunner;

// The hidden settings of the tweaks table: reads which are on through the defaults tool, and
// switches one by writing or deleting its key with that tool. Nothing else is touched: the
// programs the rows were written for do not run here, so no process is ever restarted or
// signalled, whatever its name.
//
// One instance for the whole run. Published fields change on the main thread only. Reading
// runs in the background, one defaults process per row spread over the thread pool; switching
// is synchronous on the caller's (main) thread and returns when the tools have ended.
class TweaksService : public QObject {
    Q_OBJECT
    Q_PROPERTY(QHash<QString, bool> states READ states NOTIFY statesChanged)
    Q_PROPERTY(
        std::optional<QString> lastError READ lastError WRITE setLastError NOTIFY lastErrorChanged)
    Q_PROPERTY(bool isLoaded READ isLoaded NOTIFY isLoadedChanged)
public:
    // A defaults read must not keep the screen waiting for long; writes get the same bound.
    static constexpr int ToolTimeoutMs = 10'000;

    // defaultsProgram: the path of the defaults tool (pendrel-defaults beside the app).
    TweaksService(std::shared_ptr<ToolRunner> runner, QString defaultsProgram,
                  QObject* parent = nullptr);

    const QList<Tweak>& tweaks() const { return TweakTable::all(); }
    // The distinct groups, in the order of their first row.
    QStringList groups() const;

    // Tweak id → on. A tweak without an entry counts as off.
    QHash<QString, bool> states() const { return m_states; }
    bool isOn(const QString& id) const { return m_states.value(id, false); }
    // The last failure to switch, in a sentence; a later success does not clear it, only
    // setLastError(std::nullopt) (the screen, when its alert is dismissed).
    std::optional<QString> lastError() const { return m_lastError; }
    void setLastError(std::optional<QString> error);
    // False until the first reading has been published; never false again.
    bool isLoaded() const { return m_loaded; }

    // Starts reading every tweak's state in the background and returns at once. A tweak is on
    // exactly when the tool prints its onReadValue (white space around it ignored); a key that
    // is not set, or a tool that fails, reads as off. Each call reads afresh; the reading that
    // ends last is the one that stays.
    void load();
    // Switches one tweak: writes onValue (on), writes offValue or deletes the key (off). The
    // state follows the request, whatever the write gave. A tool that cannot be started (said as
    // an incomplete installation, naming the tool), or a write the tool refuses, is reported
    // through lastError (a delete of a key that is already gone is not a failure).
    void apply(const Tweak& tweak, bool on);
    // Switches off every tweak that is on, in table order, then reads every state afresh in
    // the background (isLoaded stays true meanwhile).
    void restoreAll();

signals:
    void statesChanged();
    void lastErrorChanged();
    void isLoadedChanged();

private:
    void startReading();
    void publishReading(const QHash<QString, bool>& results);
    void runSwitch(const QStringList& arguments, bool isDelete);

    std::shared_ptr<ToolRunner> m_runner;
    QString m_defaults;
    QHash<QString, bool> m_states;
    std::optional<QString> m_lastError;
    bool m_loaded = false;
};
