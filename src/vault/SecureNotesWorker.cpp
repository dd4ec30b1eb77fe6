#include "vault/SecureNotesJobs.h"

// On a worker: the keyring and the index file, in the order the class comment gives.
SecureNotesStore::Step SecureNotesStore::perform(const Work& work, Keychain& keychain,
                                                 const CacheFolder& folder) {
    Step step;
    const auto writeIndex = [&](const QList<SecureNote>& notes) {
        step.indexWritten = folder.writeJSON(notes, fileName(), &step.indexReason);
        return step.indexWritten;
    };
    switch (work.kind) {
    case JobKind::Read:
        step.read = keychain.read(work.account);
        break;
    case JobKind::Create:
    case JobKind::Save:
        if (!keychain.save(work.account, work.body, &step.reason)) {
            step.outcome = Outcome::Refused;
            break;
        }
        if (writeIndex(*work.index))
            break;
        step.outcome = Outcome::IndexFailed;
        if (work.takeBack &&
            keychain.remove(work.account, &step.reason) == Keychain::RemoveStatus::Failed)
            step.itemLeft = true;
        break;
    case JobKind::Delete:
        if (keychain.remove(work.account, &step.reason) == Keychain::RemoveStatus::Failed) {
            step.outcome = Outcome::Refused;
            break;
        }
        if (work.index && !writeIndex(*work.index))
            step.outcome = Outcome::IndexFailed;
        break;
    case JobKind::WriteIndex:
        if (!writeIndex(*work.index))
            step.outcome = Outcome::IndexFailed;
        break;
    }
    return step;
}
