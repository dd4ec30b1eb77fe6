#pragma once

#include "platform/CacheFolder.h"
#include "platform/Clock.h"
#include "platform/Keychain.h"
#include "shell/ScanJob.h"
#include "vault/SecureNote.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

// The vault's list of secret notes. A note lives in two halves: its index entry (id, title, time
// of the last change) in "secure-notes-index.json" in the data folder, and its secret in one
// keyring item named by the note's id (Keychain). The list holds no secret, and no secret ever
// reaches a file or the log.
//
// Keyring calls never run on the main thread. Every read and change is a job in one queue that
// runs on the store's own worker thread (not the shared pool, which the exit waits for) one job
// at a time, in the order asked, so a later save of a note is
// never overtaken by an earlier one; the index is written by the same job, right after its
// keyring step. A job that has not ended within timeLimit() is reported as TimedOut to whoever
// asked. If it was still queued it is dropped and never reaches the keyring. If it was already
// waiting on the keyring it cannot be stopped: when the keyring finally answers, the list and
// the file are brought in line with what the keyring did, and a read or save is reported once
// more with its real outcome (so an editor can take a late answer).
//
// The index never names a note whose secret was not written, and no secret is left that the
// index does not name:
//  - A new note: its empty secret, then the index naming it. When the index cannot be written the
//    secret is taken out of the keyring again and the note stays listed in memory only
//    (isIndexed() false, indexFailure() says why); a later save of it tries both steps again.
//  - An edit: the secret, then the index with the new title and time. When the index cannot be
//    written, the entry on disk still names the note's item, now holding the new secret; the new
//    title and time are kept in memory and go with the next write that works.
//  - A delete: first the keyring item, then the index without the note, so a crash between the two
//    leaves a listed note without a secret, never a secret without a note. When the keyring keeps
//    the item nothing is written. When the index cannot be written the secret is gone and the note
//    leaves the list in memory; the file still names it until the next index write that works.
// If even the taking back fails, the note is treated as indexed, so the next index write that
// works names its secret again.
//
// A refusal of the keyring leaves the list and the file as they were and puts a sentence for the
// user in lastError (which only the screen clears; a later success leaves it); so do a create or
// delete that timed out. Index failures go to indexFailure, which the next successful index write
// clears.
//
// Loading happens once, in the constructor, newest first. A missing file is an empty vault; a
// file that cannot be read or decoded is an empty vault too, but it is set aside first (see
// CacheFolder), so the notes it named are not overwritten by the next change. When it cannot
// even be set aside, savesHeld is true and no index write succeeds, so new notes stay in memory.
// The list is not checked against the keyring: a note whose item is missing is still listed, and
// items of notes the index no longer names stay in the keyring.
//
// When the process quits, finishWithin() gives the work still asked for a short time to end and
// then gives the keyring up, so no keyring that hangs (or prompt left open) holds the exit.
// Destroying a store waits for the keyring call under way; the process-wide store is never
// destroyed, so the exit never waits for its worker.
//
// Main thread only, callbacks included. A callback runs only while its context object lives.
class SecureNotesStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<SecureNote> notes READ notes NOTIFY notesChanged)
    Q_PROPERTY(
        std::optional<QString> lastError READ lastError WRITE setLastError NOTIFY lastErrorChanged)
    Q_PROPERTY(bool savesHeld READ savesHeld NOTIFY savesHeldChanged)
    Q_PROPERTY(std::optional<QString> indexFailure READ indexFailure NOTIFY indexFailureChanged)
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged)
public:
    static QString fileName() { return QStringLiteral("secure-notes-index.json"); }
    // Long enough for a prompt to be answered, short enough to tell a keyring that hangs.
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{10000};
    // What a quitting app gives the last work it asked (finishWithin).
    static constexpr std::chrono::milliseconds kQuitGrace{400};
    // How long finishWithin() waits, after giving the keyring up, for the call it cancelled.
    static constexpr std::chrono::milliseconds kLetGo{200};

    enum class Outcome {
        Done,        // the keyring step and the index both written
        IndexFailed, // see indexFailure and the class comment: what reached the keyring
        Refused,     // the keyring refused: nothing changed
        TimedOut,    // no answer within timeLimit(); nothing is known yet
        Gone,        // the note is no longer listed: nothing was asked of the keyring
    };
    using CreateDone = std::function<void(Outcome, const std::optional<SecureNote>&)>;
    using SaveDone = std::function<void(Outcome)>;
    // timedOut: no answer yet (read is then a failure with no value); a late answer follows.
    using ReadDone = std::function<void(const Keychain::Read& read, bool timedOut)>;
    using DeleteDone = std::function<void(Outcome)>;

    SecureNotesStore(CacheFolder folder, std::shared_ptr<Keychain> keychain,
                     std::shared_ptr<const Clock> clock, QObject* parent = nullptr);
    ~SecureNotesStore() override;
    // The process-wide vault: the data folder, the session's Secret Service and the system
    // clock. Made on first use.
    static SecureNotesStore* shared();

    // In the order shown and written: newest first after loading, new notes in front, edited
    // notes where they were.
    const QList<SecureNote>& notes() const { return m_notes; }
    // The first note with this id.
    std::optional<SecureNote> note(const QUuid& id) const;
    // False for a note that lives in memory only: the index file does not name it and the
    // keyring holds no secret of it.
    bool isIndexed(const QUuid& id) const { return m_indexed.contains(id); }

    std::optional<QString> lastError() const { return m_lastError; }
    void setLastError(std::optional<QString> error);
    bool savesHeld() const { return m_savesHeld; }
    // The reason the last index write failed, until one succeeds.
    std::optional<QString> indexFailure() const { return m_indexFailure; }
    // True while a job is queued or running.
    bool isBusy() const { return m_running || !m_queue.empty(); }

    std::chrono::milliseconds timeLimit() const { return m_timeLimit; }
    // For jobs asked from now on.
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }

    // A new note with an empty secret, put first once the keyring has it. An empty title becomes
    // "Untitled"; any other is kept as typed (spaces included). done gets the note when it is
    // listed (Done, IndexFailed) and none when it is not (Refused, TimedOut).
    void create(const QString& title, QObject* context = nullptr, CreateDone done = {});
    // Stores the secret and then the title ("Untitled" for an empty one) and the time of asking
    // in the first note with this id, which keeps its place in the list. False, with nothing
    // queued, for an id that is not listed now; a note deleted before the job's turn gives Gone.
    bool save(const QUuid& id, const QString& title, const QString& body,
              QObject* context = nullptr, SaveDone done = {});
    // The note's secret as the keyring has it when the job runs; nothing is cached.
    void readSecret(const QUuid& id, QObject* context, ReadDone done);
    // Removes every listed note with this id and its keyring item (see the class comment for
    // the order). A note without an item goes all the same; when the keyring could not remove
    // the item, the note stays listed and lastError says so, so the vault never claims to have
    // removed a secret it still holds. False, with nothing queued, for an id not listed now.
    bool deleteNote(const QUuid& id, QObject* context = nullptr, DeleteDone done = {});
    // Queues a rewrite of the index from the list (the notes it may name); never times out.
    void saveIndex();

    // For a process that is quitting, once the screens are gone (their last saves asked): runs
    // the jobs asked, in order, for at most grace, reporting each as usual, without the event
    // loop. Then the keyring is abandoned (Keychain::abandon): a job still waiting on it ends as
    // soon as the keyring lets go (a keyring that never does is left waiting on its thread),
    // unreported, having done what the keyring did before the cancel, and the jobs behind it are
    // dropped unasked. Every later job fails at the keyring. Returns how many jobs were left
    // unfinished.
    int finishWithin(std::chrono::milliseconds grace);

signals:
    void notesChanged();
    void lastErrorChanged();
    void savesHeldChanged(bool held);
    void indexFailureChanged();
    void busyChanged(bool busy);

private:
    struct Job;
    struct Work;
    struct Step;
    struct Flight;

    void enqueue(std::shared_ptr<Job> job, bool timed);
    void startNext();
    std::optional<Work> prepare(const Job& job) const;
    static Step perform(const Work& work, Keychain& keychain, const CacheFolder& folder);
    void finish(quint64 serial, const Step& step);
    void apply(const Job& job, const Step& step);
    void report(const Job& job, const Step& step);
    void reportTimeOut(const Job& job);
    void deadline(quint64 serial);
    QList<SecureNote> indexedNotes() const;
    void setSavesHeld(bool held);
    void setIndexFailure(std::optional<QString> reason);
    void updateBusy();
    double now() const;

    CacheFolder m_folder;
    std::shared_ptr<Keychain> m_keychain;
    std::shared_ptr<const Clock> m_clock;
    QList<SecureNote> m_notes;
    // The notes the index names, or must name at its next write (a secret is in the keyring).
    QSet<QUuid> m_indexed;
    std::optional<QString> m_lastError;
    std::optional<QString> m_indexFailure;
    bool m_savesHeld = false;
    std::chrono::milliseconds m_timeLimit = kDefaultTimeLimit;
    std::deque<std::shared_ptr<Job>> m_queue;
    std::shared_ptr<Job> m_running;
    quint64 m_nextSerial = 1;
    bool m_wasBusy = false;
    // The running job's answer as its worker left it, for finishWithin(), which cannot wait for
    // the event loop.
    std::shared_ptr<Flight> m_flight;
    // The keyring's lane: one thread of its own, jobs in the order started. Last, so it ends
    // before the rest goes.
    ScanJob m_lane{1};
};
