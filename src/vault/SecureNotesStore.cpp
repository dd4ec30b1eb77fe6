#include "vault/SecureNotesStore.h"

#include "platform/AppSupportFolder.h"
#include "platform/JsonFields.h"
#include "platform/SecretServiceKeychain.h"
#include "shell/ScanJob.h"
#include "vault/SecureNotesJobs.h"
#include "vault/SecureNotesText.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QTimer>

namespace {
Q_LOGGING_CATEGORY(lcVault, "pendrel.vault")
}

SecureNotesStore::SecureNotesStore(CacheFolder folder, std::shared_ptr<Keychain> keychain,
                                   std::shared_ptr<const Clock> clock, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_keychain(std::move(keychain)),
      m_clock(std::move(clock)), m_flight(std::make_shared<Flight>()) {
    const auto load = m_folder.loadJSON<QList<SecureNote>>(fileName(), &SecureNotes::decodeIndex);
    if (load.value)
        m_notes = *load.value;
    for (const SecureNote& n : std::as_const(m_notes))
        m_indexed.insert(n.id);
    if (load.outcome == CacheFolder::LoadOutcome::MovedAside)
        qCWarning(lcVault) << "the vault index could not be read; it was set aside as"
                           << load.asidePath;
    m_savesHeld = load.outcome == CacheFolder::LoadOutcome::Held;
}

// The lane, declared last, waits for the job under way; its answer finds no store.
SecureNotesStore::~SecureNotesStore() = default;

SecureNotesStore* SecureNotesStore::shared() {
    static SecureNotesStore* const instance =
        new SecureNotesStore(CacheFolder::standard(), std::make_shared<SecretServiceKeychain>(),
                             std::make_shared<SystemClock>());
    return instance;
}

std::optional<SecureNote> SecureNotesStore::note(const QUuid& id) const {
    const auto it = std::find_if(m_notes.cbegin(), m_notes.cend(),
                                 [&](const SecureNote& n) { return n.id == id; });
    if (it == m_notes.cend())
        return std::nullopt;
    return *it;
}

void SecureNotesStore::setLastError(std::optional<QString> error) {
    m_lastError = std::move(error);
    emit lastErrorChanged();
}

void SecureNotesStore::setSavesHeld(bool held) {
    if (held == m_savesHeld)
        return;
    m_savesHeld = held;
    emit savesHeldChanged(held);
}

void SecureNotesStore::setIndexFailure(std::optional<QString> reason) {
    if (reason == m_indexFailure)
        return;
    m_indexFailure = std::move(reason);
    emit indexFailureChanged();
}

void SecureNotesStore::updateBusy() {
    const bool busy = isBusy();
    if (busy == m_wasBusy)
        return;
    m_wasBusy = busy;
    emit busyChanged(busy);
}

double SecureNotesStore::now() const {
    return secondsSinceReferenceDate(m_clock->now());
}

QList<SecureNote> SecureNotesStore::indexedNotes() const {
    QList<SecureNote> listed;
    for (const SecureNote& n : m_notes)
        if (m_indexed.contains(n.id))
            listed.append(n);
    return listed;
}

void SecureNotesStore::create(const QString& title, QObject* context, CreateDone done) {
    auto job = std::make_shared<Job>();
    job->kind = JobKind::Create;
    job->note = SecureNote{QUuid::createUuid(),
                           title.isEmpty() ? SecureNotesText::untitled() : title, now()};
    job->context = context;
    job->created = std::move(done);
    enqueue(std::move(job), true);
}

bool SecureNotesStore::save(const QUuid& id, const QString& title, const QString& body,
                            QObject* context, SaveDone done) {
    if (!note(id))
        return false;
    auto job = std::make_shared<Job>();
    job->kind = JobKind::Save;
    job->note = SecureNote{id, title.isEmpty() ? SecureNotesText::untitled() : title, now()};
    job->body = body;
    job->context = context;
    job->saved = std::move(done);
    enqueue(std::move(job), true);
    return true;
}

void SecureNotesStore::readSecret(const QUuid& id, QObject* context, ReadDone done) {
    auto job = std::make_shared<Job>();
    job->kind = JobKind::Read;
    job->note.id = id;
    job->context = context;
    job->read = std::move(done);
    enqueue(std::move(job), true);
}

bool SecureNotesStore::deleteNote(const QUuid& id, QObject* context, DeleteDone done) {
    if (!note(id))
        return false;
    auto job = std::make_shared<Job>();
    job->kind = JobKind::Delete;
    job->note.id = id;
    job->context = context;
    job->deleted = std::move(done);
    enqueue(std::move(job), true);
    return true;
}

void SecureNotesStore::saveIndex() {
    auto job = std::make_shared<Job>();
    job->kind = JobKind::WriteIndex;
    enqueue(std::move(job), false);
}

void SecureNotesStore::enqueue(std::shared_ptr<Job> job, bool timed) {
    job->serial = m_nextSerial++;
    if (timed) {
        const quint64 serial = job->serial;
        QTimer::singleShot(m_timeLimit, this, [this, serial] { deadline(serial); });
    }
    m_queue.push_back(std::move(job));
    startNext();
}

std::optional<SecureNotesStore::Work> SecureNotesStore::prepare(const Job& job) const {
    Work work;
    work.kind = job.kind;
    work.account = job.note.account();
    switch (job.kind) {
    case JobKind::Read:
        break;
    case JobKind::Create:
        work.index = QList<SecureNote>{job.note} + indexedNotes();
        work.takeBack = true;
        break;
    case JobKind::Save: {
        // Checked now, not when asked: a note deleted meanwhile gets no secret back.
        if (!note(job.note.id))
            return std::nullopt;
        QList<SecureNote> index;
        bool replaced = false;
        for (const SecureNote& n : m_notes) {
            const bool mine = n.id == job.note.id && !replaced;
            if (mine)
                replaced = true;
            if (mine || m_indexed.contains(n.id))
                index.append(mine ? job.note : n);
        }
        work.index = std::move(index);
        work.body = job.body;
        work.takeBack = !m_indexed.contains(job.note.id);
        break;
    }
    case JobKind::Delete:
        if (!note(job.note.id))
            return std::nullopt;
        if (m_indexed.contains(job.note.id)) {
            QList<SecureNote> without = indexedNotes();
            without.removeIf([&](const SecureNote& n) { return n.id == job.note.id; });
            work.index = std::move(without);
        }
        break;
    case JobKind::WriteIndex:
        work.index = indexedNotes();
        break;
    }
    return work;
}

void SecureNotesStore::startNext() {
    while (!m_running && !m_queue.empty()) {
        std::shared_ptr<Job> job = std::move(m_queue.front());
        m_queue.pop_front();
        std::optional<Work> work = prepare(*job);
        if (!work) {
            Step gone;
            gone.outcome = Outcome::Gone;
            report(*job, gone);
            continue;
        }
        m_running = job;
        m_lane.run([work = std::move(*work), keychain = m_keychain, folder = m_folder,
                    flight = m_flight, self = QPointer(this), serial = job->serial] {
            const Step step = perform(work, *keychain, folder);
            // Handed to the event loop first, so that once finishWithin() has seen the answer
            // this worker no longer reaches the application, which may be going.
            ScanJob::deliver(self,
                             [serial, step](SecureNotesStore* s) { s->finish(serial, step); });
            {
                std::lock_guard lock(flight->lock);
                if (flight->taken < serial)
                    flight->done.emplace(serial, step);
                flight->left = serial;
            }
            flight->ended.notify_all();
        });
    }
    updateBusy();
}

void SecureNotesStore::finish(quint64 serial, const Step& step) {
    {
        std::lock_guard lock(m_flight->lock);
        m_flight->taken = std::max(m_flight->taken, serial);
        if (m_flight->done && m_flight->done->first == serial)
            m_flight->done.reset();
    }
    if (!m_running || m_running->serial != serial)
        return;
    const std::shared_ptr<Job> job = std::move(m_running);
    m_running.reset();
    apply(*job, step);
    report(*job, step);
    startNext();
}

// The list follows what the worker did, whether or not the asker has been told of a time-out.
void SecureNotesStore::apply(const Job& job, const Step& step) {
    const QUuid id = job.note.id;
    if (step.indexWritten)
        setIndexFailure(std::nullopt);
    else if (!step.indexReason.isEmpty())
        setIndexFailure(step.indexReason);
    if (job.kind != JobKind::Read)
        setSavesHeld(m_folder.isHeld(fileName()));
    if (step.itemLeft) {
        // Named again by the next index write that works.
        qCWarning(lcVault) << "a secret the index does not name could not be taken back:"
                           << step.reason;
        m_indexed.insert(id);
    }

    switch (job.kind) {
    case JobKind::Read:
        if (step.read.status == Keychain::Read::Status::Failed)
            qCWarning(lcVault) << "the keyring could not give a secret:" << step.read.reason;
        break;
    case JobKind::Create:
        if (step.outcome == Outcome::Refused) {
            // The reason goes to the log only: the user's sentence is the fixed one.
            qCWarning(lcVault) << "the keyring refused a new secret:" << step.reason;
            break;
        }
        if (step.outcome == Outcome::Done)
            m_indexed.insert(id);
        m_notes.prepend(job.note);
        emit notesChanged();
        break;
    case JobKind::Save: {
        if (step.outcome == Outcome::Refused) {
            qCWarning(lcVault) << "the keyring refused a secret:" << step.reason;
            break;
        }
        if (step.outcome == Outcome::Done)
            m_indexed.insert(id);
        const auto it = std::find_if(m_notes.begin(), m_notes.end(),
                                     [&](const SecureNote& n) { return n.id == id; });
        if (it != m_notes.end()) {
            it->title = job.note.title;
            it->updated = job.note.updated;
            emit notesChanged();
        }
        break;
    }
    case JobKind::Delete:
        if (step.outcome == Outcome::Refused)
            qCWarning(lcVault) << "the keyring could not remove a secret:" << step.reason;
        // IndexFailed: the secret is gone, so the note goes too; the file names it until the
        // next index write that works.
        if (step.outcome != Outcome::Done && step.outcome != Outcome::IndexFailed)
            break;
        m_indexed.remove(id);
        if (m_notes.removeIf([&](const SecureNote& n) { return n.id == id; }) > 0)
            emit notesChanged();
        break;
    case JobKind::WriteIndex:
        break;
    }
}

void SecureNotesStore::report(const Job& job, const Step& step) {
    // A create or delete already reported as timed out stays reported: its late effect shows in
    // the list.
    const bool late = job.timedOut;
    if (!late) {
        if (job.kind == JobKind::Create && step.outcome == Outcome::Refused)
            setLastError(SecureNotesText::createRefused());
        if (job.kind == JobKind::Delete && step.outcome == Outcome::Refused)
            setLastError(SecureNotesText::deleteRefused());
        if (job.kind == JobKind::Delete && step.outcome == Outcome::IndexFailed)
            setLastError(SecureNotesText::deleteUnsaved());
    }
    if (job.kind == JobKind::Save && step.outcome == Outcome::Refused)
        setLastError(SecureNotesText::saveRefused());

    if (!job.context)
        return;
    switch (job.kind) {
    case JobKind::Create:
        if (job.created && !late) {
            const bool listed =
                step.outcome == Outcome::Done || step.outcome == Outcome::IndexFailed;
            job.created(step.outcome, listed ? std::optional(job.note) : std::nullopt);
        }
        break;
    case JobKind::Save:
        if (job.saved)
            job.saved(step.outcome);
        break;
    case JobKind::Read:
        if (job.read)
            job.read(step.read, false);
        break;
    case JobKind::Delete:
        if (job.deleted && !late)
            job.deleted(step.outcome);
        break;
    case JobKind::WriteIndex:
        break;
    }
}

void SecureNotesStore::reportTimeOut(const Job& job) {
    qCWarning(lcVault) << "the keyring did not answer within" << m_timeLimit.count() << "ms";
    if (job.kind == JobKind::Create)
        setLastError(SecureNotesText::createTimedOut());
    if (job.kind == JobKind::Delete)
        setLastError(SecureNotesText::deleteTimedOut());
    if (!job.context)
        return;
    switch (job.kind) {
    case JobKind::Create:
        if (job.created)
            job.created(Outcome::TimedOut, std::nullopt);
        break;
    case JobKind::Save:
        if (job.saved)
            job.saved(Outcome::TimedOut);
        break;
    case JobKind::Read:
        if (job.read)
            job.read(Keychain::Read{Keychain::Read::Status::Failed, QString(),
                                    QStringLiteral("The keyring did not answer in time.")},
                     true);
        break;
    case JobKind::Delete:
        if (job.deleted)
            job.deleted(Outcome::TimedOut);
        break;
    case JobKind::WriteIndex:
        break;
    }
}

void SecureNotesStore::deadline(quint64 serial) {
    if (m_running && m_running->serial == serial) {
        // Waiting on the keyring: it cannot be stopped, so its answer is still applied later.
        m_running->timedOut = true;
        reportTimeOut(*m_running);
        return;
    }
    const auto it =
        std::find_if(m_queue.begin(), m_queue.end(),
                     [&](const std::shared_ptr<Job>& j) { return j->serial == serial; });
    if (it == m_queue.end())
        return;
    // Never started: dropped, so what the asker was told stays true.
    const std::shared_ptr<Job> job = *it;
    m_queue.erase(it);
    reportTimeOut(*job);
    updateBusy();
}

int SecureNotesStore::finishWithin(std::chrono::milliseconds grace) {
    const QDeadlineTimer deadline(grace);
    while (m_running) {
        std::optional<std::pair<quint64, Step>> done;
        {
            std::unique_lock lock(m_flight->lock);
            m_flight->ended.wait_until(lock, deadline.deadline<std::chrono::steady_clock>(),
                                       [this] { return m_flight->done.has_value(); });
            done = std::move(m_flight->done);
            m_flight->done.reset();
        }
        if (!done)
            break;
        // Applies and reports the answer, and starts the next job.
        finish(done->first, done->second);
    }
    const int left = int(m_queue.size()) + (m_running ? 1 : 0);
    if (left > 0)
        qCWarning(lcVault) << left << "keyring jobs did not end before quitting; they are dropped";
    m_queue.clear();
    const quint64 waiting = m_running ? m_running->serial : 0;
    m_keychain->abandon();
    if (waiting != 0) {
        // A keyring that lets go answers at once; give it a moment to hand its answer over, so
        // nothing of it reaches an application that is going. One that does not is left alone.
        std::unique_lock lock(m_flight->lock);
        m_flight->ended.wait_for(lock, kLetGo, [&] { return m_flight->left >= waiting; });
    }
    updateBusy();
    return left;
}
