// The five runners of AutomationStore and what they share: each does its rule's job and hands
// back one line of text; every failure becomes that text.
#include "automation/AutomationStore.h"

#include "automation/AutomationSchedule.h"
#include "automation/AutomationText.h"
#include "platform/ToolRunner.h"
#include "vitals/AppState.h"

#include <QFileInfo>

namespace {

// Cleans the rows with these ids and calls then(result) on the main thread afterwards; nothing
// is called when the store is destroyed first.
void cleanThen(const CleanupScanner& cleaner, const QSet<QString>& ids,
               QPointer<AutomationStore> store, std::function<void(const CleanResult&)> then) {
    cleaner.clean(ids, [store, then = std::move(then)](const CleanResult& r) {
        if (store)
            then(r);
    });
}

const QString kDownloadsId = QStringLiteral("auto-downloads-30");
const QString kScreenshotsId = QStringLiteral("screenshots-7");

bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

CleanCategory AutomationStore::downloadsCategory(const HomeLayout& layout) {
    CleanCategory c;
    c.id = kDownloadsId;
    c.name = QStringLiteral("Old downloads (30+ days)");
    c.plainDescription = QStringLiteral("Downloads not touched in 30 days.");
    c.locations = CleanCategories::mapLocations(layout, {QStringLiteral("Downloads")});
    c.olderThanDays = 30;
    // Downloads is a user folder: the guard lets this row search it, and nothing above it.
    c.searchesUserFolders = true;
    c.onByDefault = true;
    c.removable = true;
    c.quickSize = false;
    c.safety = TamsoSafety::CheckFirst;
    c.consequence = QStringLiteral("Moved to Trash by Automation.");
    return c;
}

void AutomationStore::emptyOldDownloads(Done done) {
    const CleanCategory category = downloadsCategory(m_deps.layout);
    const std::shared_ptr<const CategoryMeasure> measure = m_deps.cleaning.measure;
    ScanJob::runInPool([measure, category, done, self = QPointer(this)] {
        const Measurement m = measure ? measure->measure(category) : Measurement();
        ScanJob::deliver(self, [category, done, m](AutomationStore* store) {
            CleanCategory row = category;
            row.setMeasurement(m);
            // A refused search found nothing because it never looked.
            if (m.refusal) {
                done({AutomationText::withRefusals(std::nullopt, {row}), true});
                return;
            }
            if (m.sizeBytes < 1 || m.eligibleFiles.isEmpty()) {
                done({AutomationText::downloadsNothing()});
                return;
            }
            // A cleaner of its own for this one row; the clean holds what it needs, so the
            // cleaner can go at once.
            const CleanupScanner cleaner({row}, store->m_deps.cleaning);
            cleanThen(cleaner, {kDownloadsId}, store, [done](const CleanResult& r) {
                done({AutomationText::downloadsMoved(r.freedBytes, r.cleaned, r.failures),
                      !r.failures.isEmpty()});
            });
        });
    });
}

void AutomationStore::waitForScan(QPointer<CleanupScanner> scanner, int pauses,
                                  std::function<void()> done) {
    using Kind = ScanPhase;
    const bool finished =
        !scanner || scanner->state().phase == Kind::Done || scanner->state().phase == Kind::Failed;
    if (finished || pauses <= 0) {
        done();
        return;
    }
    QTimer::singleShot(m_deps.pauseMs, this, [this, scanner, pauses, done = std::move(done)] {
        waitForScan(scanner, pauses - 1, done);
    });
}

void AutomationStore::cleanDeveloperCaches(Done done) {
    DevCleanupScanner* cleaner = m_dev.data();
    if (!cleaner) {
        done({AutomationText::developerUnavailable(), true});
        return;
    }
    // A scan under way is waited for and a finished one used as it stands.
    if (cleaner->state().phase == ScanPhase::Idle)
        cleaner->scan();
    waitForScan(cleaner, kDeveloperScanPauses, [this, done] {
        DevCleanupScanner* cleaner = m_dev.data();
        if (!cleaner) {
            done({AutomationText::developerUnavailable(), true});
            return;
        }
        QSet<QString> ids;
        QList<CleanCategory> refused;
        for (const CleanCategory& c : cleaner->categories()) {
            if (c.onByDefault && c.refusal)
                refused.append(c);
            else if (c.onByDefault && c.sizeBytes > 0)
                ids.insert(c.id);
        }
        if (ids.isEmpty()) {
            if (refused.isEmpty())
                done({AutomationText::developerNothing()});
            else
                done({AutomationText::withRefusals(std::nullopt, refused), true});
            return;
        }
        cleanThen(*cleaner, ids, this, [done, refused](const CleanResult& r) {
            done({AutomationText::withRefusals(
                      AutomationText::developerFreed(r.freedBytes, r.failures), refused),
                  !refused.isEmpty() || !r.failures.isEmpty()});
        });
    });
}

void AutomationStore::cleanOldScreenshots(Done done) {
    ScreenshotCleanupScanner* cleaner = m_shots.data();
    if (!cleaner) {
        done({AutomationText::screenshotsUnavailable(), true});
        return;
    }
    // Every band is a list of files found by the last scan, and a finished scan's list is stale
    // once anything has been moved (by this rule a week ago, or by the user): only a scan under
    // way is awaited, any other state gets a fresh one. The scan rebuilds the table first.
    if (cleaner->state().phase != ScanPhase::Running)
        cleaner->scan();
    waitForScan(cleaner, kScreenshotScanPauses, [this, done] {
        ScreenshotCleanupScanner* cleaner = m_shots.data();
        if (!cleaner) {
            done({AutomationText::screenshotsUnavailable(), true});
            return;
        }
        const QList<CleanCategory>& table = cleaner->categories();
        const qsizetype row = CleanCategories::indexOf(table, kScreenshotsId);
        if (row >= 0 && table.at(row).refusal) {
            done({AutomationText::withRefusals(std::nullopt, {table.at(row)}), true});
            return;
        }
        cleanThen(*cleaner, {kScreenshotsId}, this, [done](const CleanResult& r) {
            done({AutomationText::screenshotsMoved(r.freedBytes, r.failures),
                  !r.failures.isEmpty()});
        });
    });
}

void AutomationStore::diskFigures(std::function<void(const SystemSnapshot&)> done) {
    // The vitals' latest sample while there is one; before its first sample the figures would
    // read as an empty disk, so one is taken here instead.
    if (AppState* vitals = m_appState.data(); vitals && vitals->hasFirstSample()) {
        done(vitals->snapshot());
        return;
    }
    ScanJob::runInPool([sample = m_deps.freshDiskSample, done, self = QPointer(this)] {
        const SystemSnapshot s = sample();
        ScanJob::deliver(self, [done, s](AutomationStore*) { done(s); });
    });
}

void AutomationStore::storageAlertDue(std::function<void(bool)> done) {
    diskFigures(
        [done](const SystemSnapshot& disk) { done(AutomationSchedule::storageAlertDue(disk)); });
}

void AutomationStore::storageAlertMessage(Done done) {
    diskFigures([done](const SystemSnapshot& disk) {
        done({AutomationText::storageAlert(disk.diskFullPercent(), disk.diskFreeBytes)});
    });
}

std::optional<QString> AutomationStore::locateDocker() const {
    for (const QString& path : m_deps.dockerCandidates) {
        if (isExecutableFile(path))
            return path;
    }
    for (const QString& folder : m_deps.searchPath) {
        const QString path = folder + QStringLiteral("/docker");
        if (QFileInfo(folder).isAbsolute() && isExecutableFile(path))
            return path;
    }
    return std::nullopt;
}

void AutomationStore::pruneDocker(Done done) {
    const std::optional<QString> docker = locateDocker();
    if (!docker) {
        done({AutomationText::dockerNotFound()});
        return;
    }
    const int timeoutMs = m_deps.dockerTimeoutMs;
    m_toolRuns.run([tools = m_deps.tools, path = *docker, timeoutMs, done, self = QPointer(this)] {
        const ToolResult result = tools->run(path, dockerPruneArguments(), timeoutMs);
        ScanJob::deliver(self, [done, timeoutMs, result](AutomationStore*) {
            done({AutomationText::dockerOutcome(result, timeoutMs),
                  !AutomationText::dockerSucceeded(result)});
        });
    });
}
