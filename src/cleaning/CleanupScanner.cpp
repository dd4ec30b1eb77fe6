#include "cleaning/CleanupScanner.h"

#include "cleaning/CategoryMeasurer.h"
#include "platform/DiskUsage.h"
#include "platform/FreedesktopTrash.h"

QStringList CleanupScanner::protectedPathsFor(const HomeLayout& layout) {
    return {layout.appSupportDir(), layout.cacheHome() + QStringLiteral("/Pendrel"),
            layout.trashDir()};
}

CleanupScanner::Deps CleanupScanner::Deps::system(const HomeLayout& layout) {
    Deps deps;
    deps.protectedPaths = protectedPathsFor(layout);
    deps.guard = ContentsGuard::forLayout(layout);
    CategoryMeasurer::Options options;
    options.protectedPaths = deps.protectedPaths;
    options.guard = deps.guard;
    deps.measure =
        std::make_shared<CategoryMeasurer>(std::make_shared<DuDiskUsage>(), std::move(options));
    deps.trash = std::make_shared<FreedesktopTrash>(layout.trashDir());
    return deps;
}

CleanupScanner::CleanupScanner(QList<CleanCategory> categories, Deps deps, QObject* parent)
    : QObject(parent), m_deps(std::move(deps)),
      m_cleaner(
          std::make_shared<CategoryCleaner>(m_deps.trash, m_deps.protectedPaths, m_deps.guard)),
      m_categories(std::move(categories)),
      m_scan(this, &CleanupScanner::measureRows,
             {[this](const Progress& step) { applyStep(step); },
              [](std::monostate) -> std::optional<QString> { return std::nullopt; },
              [this] { emit stateChanged(); }}) {
    Q_ASSERT(m_deps.measure && m_deps.trash);
}

CleanupScanner::~CleanupScanner() = default;

void CleanupScanner::scan() {
    QList<CleanCategory> work = m_categories;
    for (CleanCategory& row : work)
        row.resetMeasurement();
    // Running is announced while the table still holds the last scan's figures, so a screen that
    // shows a finished table never shows the zeroed one.
    m_scan.start({work, m_deps.measure});
    setCategories(std::move(work));
}

std::monostate CleanupScanner::measureRows(const Request& request, const ScanSlot::Run& run) {
    for (int i = 0; i < request.rows.size(); ++i) {
        if (run.isCancelled())
            break;
        const QString name = request.rows.at(i).name;
        run.progress({i, name, std::nullopt});
        const Measurement m = request.measure->measure(request.rows.at(i), run.cancel());
        if (run.isCancelled())
            break;
        run.progress({i + 1, name, m});
    }
    return {};
}

void CleanupScanner::applyStep(const Progress& step) {
    if (step.measurement) {
        const int row = step.done - 1;
        if (row < 0 || row >= m_categories.size())
            return;
        m_categories[row].setMeasurement(*step.measurement);
        emit categoriesChanged();
    }
    m_scan.report({step.done, step.label, std::nullopt});
}

int CleanupScanner::progressDone() const {
    const ScanState<Progress> state = m_scan.state();
    if (state.phase == ScanPhase::Done)
        return int(m_categories.size());
    return state.isRunning() ? state.progress.done : 0;
}

int CleanupScanner::progressTotal() const {
    return m_scan.phase() == ScanPhase::Idle ? 0 : int(m_categories.size());
}

QString CleanupScanner::progressLabel() const {
    const ScanState<Progress> state = m_scan.state();
    if (!state.isRunning())
        return QString();
    return state.progress.label.isEmpty() ? QStringLiteral("Starting…") : state.progress.label;
}

void CleanupScanner::cancelScan() {
    if (isScanning())
        m_scan.cancel();
}

void CleanupScanner::clean(const QSet<QString>& ids,
                           std::function<void(const CleanResult&)> done) const {
    ScanJob::runInPool([cleaner = m_cleaner, table = m_categories, ids, done = std::move(done)] {
        const CleanResult result = cleaner->clean(table, ids);
        ScanJob::deliver([result, done] { done(result); });
    });
}

Measurement CleanupScanner::measure(const CleanCategory& category) const {
    return m_deps.measure->measure(category);
}

void CleanupScanner::setCategories(QList<CleanCategory> categories) {
    m_categories = std::move(categories);
    emit categoriesChanged();
}
