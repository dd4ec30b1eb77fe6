#pragma once

#include "apps/InstalledApp.h"
#include "apps/LeftoverItem.h"
#include "apps/LeftoverSearch.h"
#include "platform/ApplicationProcesses.h"
#include "platform/CacheFolder.h"
#include "platform/HomeLayout.h"
#include "shell/ScanService.h"

#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QStringList>

class ToolRunner;
class Trash;

// What one uninstall did.
struct UninstallOutcome {
    // The application's size when its bundle went, plus the size of each leftover that went;
    // 0 when the bundle stayed.
    qint64 freedBytes = 0;
    // What stayed: the application's name when its bundle stayed (then nothing else was
    // touched); otherwise the file name of each ticked leftover that stayed, in list order;
    // "No app selected." when there was nothing to uninstall.
    QStringList failures;
    bool appRemoved = false;

    friend bool operator==(const UninstallOutcome&, const UninstallOutcome&) = default;
};

// The uninstaller: the installed applications with their sizes, the files an application left
// in the user's Library folders, and the removal of both to the Trash.
//
// Published fields change on the main thread only and notify on every assignment. The list of
// applications is cached in "apps.json" in the app's data folder and shown at once by loadApps()
// while a background rescan replaces it; the leftover search runs in the background on select();
// a newer rescan or search makes an older one's result void.
//
// State: the rescan's, kept by its scan slot. Idle until the first loadApps(), Running while a
// rescan is under way (the cached or last list may be shown meanwhile: apps() says), Done once
// its list is published. Nothing here fails today.
class AppUninstaller : public QObject {
    Q_OBJECT
    Q_PROPERTY(AppUninstaller::State state READ state NOTIFY stateChanged)
    Q_PROPERTY(QList<InstalledApp> apps READ apps NOTIFY appsChanged)
    Q_PROPERTY(QList<LeftoverItem> leftovers READ leftovers NOTIFY leftoversChanged)
    Q_PROPERTY(bool leftoversLoading READ leftoversLoading NOTIFY leftoversLoadingChanged)
public:
    using State = ScanState<NoProgress>;

    // Schedules `then` on the main thread after ms milliseconds; the uninstall's waits go
    // through it, so tests can count them and need not sleep.
    using Wait = std::function<void(int ms, std::function<void()> then)>;

    struct Deps {
        QStringList applicationFolders;
        QList<LeftoverSearch::Folder> leftoverFolders;
        // Never offered as leftovers: the app's own folders and the Trash.
        QStringList protectedPaths;
        CacheFolder cache{AppSupportFolder(QString())};
        std::shared_ptr<Trash> trash; // required: the home's Trash has no default without a home
        // Runs the second removal route ("gio trash") when the Trash refuses an item for any
        // reason but a safety refusal (Trash::isSafetyRefusal); empty: the system's processes.
        std::shared_ptr<ToolRunner> runner;
        std::shared_ptr<ApplicationProcesses> processes; // empty: this user's, from /proc
        Wait wait;                                       // empty: a timer on the main thread

        // The real folders of this home, the data folder's cache, the given Trash, gio, /proc.
        static Deps system(const HomeLayout& layout, std::shared_ptr<Trash> trash);
    };
    static QStringList protectedPathsFor(const HomeLayout& layout);

    // How the uninstall waits for an application to quit: up to kQuitPolls polls kQuitPollMs
    // apart, then a forced quit and kForceSettleMs before the files go.
    static constexpr int kQuitPolls = 25;
    static constexpr int kQuitPollMs = 200;
    static constexpr int kForceSettleMs = 500;
    static constexpr const char* kCacheFile = "apps.json";
    static constexpr const char* kNoSelection = "No app selected.";

    explicit AppUninstaller(Deps deps, QObject* parent = nullptr);
    ~AppUninstaller() override;

    State state() const { return m_inventory.state(); }
    const QList<InstalledApp>& apps() const { return m_apps; }
    const QList<LeftoverItem>& leftovers() const { return m_leftovers; }
    const std::optional<InstalledApp>& selectedApp() const { return m_selectedApp; }
    bool leftoversLoading() const { return m_leftoversLoading; }

    // Shows the cached list at once where "apps.json" still names an existing bundle, otherwise
    // keeps what is shown, and starts a rescan (Running) that replaces the list, rewrites the
    // cache and ends Done. A rescan already running is superseded. Main thread.
    void loadApps();

    // Publishes the selection, empties the leftovers, sets leftoversLoading and starts the
    // search; only the latest search publishes its finds (and clears leftoversLoading).
    void select(const InstalledApp& app);

    // Flips `selected` of the leftover with this id; nothing when there is none.
    void toggleLeftover(const QUuid& id);

    // The sum of the sizes of the selected leftovers.
    qint64 selectedLeftoverBytes() const;

    // Removes the selected application with the leftovers ticked at this moment: asks its
    // running processes to quit, waits for them (forcing them after the polls run out), moves
    // the bundle to the Trash (or, when the Trash refuses, through the second route), then each
    // ticked leftover, each through the searched folder that holds it; clears the selection and
    // leftovers and calls loadApps(). `done` gets the outcome on the main thread. Leftovers are
    // only touched when the bundle went. Returns at once; main thread.
    using Done = std::function<void(const UninstallOutcome&)>;
    void uninstall(Done done);

signals:
    void stateChanged();
    void appsChanged();
    void leftoversChanged();
    void selectedAppChanged();
    void leftoversLoadingChanged();

private:
    struct Run;

    void setApps(const QList<InstalledApp>& apps);
    void setLeftovers(const QList<LeftoverItem>& leftovers);
    void setSelectedApp(const std::optional<InstalledApp>& app);
    void setLeftoversLoading(bool loading);
    void saveCache();

    static bool secondRoute(ToolRunner* runner, const QString& path);
    QList<AppProcess> processesOf(const QString& bundleID) const;
    void pollQuit(const std::shared_ptr<Run>& run);
    void removeFiles(const std::shared_ptr<Run>& run);
    void finish(const std::shared_ptr<Run>& run, const UninstallOutcome& outcome);

    Deps m_deps;
    QList<InstalledApp> m_apps;
    QList<LeftoverItem> m_leftovers;
    std::optional<InstalledApp> m_selectedApp;
    bool m_leftoversLoading = false;
    // What a leftover search reads.
    struct LeftoverRequest {
        InstalledApp app;
        QList<LeftoverSearch::Folder> folders;
        QStringList guarded;
    };
    // The inventory of the application folders, and the leftovers of the selected app: each
    // new request supersedes the one of its kind before it.
    ScanService<QStringList, NoProgress, QList<InstalledApp>> m_inventory;
    ScanService<LeftoverRequest, NoProgress, QList<LeftoverItem>> m_leftoverSearch;
};
