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
      m_categories(std::move(categories)), m_scan(this, &CleanupScanner::measureRows,
                                                  {[this](const Step& step) { applyStep(step); },
                                                   [this](std::monostate) {
                                                       finishScan();
                                                       return std::nullopt;
                                                   }}) {
    Q_ASSERT(m_deps.measure && m_deps.trash);
}

CleanupScanner::~CleanupScanner() = default;

void CleanupScanner::scan() {
    QList<CleanCategory> work = m_categories;
    for (CleanCategory& row : work)
        row.resetMeasurement();
    m_scan.start({work, m_deps.measure});
    setState({State::Kind::Scanning, {}});
    setProgressDone(0);
    setProgressTotal(int(work.size()));
    setProgressLabel(QStringLiteral("Starting…"));
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
        run.progress({i, name, m});
    }
    return {};
}

void CleanupScanner::applyStep(const Step& step) {
    if (!step.measurement) {
        setProgressLabel(step.name);
        return;
    }
    if (step.index >= m_categories.size())
        return;
    m_categories[step.index].setMeasurement(*step.measurement);
    emit categoriesChanged();
    setProgressDone(m_progressDone + 1);
    setProgressLabel(m_categories.at(step.index).name);
}

void CleanupScanner::finishScan() {
    setProgressDone(int(m_categories.size()));
    setProgressLabel(QString());
    setState({State::Kind::Done, {}});
}

void CleanupScanner::cancelScan() {
    if (!isScanning())
        return;
    m_scan.cancel();
    setProgressLabel(QString());
    setState({State::Kind::Idle, {}});
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

void CleanupScanner::setState(const State& state) {
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void CleanupScanner::setProgressDone(int value) {
    if (m_progressDone == value)
        return;
    m_progressDone = value;
    emit progressDoneChanged();
}

void CleanupScanner::setProgressTotal(int value) {
    if (m_progressTotal == value)
        return;
    m_progressTotal = value;
    emit progressTotalChanged();
}

void CleanupScanner::setProgressLabel(const QString& value) {
    if (m_progressLabel == value)
        return;
    m_progressLabel = value;
    emit progressLabelChanged();
}
