#pragma once

#include "duplicates/DuplicateCandidates.h"
#include "duplicates/DuplicateWalk.h"

#include <vector>

// The second stage of the duplicate search: only files that share their size with another can
// be equal, so only those are read at all.
namespace DuplicateSizeGroups {

struct Shared {
    // Every folder of the walk, numbered across all the walker threads' lists.
    std::vector<DuplicateCandidates::Folder> folders;
    // The files that share their size with another, in ascending order of size (a size's files
    // side by side, in no order among themselves); `files` points into `readings`.
    std::vector<DuplicateCandidates::Reading> readings;
    std::vector<DuplicateCandidates::Reading*> files;
};

// The walk's files by size. Their folders are renumbered in place, and the readings point at the
// candidates where they are, so `lists` must outlive the result; its folders are moved out.
Shared shared(std::vector<DuplicateWalk::Found>& lists, int threads);

} // namespace DuplicateSizeGroups
