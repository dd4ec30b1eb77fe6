#pragma once

#include "duplicates/DuplicateCandidates.h"
#include "duplicates/DuplicateGroup.h"
#include "duplicates/DuplicateOpenFiles.h"

#include "platform/CancelToken.h"

#include <memory>
#include <vector>

// The fourth stage of the duplicate search, and the one that reads most: every size is one piece
// of work, looked at (DuplicateQuickLook) and settled by one thread while the others go on with
// other sizes, so its files are still open when they are compared, and no thread waits for a pass
// to end.
class DuplicateCompare {
public:
    DuplicateCompare(DuplicateOpenFiles& files, const CancelToken& cancel, int threads);

    // The groups of identical files among `files` (those of one size side by side), in no
    // order. Sizes are taken most bytes first; every file is closed afterwards.
    std::vector<DuplicateGroup> settleAll(std::vector<DuplicateCandidates::Reading*>& files);

private:
    void settle(DuplicateCandidates::Reading** files, size_t count, int worker);
    void compareSet(DuplicateCandidates::Reading* const* set, size_t count, int worker);
    bool readPiece(DuplicateCandidates::Reading& r, char* into, qsizetype size, qint64 offset,
                   bool last);
    static char* buffer(std::vector<std::unique_ptr<char[]>>& buffers, int worker);

    DuplicateOpenFiles& m_files;
    const CancelToken& m_cancel;
    const int m_threads;
    std::vector<std::unique_ptr<char[]>> m_buffers;
    std::vector<std::unique_ptr<char[]>> m_spare;    // what compareSet() holds to the first file
    std::vector<std::vector<DuplicateGroup>> m_made; // by worker
};
