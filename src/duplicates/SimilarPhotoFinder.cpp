#include "duplicates/SimilarPhotoFinder.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/ParallelLoop.h"
#include "platform/DirectoryWalker.h"
#include "platform/RegularFile.h"
#include "platform/Trash.h"

#include <mutex>

SimilarPhotoFinder::SimilarPhotoFinder(std::shared_ptr<Trash> trash,
                                       SimilarPhotoScan::Printer printer, int threads,
                                       QObject* parent)
    : QObject(parent), m_trash(std::move(trash)), m_printer(std::move(printer)),
      m_threads(threads > 0 ? threads : DirectoryWalker::defaultThreads()) {
    if (!m_printer)
        m_printer = SimilarPhotoScan::printOf;
}

SimilarPhotoFinder::~SimilarPhotoFinder() {
    m_job.cancel();
}

void SimilarPhotoFinder::scan(const QString& folder) {
    const ScanJob::Ticket ticket = m_job.restart();
    ++m_scanGeneration;
    setState(State::scanning(0, 0));
    setGroups({});

    ScanJob::runInPool([ticket, folder, printer = m_printer, threads = m_threads,
                        self = QPointer<SimilarPhotoFinder>(this)] {
        const std::atomic_bool* cancel = ticket.cancel.flag();
        const QStringList photos =
            SimilarPhotoScan::collectPhotos(folder, SimilarPhotoScan::photoLimit, cancel);
        if (ticket.cancel.isCancelled())
            return;
        const int total = int(photos.size());
        if (total == 0) {
            ScanJob::deliver(self, [ticket](SimilarPhotoFinder* f) {
                if (!f->m_job.isCurrent(ticket.generation))
                    return;
                f->setGroups({});
                f->setState({State::Kind::Done, 0, 0, {}});
            });
            return;
        }
        ScanJob::deliver(self, [ticket, total](SimilarPhotoFinder* f) {
            if (f->m_job.isCurrent(ticket.generation))
                f->setState(State::scanning(0, total));
        });

        // Each photo's record has its own entry; only the count is shared.
        std::vector<std::optional<SimilarPhotoScan::PhotoRecord>> found(size_t(photos.size()));
        std::mutex lock;
        int processed = 0;
        ParallelLoop::run(found.size(), threads, [&](size_t i, int) {
            if (ticket.cancel.isCancelled())
                return;
            const QString& path = photos.at(qsizetype(i));
            std::optional<FeaturePrint> print = printer(path);
            const qint64 pixels = print ? SimilarPhotoScan::pixelCount(path) : 0;
            if (print)
                found[i] = SimilarPhotoScan::PhotoRecord{path, std::move(*print), pixels};
            std::lock_guard<std::mutex> guard(lock);
            const int done = ++processed;
            if (SimilarPhotoScan::tellsProgress(done, total))
                ScanJob::deliver(self, [ticket, done, total](SimilarPhotoFinder* f) {
                    if (f->m_job.isCurrent(ticket.generation) && done > f->m_state.done)
                        f->setState(State::scanning(done, total));
                });
        });
        if (ticket.cancel.isCancelled())
            return;
        // Records in path order, so a rescan of an unchanged folder finds the same sets.
        QList<SimilarPhotoScan::PhotoRecord> records;
        for (auto& entry : found)
            if (entry)
                records.append(std::move(*entry));
        QList<SimilarPhotoGroup> sets = SimilarPhotoScan::group(records);
        ScanJob::deliver(self, [ticket, sets = std::move(sets)](SimilarPhotoFinder* f) {
            if (!f->m_job.isCurrent(ticket.generation))
                return;
            f->setGroups(sets);
            f->setState({State::Kind::Done, 0, 0, {}});
        });
    });
}

void SimilarPhotoFinder::reset() {
    m_job.cancel();
    ++m_scanGeneration;
    setGroups({});
    setState({});
}

QStringList SimilarPhotoFinder::trash(const SimilarPhotoGroup& group) {
    QStringList errors;
    if (group.files.isEmpty())
        return errors;
    const QString keep = group.files.first();
    if (!RegularFile::stampOf(keep)) {
        errors.append(DuplicatesText::shownName(keep) +
                      QStringLiteral(": the photo to keep is no longer there, so nothing was "
                                     "moved."));
        return errors;
    }
    QStringList remaining = {keep};
    for (qsizetype i = 1; i < group.files.size(); ++i) {
        const QString& file = group.files.at(i);
        QString error;
        if (m_trash && m_trash->moveToTrash(file, &error))
            continue;
        errors.append(DuplicatesText::shownName(file) + QStringLiteral(": ") +
                      (error.isEmpty() ? QStringLiteral("The Trash is not available.") : error));
        remaining.append(file);
    }
    QList<SimilarPhotoGroup> groups = m_groups;
    if (remaining.size() < 2) {
        groups.removeIf([&](const SimilarPhotoGroup& g) { return g.id == group.id; });
    } else {
        const auto it = std::find_if(groups.begin(), groups.end(),
                                     [&](const SimilarPhotoGroup& g) { return g.id == group.id; });
        if (it == groups.end())
            return errors;
        *it = SimilarPhotoGroup{QUuid::createUuid(), remaining};
    }
    setGroups(std::move(groups));
    return errors;
}

QStringList SimilarPhotoFinder::keepBestOfEach() {
    QStringList errors;
    const QList<SimilarPhotoGroup> snapshot = m_groups;
    for (const SimilarPhotoGroup& set : snapshot)
        errors.append(trash(set));
    return errors;
}

int SimilarPhotoFinder::removableCount() const {
    int count = 0;
    for (const SimilarPhotoGroup& g : m_groups)
        count += std::max(0, int(g.files.size()) - 1);
    return count;
}

void SimilarPhotoFinder::setState(const State& state) {
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void SimilarPhotoFinder::setGroups(QList<SimilarPhotoGroup> groups) {
    if (m_groups.isEmpty() && groups.isEmpty())
        return;
    m_groups = std::move(groups);
    emit groupsChanged();
}
