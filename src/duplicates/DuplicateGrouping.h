#pragma once

#include "duplicates/DuplicateCandidates.h"
#include "duplicates/DuplicateGroup.h"

#include <algorithm>
#include <optional>
#include <QByteArray>
#include <QList>
#include <vector>

// The last stage of the duplicate search: files that stayed equal become a group, and the groups
// are put in the order the screen shows them.
namespace DuplicateGrouping {

using DuplicateCandidates::Digest;
using DuplicateCandidates::Reading;

// A SHA-256 given as bytes; nothing unless it has 32 of them.
std::optional<Digest> toDigest(const std::optional<QByteArray>& bytes);

// Puts files in order of digest and calls take(run, count) for every run of files with one
// digest, a lone file too; files without a digest go last and are left out.
template <typename Take> void digestRuns(Reading** begin, Reading** end, const Take& take) {
    std::sort(begin, end, [](const Reading* a, const Reading* b) {
        if (!a->digest || !b->digest)
            return a->digest.has_value() && !b->digest.has_value();
        return *a->digest < *b->digest;
    });
    for (Reading** i = begin; i < end && (*i)->digest;) {
        Reading** j = i + 1;
        while (j < end && (*j)->digest && *(*j)->digest == *(*i)->digest)
            ++j;
        take(i, size_t(j - i));
        i = j;
    }
}

// Calls take(run, count) for every run of two or more files of one size with equal digests.
// `files` are in order of size; each size's files are put in order of digest.
template <typename Take> void equalRuns(std::vector<Reading*>& files, const Take& take) {
    for (size_t start = 0; start < files.size();) {
        size_t end = start + 1;
        while (end < files.size() && files[end]->size() == files[start]->size())
            ++end;
        digestRuns(files.data() + start, files.data() + end, [&take](Reading** run, size_t n) {
            if (n >= 2)
                take(run, n);
        });
        start = end;
    }
}

// The group of `count` equal files from `run`, its files in order of path, with the walk's
// stamps and allocated sizes beside them.
DuplicateGroup makeGroup(const std::vector<DuplicateCandidates::Folder>& folders,
                         Reading* const* run, size_t count, const Digest& digest);

// Puts groups in descending order of reclaimable bytes, equal ones by their first path.
void putInOrder(QList<DuplicateGroup>& groups);

} // namespace DuplicateGrouping
