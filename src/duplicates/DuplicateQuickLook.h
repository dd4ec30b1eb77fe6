#pragma once

#include "duplicates/DuplicateCandidates.h"
#include "duplicates/DuplicateOpenFiles.h"

#include <QHashFunctions>

// The third stage of the duplicate search: the first DuplicateScan::quickBytes of every file that
// shares its size with another, told apart by a fingerprint at a fraction of a digest's cost.
// Most files differ there and are never read again; the rest are compared from their start.
namespace DuplicateQuickLook {

// A fast 64-bit fingerprint of bytes, to tell apart what differs; equal prints prove nothing. Any
// seed but zero lets Qt hash with the processor's AES instructions, where it has them: several
// times faster than its portable hash.
inline quint64 fingerprint(const char* bytes, qsizetype size) {
    return qHashBits(bytes, size_t(size), 1);
}

// Reads the start of the open file into `buffer` (at least quickBytes long) and gives the file
// its fingerprint as its digest, keeping it open while the budget allows; a file that is not open
// or does not read is released.
void look(DuplicateOpenFiles& files, DuplicateCandidates::Reading& r, char* buffer);

} // namespace DuplicateQuickLook
