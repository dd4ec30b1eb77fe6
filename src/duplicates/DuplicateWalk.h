#pragma once

#include "duplicates/DuplicateCandidates.h"

#include "platform/CancelToken.h"

#include <functional>
#include <QString>
#include <vector>

// The first stage of the duplicate search: the walk below the chosen folder that collects the
// candidates (regular files of at least DuplicateScan::minimumSize bytes, hidden ones, package
// insides and repeated hard links passed over, as DuplicateScan.h describes).
namespace DuplicateWalk {

// What one walker thread found: a folder once for every run of its files it met, and the files,
// whose `folder` numbers its own folders.
struct Found {
    std::vector<DuplicateCandidates::Folder> folders;
    std::vector<DuplicateCandidates::Candidate> files;
};

struct Walked {
    bool cancelled = false;
    qint64 candidates = 0;
    std::vector<Found> lists; // by walker thread
};

// Whether the folder can be opened at all; the search does nothing more when it cannot.
bool opens(const QString& folder);

// `progress` is called, from any walker thread, each time the count of candidates reaches a
// multiple of DuplicateScan::progressStep; it may be empty.
Walked walk(const QString& folder, int threads, const CancelToken& cancel,
            const std::function<void(qint64 candidates)>& progress);

} // namespace DuplicateWalk
