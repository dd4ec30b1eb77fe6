#pragma once

#include "vault/SecureNotesStore.h"

#include <condition_variable>
#include <mutex>
#include <optional>

// The store's jobs as its queue and its worker see them: what was asked, what the worker takes
// with it, and what it did. Only SecureNotesStore's own sources include this.
enum class JobKind { Create, Save, Read, Delete, WriteIndex };

// One read or change as asked, kept on the main thread until it has been reported.
struct SecureNotesStore::Job {
    JobKind kind = JobKind::Read;
    quint64 serial = 0;
    // Create and Save: the entry as the change makes it; Read and Delete: the id.
    SecureNote note;
    QString body;
    QPointer<QObject> context;
    CreateDone created;
    SaveDone saved;
    ReadDone read;
    DeleteDone deleted;
    bool timedOut = false;
};

// All a worker needs, by value, taken from the list when the job's turn comes.
struct SecureNotesStore::Work {
    JobKind kind = JobKind::Read;
    QString account;
    QString body;
    // Create and Save: written after the secret; Delete: after the removal; WriteIndex: alone.
    std::optional<QList<SecureNote>> index;
    // Create and Save: the secret goes out again when the index cannot name it.
    bool takeBack = false;
};

// What the worker did.
struct SecureNotesStore::Step {
    Outcome outcome = Outcome::Done;
    Keychain::Read read;
    QString reason;      // the keyring's, for the log
    QString indexReason; // the index writer's, when a write failed
    bool indexWritten = false;
    // A secret the index does not name could not be taken out of the keyring.
    bool itemLeft = false;
};

// Shared with the workers. done holds a secret read only until the main thread takes the answer;
// an answer the main thread has already taken (taken) is not left there. left is the last job
// whose worker has handed its answer over, so nothing of it reaches the application any more.
struct SecureNotesStore::Flight {
    std::mutex lock;
    std::condition_variable ended;
    std::optional<std::pair<quint64, Step>> done;
    quint64 taken = 0;
    quint64 left = 0;
};
