#pragma once

#include "automation/AutomationRule.h"
#include "automation/AutomationRuleState.h"
#include "cleaning/CleanupScanner.h"
#include "platform/HomeLayout.h"
#include "shell/ScanJob.h"

#include <functional>
#include <memory>
#include <optional>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QTimeZone>

class AppState;
class Clock;
class PendrelTimelineStore;
class ToolRunner;
class UserDefaults;
class UserNotifier;
struct SystemSnapshot;

// The five maintenance rules at work while the app is open: their switches and last outcomes,
// the check that runs the due ones, and the runners that do each rule's job.
//
// State: one entry per rule of the table in `states`, loaded once from the user default
// "automation.ruleStates.v1" when the store is made and saved there after every change. A
// missing or unreadable stored value gives five rules switched off, and stays on disk as it is
// until the next save.
//
// Checks: every 300 seconds once start() has run, at launch, whenever a rule is switched on, and
// on request. A check walks the rules in table order and runs each one that is switched on,
// whose weekday has come (the storage alert instead needs the disk 90% full) and that has not
// run yet on this calendar day. Rules run one at a time; every run ends the same way: the rule's
// state records the moment, the day and the result text and is saved, the status line shows
// "<title>: <result>", a notification is posted and the timeline gets an entry.
//
// Runs never fail: every outcome, failures included, is one line of result text, flagged as a
// problem when the run did not do its whole job (a place the guard refused, files that would
// not move, a tool that failed); the flag travels with the text into the rule's state and the
// status line, so the screen never reads the words to choose a colour. A check or a run asked
// for while a rule runs is ignored; so is a check asked for while another check is
// still walking the rules (it would find the same rules due).
//
// Main thread only; the published fields change there. The cleaners' cleaning, measuring the
// Downloads folder, a fresh disk sample and the docker tool run off it.
class AutomationStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(AutomationRuleStates::Map states READ states NOTIFY statesChanged)
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(std::optional<QString> runningRuleID READ runningRuleID NOTIFY runningRuleIDChanged)
    Q_PROPERTY(std::optional<QString> statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(bool statusIsProblem READ statusIsProblem NOTIFY statusMessageChanged)
public:
    static constexpr int kCheckIntervalMs = 300 * 1000;

    // Everything the store reads, writes and runs; tests hand in sandboxed ones. An empty seam
    // is this user's own (see system()); `defaults` and the cleaning pair have none and must be
    // set.
    struct Deps {
        UserDefaults* defaults = nullptr;
        std::shared_ptr<const Clock> clock;
        // The zone of the day stamps and weekdays; none: the system's at each use.
        std::optional<QTimeZone> timeZone;
        HomeLayout layout;             // where Downloads is
        CleanupScanner::Deps cleaning; // measures and cleans the old downloads
        std::shared_ptr<UserNotifier> notifier;
        PendrelTimelineStore* timeline = nullptr; // where runs are recorded
        std::shared_ptr<ToolRunner> tools;        // runs docker
        // Where docker is looked for: these paths in order, then each folder of searchPath.
        QStringList dockerCandidates = defaultDockerCandidates();
        QStringList searchPath;
        int dockerTimeoutMs = 10 * 60 * 1000;
        // The disk figures when no vitals service has a sample; runs off the main thread.
        std::function<SystemSnapshot()> freshDiskSample;
        // The pause between two looks at a cleaner's scan.
        int pauseMs = 250;
        int checkIntervalMs = kCheckIntervalMs;

        // This user's: standard defaults, the wall clock, the home's Trash and folders, the
        // desktop's notifications, the shared timeline, PATH.
        static Deps system();
    };

    static QStringList defaultDockerCandidates();
    static QStringList dockerPruneArguments() { return {"system", "prune", "-f"}; }
    // Waits of the developer and screenshot runners for their cleaner's scan, in pauses.
    static constexpr int kDeveloperScanPauses = 60;
    static constexpr int kScreenshotScanPauses = 40;

    explicit AutomationStore(Deps deps, QObject* parent = nullptr);
    ~AutomationStore() override;
    // The process-wide store on the system environment, made on first use.
    static AutomationStore* shared();

    // Weak links to the app's services; a rule whose service is gone says so in its result.
    // The disk cleaner is linked for completeness; no rule uses it.
    void setDiskCleaner(DiskCleanupScanner* s);
    void setDevCleaner(DevCleanupScanner* s);
    void setScreenshotCleaner(ScreenshotCleanupScanner* s);
    void setAppState(AppState* s);
    DiskCleanupScanner* diskCleaner() const;
    DevCleanupScanner* devCleaner() const;
    ScreenshotCleanupScanner* screenshotCleaner() const;
    AppState* appState() const;

    const AutomationRuleStates::Map& states() const { return m_states; }
    // The rule's entry, or the default state (switched off, never run).
    AutomationRuleState state(const QString& ruleId) const;
    bool isRunning() const { return m_running; }
    std::optional<QString> runningRuleID() const { return m_runningRuleID; }
    std::optional<QString> statusMessage() const { return m_statusMessage; }
    // Whether the status line tells of a run that did not do its whole job; false for the
    // check's own lines and while there is no message.
    bool statusIsProblem() const { return m_statusIsProblem; }
    // True while a check walks the rules (it may be waiting for a run or the disk figures).
    bool isChecking() const { return m_pass.has_value(); }

    // Reads the stored states (see the class comment); save() writes them back.
    void load();
    void save();
    // The day stamp of a moment in the store's zone.
    QString dayKey(const QDateTime& moment) const;

    // Replaces any earlier schedule timer with a new repeating one; the first check comes one
    // interval later.
    void start();
    const QTimer* scheduleTimer() const { return m_timer.get(); }

    void requestNotificationPermission();
    void checkDueAtLaunch();
    // Starts a check and returns; checkFinished() follows when it has walked every rule.
    void checkDue();
    // Switches a rule on or off and saves; switching on starts a check. Ids outside the table
    // are ignored.
    void setEnabled(bool enabled, const QString& ruleId);
    // Runs the rule now whatever its switch, weekday or last run; runFinished() follows.
    void runNow(const AutomationRule& rule);

    // ---- The runners: each hands its one line of result to `done`, later, on the main thread.
    struct Outcome {
        QString text;
        // The run left part or all of its job undone: the guard refused a place, a file would
        // not move, the rule's cleaner was gone, or the tool failed. Finding nothing to do, or
        // no docker to run, is not a problem.
        bool problem = false;
    };
    using Done = std::function<void(const Outcome& result)>;
    void emptyOldDownloads(Done done);
    void cleanDeveloperCaches(Done done);
    void storageAlertMessage(Done done);
    void pruneDocker(Done done);
    void cleanOldScreenshots(Done done);
    // Whether the storage alert is due by the current disk figures.
    void storageAlertDue(std::function<void(bool due)> done);
    // The docker tool: the first candidate that is an executable file, else the first in the
    // search path's folders; none when neither has one.
    std::optional<QString> locateDocker() const;
    // The old downloads runner's one-off category over this Downloads folder.
    static CleanCategory downloadsCategory(const HomeLayout& layout);

signals:
    void statesChanged();
    void isRunningChanged(bool running);
    void runningRuleIDChanged();
    void statusMessageChanged();
    void checkFinished();
    void runFinished(const QString& ruleId);

private:
    struct Pass {
        int weekday = 0;
        QString today;
        int next = 0;
        bool ran = false;
    };

    void continuePass();
    void runInPass(const AutomationRule& rule);
    void run(const AutomationRule& rule, std::function<void()> then);
    void runRunner(AutomationRule::Kind kind, Done done);
    void recordResult(const AutomationRule& rule, const Outcome& result);
    void notify(const QString& title, const QString& result);
    void setState(const QString& ruleId, const AutomationRuleState& state);
    void setRunning(bool running);
    void setRunningRuleID(const std::optional<QString>& id);
    void setStatusMessage(const std::optional<QString>& message, bool problem = false);
    void diskFigures(std::function<void(const SystemSnapshot& disk)> done);
    // Looks at the scanner every pause until its scan is done or failed, at most `pauses`
    // times, then calls done (also when the scanner is gone).
    void waitForScan(QPointer<CleanupScanner> scanner, int pauses, std::function<void()> done);

    Deps m_deps;
    AutomationRuleStates::Map m_states;
    bool m_running = false;
    std::optional<QString> m_runningRuleID;
    std::optional<QString> m_statusMessage;
    bool m_statusIsProblem = false;
    std::optional<Pass> m_pass;
    std::unique_ptr<QTimer> m_timer;
    QPointer<DiskCleanupScanner> m_disk;
    QPointer<DevCleanupScanner> m_dev;
    QPointer<ScreenshotCleanupScanner> m_shots;
    QPointer<AppState> m_appState;
    // One thread for the blocking tool runs, so a slow docker never holds a thread of the
    // shared pool that the scans need. Last: a tool still running is waited for (its time limit
    // bounds the wait) before the rest goes, and its result goes nowhere.
    ScanJob m_toolRuns{1};
};
