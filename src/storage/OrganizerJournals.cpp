#include "storage/OrganizerJournals.h"

#include "assistant/JsonFields.h"
#include "platform/AtomicFile.h"
#include "storage/OrganizerFiles.h"

#include <algorithm>
#include <QDir>
#include <QJsonDocument>

namespace {

const QString kFolder = QStringLiteral("organizer-journals");

} // namespace

OrganizerJournals::OrganizerJournals(const HomeLayout& layout)
    : m_folder(AppSupportFolder(layout.appSupportDir())) {}

QString OrganizerJournals::directory() const {
    return m_folder.folder().pathFor(kFolder);
}

bool OrganizerJournals::hasValidId(const OrganizerJournal& journal) {
    return JsonFields::parseUuid(journal.id).has_value();
}

bool OrganizerJournals::save(const OrganizerJournal& journal) const {
    if (!hasValidId(journal))
        return false;
    return m_folder.writeJSON(QJsonDocument(journal.toJson()),
                              kFolder + QLatin1Char('/') + journal.id + QStringLiteral(".json"));
}

QByteArray OrganizerJournals::encode(const OrganizerJournal& journal) {
    return QJsonDocument(journal.toJson()).toJson(QJsonDocument::Compact);
}

std::optional<OrganizerJournal> OrganizerJournals::decode(const QByteArray& bytes,
                                                          const QString& fileStem) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    std::optional<OrganizerJournal> journal = OrganizerJournal::fromJson(doc.object());
    if (!journal || journal->id != fileStem || !hasValidId(*journal))
        return std::nullopt;
    return journal;
}

bool OrganizerJournals::isListed(const OrganizerJournal& journal, const QDateTime& now) {
    if (journal.undoneAt)
        return false;
    return journal.startedDate().addSecs(kWindowSeconds) > now;
}

QList<OrganizerJournal> OrganizerJournals::history(const QDateTime& now) const {
    QList<OrganizerJournal> out;
    const QDir dir(directory());
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        if (!name.endsWith(QLatin1String(".json")))
            continue;
        const AtomicFile::ReadResult read =
            AtomicFile::read(dir.filePath(name), CacheFolder::kMaxFileBytes);
        if (read.status != AtomicFile::ReadResult::Status::Read)
            continue;
        std::optional<OrganizerJournal> journal = decode(read.bytes, name.chopped(5));
        if (journal && isListed(*journal, now))
            out.append(std::move(*journal));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const OrganizerJournal& a, const OrganizerJournal& b) {
                         return a.startedAt > b.startedAt;
                     });
    return out;
}

namespace OrganizerRun {

bool apply(OrganizerJournal& journal, const OrganizerJournals& store, const Now& now,
           const Progress& progress) {
    if (!store.save(journal))
        return false;
    const int total = int(journal.planned.size());
    for (int i = 0; i < total; ++i) {
        const OrganizerMove& move = journal.planned.at(i);
        const OrganizerFiles::Outcome outcome = OrganizerFiles::moveOne(move, journal.homePath);
        if (outcome.moved)
            journal.completed.append(*outcome.moved);
        else
            journal.failures.append(move.displayName + QStringLiteral(": ") + outcome.refusal);
        // Written before the next file is touched, so the record never lags a move.
        store.save(journal);
        if (progress)
            progress(i + 1, total);
    }
    journal.finishedAt = secondsSinceReferenceDate(now());
    store.save(journal);
    return true;
}

int undo(OrganizerJournal& journal, const QString& realHome, const OrganizerJournals& store,
         const Now& now, const Progress& progress, QStringList* undoFailures) {
    int restored = 0;
    QStringList failures;
    const int total = int(journal.completed.size());
    for (int i = 0; i < total; ++i) {
        const OrganizerCompletedMove& move = journal.completed.at(total - 1 - i);
        if (std::optional<QString> failure =
                OrganizerFiles::undoMove(move, journal.homePath, realHome))
            failures.append(*failure);
        else
            ++restored;
        if (progress)
            progress(i + 1, total);
    }
    journal.undoneAt = secondsSinceReferenceDate(now());
    journal.failures.append(failures);
    store.save(journal);
    if (undoFailures)
        *undoFailures = failures;
    return restored;
}

} // namespace OrganizerRun
