#include "storage/OrganizerJournals.h"

#include "platform/AtomicFile.h"
#include "platform/JsonFields.h"
#include "platform/NativePath.h"
#include "storage/OrganizerFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFolder = QStringLiteral("organizer-journals");

// The log's lines. "moves"/"movesBack" announce a batch of steps (the moves as recorded), and
// "move"/"moveBack" a single one (logs of earlier versions); each "done" or "failure" settles the
// earliest announced step still waiting, and a "failure" with none waiting is a refusal of a
// move never announced. A new announcement leaves the steps still waiting interrupted.
// "settled" settles an interrupted step after the fact; "finishedAt"/"undoneAt" close the run
// and its undo.
constexpr QLatin1String kMove("move"), kMoveBack("moveBack"), kMoves("moves"),
    kMovesBack("movesBack"), kDone("done"), kFailure("failure"), kSettled("settled"), kStep("step"),
    kFinished("finishedAt"), kUndone("undoneAt");

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QJsonObject batchRecord(const QList<OrganizerCompletedMove>& moves, bool back) {
    QJsonArray steps;
    for (const OrganizerCompletedMove& move : moves)
        steps.append(move.toJson());
    return QJsonObject{{back ? kMovesBack : kMoves, steps}};
}

std::optional<OrganizerCompletedMove> moveIn(const QJsonValue& value) {
    if (!value.isObject())
        return std::nullopt;
    return OrganizerCompletedMove::fromJson(value.toObject());
}

// Cuts a last line that never got its newline (an append cut short), so the next line starts
// clean. False when the file cannot be read or cut.
bool cutUnfinishedLine(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    off_t end = st.st_size;
    char buffer[4096];
    while (end > 0) {
        const off_t from = std::max<off_t>(0, end - off_t(sizeof buffer));
        const ssize_t n = ::pread(fd, buffer, size_t(end - from), from);
        if (n != end - from)
            return false;
        const char* newline = static_cast<const char*>(::memrchr(buffer, '\n', size_t(n)));
        if (newline) {
            end = from + (newline - buffer) + 1;
            break;
        }
        end = from;
    }
    return end == st.st_size || ::ftruncate(fd, end) == 0;
}

} // namespace

OrganizerJournals::OrganizerJournals(const HomeLayout& layout, WriteCheck beforeWrite)
    : m_folder(AppSupportFolder(layout.appSupportDir())), m_beforeWrite(std::move(beforeWrite)) {}

QString OrganizerJournals::directory() const {
    return m_folder.folder().pathFor(kFolder);
}

QString OrganizerJournals::logPath(const QString& id) const {
    return directory() + QLatin1Char('/') + id + QStringLiteral(".log");
}

bool OrganizerJournals::hasValidId(const OrganizerJournal& journal) {
    return JsonFields::parseUuid(journal.id).has_value();
}

void OrganizerJournals::settleStep(OrganizerJournal& journal, const OrganizerInterruptedStep& step,
                                   bool done, QSet<QString>* sources) {
    if (!done)
        return;
    if (step.back) {
        // Undo puts the last move back first: it is almost always at the end.
        if (!journal.completed.isEmpty() && journal.completed.constLast() == step.move)
            journal.completed.removeLast();
        else
            journal.completed.removeAll(step.move);
        return;
    }
    const bool known = !sources || sources->contains(step.move.sourcePath);
    if (known && journal.completed.contains(step.move))
        return;
    journal.completed.append(step.move);
    if (sources)
        sources->insert(step.move.sourcePath);
}

bool OrganizerJournals::save(const OrganizerJournal& journal, QString* error) const {
    if (!hasValidId(journal)) {
        if (error)
            *error = QStringLiteral("the run's id is not valid");
        return false;
    }
    if (m_beforeWrite) {
        if (const int code = m_beforeWrite()) {
            if (error)
                *error = systemReason(code);
            return false;
        }
    }
    return m_folder.writeJSON(QJsonDocument(journal.toJson()),
                              kFolder + QLatin1Char('/') + journal.id + QStringLiteral(".json"),
                              error);
}

std::unique_ptr<OrganizerJournalLog> OrganizerJournals::open(const OrganizerJournal& journal,
                                                             QString* error) const {
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    if (!hasValidId(journal))
        return fail(QStringLiteral("the run's id is not valid"));
    const QString base = directory() + QLatin1Char('/') + journal.id + QStringLiteral(".json");
    struct stat st {};
    if (::lstat(NativePath::encode(base).constData(), &st) != 0 && !save(journal, error))
        return nullptr;
    const QByteArray path = NativePath::encode(logPath(journal.id));
    const bool isNew = ::lstat(path.constData(), &st) != 0;
    const int fd = ::open(path.constData(),
                          O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0)
        return fail(systemReason(errno));
    if (!cutUnfinishedLine(fd)) {
        const int code = errno;
        ::close(fd);
        return fail(systemReason(code));
    }
    // The log's name reaches the disk before any step relies on it.
    if (isNew) {
        const int dir =
            ::open(NativePath::encode(directory()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int code = dir < 0 || ::fsync(dir) == 0 || errno == EINVAL ? 0 : errno;
        if (dir >= 0)
            ::close(dir);
        if (code != 0) {
            ::close(fd);
            return fail(systemReason(code));
        }
    }
    return std::unique_ptr<OrganizerJournalLog>(new OrganizerJournalLog(fd, m_beforeWrite));
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

bool OrganizerJournals::replay(OrganizerJournal& journal, const QByteArray& log) {
    QSet<QString> sources;
    for (const OrganizerCompletedMove& move : std::as_const(journal.completed))
        sources.insert(move.sourcePath);
    // Announced steps waiting for their outcomes, earliest first.
    QList<OrganizerInterruptedStep> pending;
    qsizetype next = 0;
    // A step announced and not settled before the next announcement is one whose outcome is
    // unknown.
    const auto leavePending = [&] {
        for (qsizetype i = next; i < pending.size(); ++i)
            if (!journal.interrupted.contains(pending.at(i)))
                journal.interrupted.append(pending.at(i));
        pending.clear();
        next = 0;
    };
    qsizetype start = 0;
    for (qsizetype end = log.indexOf('\n'); end >= 0;
         start = end + 1, end = log.indexOf('\n', start)) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(log.mid(start, end - start), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return false;
        const QJsonObject record = doc.object();
        const QString key = record.size() == 1 ? record.begin().key() : QString();
        if (key == kMove || key == kMoveBack) {
            const std::optional<OrganizerCompletedMove> move = moveIn(record.value(key));
            if (!move)
                return false;
            leavePending();
            pending.append(OrganizerInterruptedStep{key == kMoveBack, *move});
        } else if (key == kMoves || key == kMovesBack) {
            if (!record.value(key).isArray())
                return false;
            leavePending();
            for (const QJsonValue& value : record.value(key).toArray()) {
                const std::optional<OrganizerCompletedMove> move = moveIn(value);
                if (!move)
                    return false;
                pending.append(OrganizerInterruptedStep{key == kMovesBack, *move});
            }
        } else if (key == kDone) {
            if (!record.value(kDone).isBool() || next >= pending.size())
                return false;
            settleStep(journal, pending.at(next++), record.value(kDone).toBool(), &sources);
        } else if (key == kFailure) {
            if (!record.value(kFailure).isString())
                return false;
            journal.failures.append(record.value(kFailure).toString());
            if (next < pending.size())
                ++next;
        } else if (key == kFinished || key == kUndone) {
            const std::optional<double> at =
                JsonFields::date(record, key == kFinished ? kFinished : kUndone);
            if (!at)
                return false;
            leavePending();
            (key == kFinished ? journal.finishedAt : journal.undoneAt) = *at;
        } else if (record.size() == 3 && record.value(kSettled).isString() &&
                   record.value(kDone).isBool()) {
            const QString kind = record.value(kSettled).toString();
            const std::optional<OrganizerCompletedMove> move = moveIn(record.value(kStep));
            if (!move || (kind != kMove && kind != kMoveBack))
                return false;
            leavePending();
            const OrganizerInterruptedStep step{kind == kMoveBack, *move};
            journal.interrupted.removeAll(step);
            settleStep(journal, step, record.value(kDone).toBool(), &sources);
        } else {
            return false;
        }
    }
    leavePending();
    return true;
}

bool OrganizerJournals::isListed(const OrganizerJournal& journal, const QDateTime& now) {
    if (journal.undoneAt)
        return false;
    return journal.startedDate().addSecs(kWindowSeconds) > now;
}

QList<OrganizerJournal> OrganizerJournals::history(const QDateTime& now, const QString& realHome,
                                                   QList<OrganizerJournal>* interrupted) const {
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
        // A run of another home could only be refused step by step: it is not offered at all.
        if (!journal || journal->homePath != realHome)
            continue;
        const AtomicFile::ReadResult log =
            AtomicFile::read(logPath(journal->id), CacheFolder::kMaxFileBytes);
        if (log.status == AtomicFile::ReadResult::Status::Failed ||
            (log.status == AtomicFile::ReadResult::Status::Read && !replay(*journal, log.bytes)))
            continue;
        if (interrupted && !journal->interrupted.isEmpty())
            interrupted->append(*journal);
        if (isListed(*journal, now))
            out.append(std::move(*journal));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const OrganizerJournal& a, const OrganizerJournal& b) {
                         return a.startedAt > b.startedAt;
                     });
    return out;
}

OrganizerJournalLog::~OrganizerJournalLog() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool OrganizerJournalLog::append(const QJsonObject& record, bool durable, QString* error) {
    const auto fail = [error](int code) {
        if (error)
            *error = systemReason(code);
        return false;
    };
    if (m_beforeWrite) {
        if (const int code = m_beforeWrite())
            return fail(code);
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return fail(errno);
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    // fdatasync also carries the lines written before this one to the disk.
    if (!AtomicFile::writeFully(m_fd, line) ||
        (durable && ::fdatasync(m_fd) != 0 && errno != EINVAL)) {
        const int code = errno;
        // A line cut short would spoil the next one: take it back.
        if (::ftruncate(m_fd, st.st_size) == 0)
            ::fdatasync(m_fd);
        return fail(code);
    }
    return true;
}

bool OrganizerJournalLog::willMove(const QList<OrganizerCompletedMove>& moves, QString* error) {
    return append(batchRecord(moves, false), true, error);
}

bool OrganizerJournalLog::willMoveBack(const QList<OrganizerCompletedMove>& moves, QString* error) {
    return append(batchRecord(moves, true), true, error);
}

bool OrganizerJournalLog::stepDone(bool done, QString* error) {
    return append(QJsonObject{{kDone, done}}, false, error);
}

bool OrganizerJournalLog::refused(const QString& failure, QString* error) {
    return append(QJsonObject{{kFailure, failure}}, false, error);
}

bool OrganizerJournalLog::settled(const OrganizerInterruptedStep& step, bool done, QString* error) {
    return append(QJsonObject{{kSettled, step.back ? kMoveBack : kMove},
                              {kStep, step.move.toJson()},
                              {kDone, done}},
                  true, error);
}

bool OrganizerJournalLog::finished(double at, QString* error) {
    return append(QJsonObject{{kFinished, at}}, true, error);
}

bool OrganizerJournalLog::undone(double at, QString* error) {
    return append(QJsonObject{{kUndone, at}}, true, error);
}
