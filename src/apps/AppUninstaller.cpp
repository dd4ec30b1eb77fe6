#include "apps/AppUninstaller.h"

#include "apps/AppInventory.h"
#include "platform/FoundRoot.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ToolRunner.h"
#include "platform/Trash.h"

#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QTimer>

namespace {

// One item the uninstall moves: where it is, what its record says it occupies, and the name a
// failure is reported by.
struct Target {
    QString path;
    qint64 sizeBytes = 0;
    QString fileName;
};

} // namespace

// An uninstall under way: the application and the leftovers ticked when it started, fixed for
// the whole run.
struct AppUninstaller::Run {
    InstalledApp app;
    QList<Target> leftovers;
    // The folders the application and its leftovers were found in: each item goes through the
    // innermost one that holds it, reached as the search reached it (Trash::moveFoundToTrash).
    QStringList searched;
    int waits = 0;
    Done done;
};

QStringList AppUninstaller::protectedPathsFor(const HomeLayout& layout) {
    return {layout.appSupportDir(), layout.configHome() + QStringLiteral("/Pendrel"),
            layout.cacheHome() + QStringLiteral("/Pendrel"), layout.trashDir(), layout.home()};
}

AppUninstaller::Deps AppUninstaller::Deps::system(const HomeLayout& layout,
                                                  std::shared_ptr<Trash> trash) {
    Deps deps;
    deps.applicationFolders = AppInventory::applicationFolders(layout.home());
    deps.leftoverFolders = LeftoverSearch::folders(layout);
    deps.protectedPaths = protectedPathsFor(layout);
    deps.cache = CacheFolder(AppSupportFolder(layout.appSupportDir()));
    deps.trash = trash ? std::move(trash) : std::make_shared<FreedesktopTrash>(layout.trashDir());
    deps.runner = std::make_shared<ProcessToolRunner>();
    deps.processes = ProcApplicationProcesses::forThisUser();
    return deps;
}

AppUninstaller::AppUninstaller(Deps deps, QObject* parent)
    : QObject(parent), m_deps(std::move(deps)),
      m_inventory(this,
                  [](const QStringList& folders, const auto& run) {
                      return AppInventory::scan(folders, run.cancel());
                  },
                  {{},
                   [this](QList<InstalledApp> fresh) {
                       setApps(fresh);
                       saveCache();
                       return std::nullopt;
                   },
                   [this] { emit stateChanged(); }}),
      m_leftoverSearch(
          this,
          [](const LeftoverRequest& r, const auto& run) {
              return LeftoverSearch::find(r.app, r.folders, r.guarded, run.cancel());
          },
          // A newer selection owns leftoversLoading; a superseded search never gets here.
          {{}, [this](QList<LeftoverItem> finds) {
               setLeftovers(finds);
               setLeftoversLoading(false);
               return std::nullopt;
           }}) {
    Q_ASSERT(m_deps.trash);
    if (!m_deps.runner)
        m_deps.runner = std::make_shared<ProcessToolRunner>();
    if (!m_deps.processes)
        m_deps.processes = ProcApplicationProcesses::forThisUser();
    if (!m_deps.wait) {
        m_deps.wait = [this](int ms, std::function<void()> then) {
            QTimer::singleShot(ms, this, std::move(then));
        };
    }
}

AppUninstaller::~AppUninstaller() = default;

// ---- Publishing

void AppUninstaller::setApps(const QList<InstalledApp>& apps) {
    m_apps = apps;
    emit appsChanged();
}

void AppUninstaller::setLeftovers(const QList<LeftoverItem>& leftovers) {
    m_leftovers = leftovers;
    emit leftoversChanged();
}

void AppUninstaller::setSelectedApp(const std::optional<InstalledApp>& app) {
    m_selectedApp = app;
    emit selectedAppChanged();
}

void AppUninstaller::setLeftoversLoading(bool loading) {
    m_leftoversLoading = loading;
    emit leftoversLoadingChanged();
}

// ---- The list and its cache

void AppUninstaller::loadApps() {
    const CacheFolder::Load<QList<InstalledApp>> cached =
        m_deps.cache.loadArray<InstalledApp>(QString::fromLatin1(kCacheFile));
    QList<InstalledApp> existing;
    if (cached.value) {
        for (const InstalledApp& app : *cached.value) {
            if (QFileInfo::exists(app.path()))
                existing.append(app);
        }
    }
    if (!existing.isEmpty())
        setApps(existing);
    m_inventory.start(m_deps.applicationFolders);
}

void AppUninstaller::saveCache() {
    // A failure is logged by the writer; the fresh list stays published and the old file stays.
    (void)m_deps.cache.writeJSON(m_apps, QString::fromLatin1(kCacheFile));
}

// ---- Leftovers

void AppUninstaller::select(const InstalledApp& app) {
    m_leftoverSearch.start({app, m_deps.leftoverFolders, m_deps.protectedPaths});
    setSelectedApp(app);
    setLeftovers({});
    setLeftoversLoading(true);
}

void AppUninstaller::toggleLeftover(const QUuid& id) {
    for (qsizetype i = 0; i < m_leftovers.size(); ++i) {
        if (m_leftovers.at(i).id == id) {
            QList<LeftoverItem> changed = m_leftovers;
            changed[i].selected = !changed[i].selected;
            setLeftovers(changed);
            return;
        }
    }
}

qint64 AppUninstaller::selectedLeftoverBytes() const {
    qint64 sum = 0;
    for (const LeftoverItem& item : m_leftovers) {
        if (item.selected)
            sum += item.sizeBytes;
    }
    return sum;
}

// ---- Uninstall

bool AppUninstaller::secondRoute(ToolRunner* runner, const QString& path) {
    if (!runner || path.isEmpty())
        return false;
    // gio moves it to the Trash by its own means (a volume's own Trash, its own permissions
    // handling); the path is one argument, so nothing in it needs escaping.
    const ToolResult result =
        runner->run(QStringLiteral("gio"), {QStringLiteral("trash"), QStringLiteral("--"), path});
    return result.succeeded();
}

QList<AppProcess> AppUninstaller::processesOf(const QString& bundleID) const {
    QList<AppProcess> matching;
    if (bundleID.isEmpty())
        return matching;
    for (const AppProcess& p : m_deps.processes->list()) {
        // Exact, case-sensitive; processes of bundles without an identifier never match.
        if (!p.bundleIdentifier.isEmpty() && p.bundleIdentifier == bundleID)
            matching.append(p);
    }
    return matching;
}

void AppUninstaller::uninstall(Done done) {
    if (!m_selectedApp) {
        UninstallOutcome none;
        none.failures = {QString::fromLatin1(kNoSelection)};
        QTimer::singleShot(0, this, [done = std::move(done), none] {
            if (done)
                done(none);
        });
        return;
    }
    auto run = std::make_shared<Run>();
    run->app = *m_selectedApp;
    run->done = std::move(done);
    // The leftovers the user confirmed are the ones ticked now; whatever the list shows by the
    // time the application has quit (another selection, say) is not theirs to take.
    for (const LeftoverItem& item : std::as_const(m_leftovers)) {
        if (item.selected)
            run->leftovers.append({item.path, item.sizeBytes, item.fileName()});
    }

    const QString bundleID = run->app.bundleID.value_or(QString());
    if (bundleID.isEmpty()) {
        removeFiles(run);
        return;
    }
    // Only the processes the application itself started are asked: its helpers go with it.
    const QList<AppProcess> running = processesOf(bundleID);
    QSet<qint64> pids;
    for (const AppProcess& p : running)
        pids.insert(p.pid);
    for (const AppProcess& p : running) {
        if (!pids.contains(p.parentPid))
            m_deps.processes->requestQuit(p);
    }
    pollQuit(run);
}

void AppUninstaller::pollQuit(const std::shared_ptr<Run>& run) {
    const QString bundleID = *run->app.bundleID;
    if (!processesOf(bundleID).isEmpty() && run->waits < kQuitPolls) {
        ++run->waits;
        m_deps.wait(kQuitPollMs, [this, run] { pollQuit(run); });
        return;
    }
    const QList<AppProcess> still = processesOf(bundleID);
    if (still.isEmpty()) {
        removeFiles(run);
        return;
    }
    for (const AppProcess& p : still)
        m_deps.processes->forceQuit(p);
    m_deps.wait(kForceSettleMs, [this, run] { removeFiles(run); });
}

void AppUninstaller::removeFiles(const std::shared_ptr<Run>& run) {
    run->searched = m_deps.applicationFolders;
    for (const LeftoverSearch::Folder& folder : std::as_const(m_deps.leftoverFolders))
        run->searched.append(folder.path);
    ScanJob::runInPool([run, trash = m_deps.trash, runner = m_deps.runner, self = QPointer(this)] {
        UninstallOutcome outcome;
        const auto remove = [&](const QString& path) {
            QString error;
            const FoundRoot root(FoundRoot::holderOf(run->searched, path));
            if (trash && trash->moveFoundToTrash(root, path, {}, &error))
                return true;
            // A refusal on purpose (a mount, a folder on the way that became a link) is final.
            return !Trash::isSafetyRefusal(error) && secondRoute(runner.get(), path);
        };
        outcome.appRemoved = remove(run->app.path());
        if (!outcome.appRemoved) {
            outcome.failures = {run->app.name};
        } else {
            outcome.freedBytes = run->app.appSizeBytes;
            for (const Target& t : std::as_const(run->leftovers)) {
                if (remove(t.path))
                    outcome.freedBytes += t.sizeBytes;
                else
                    outcome.failures.append(t.fileName);
            }
        }
        ScanJob::deliver(self, [run, outcome](AppUninstaller* s) { s->finish(run, outcome); });
    });
}

void AppUninstaller::finish(const std::shared_ptr<Run>& run, const UninstallOutcome& outcome) {
    setSelectedApp(std::nullopt);
    setLeftovers({});
    loadApps();
    if (run->done)
        run->done(outcome);
}
