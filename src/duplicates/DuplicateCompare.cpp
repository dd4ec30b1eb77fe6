#include "duplicates/DuplicateCompare.h"

#include "duplicates/DuplicateGrouping.h"
#include "duplicates/DuplicateQuickLook.h"

#include "platform/ParallelLoop.h"
#include "platform/Sha256.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <sys/stat.h>

using DuplicateCandidates::Digest;
using DuplicateCandidates::Reading;
using Check = DuplicateOpenFiles::Check;

namespace {

RegularFile::Stamp stampFrom(const struct stat& st) {
    const auto nanoseconds = [](const struct timespec& t) {
        return qint64(t.tv_sec) * 1000000000 + qint64(t.tv_nsec);
    };
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

// What files that may be equal are compared by at a time: two per thread cost little memory, and
// a read call costs little next to copying this much.
constexpr qsizetype comparePiece = 256 * 1024;
static_assert(comparePiece >= DuplicateScan::quickBytes, "a quick look reads into one piece");

} // namespace

DuplicateCompare::DuplicateCompare(DuplicateOpenFiles& files, const CancelToken& cancel,
                                   int threads)
    : m_files(files), m_cancel(cancel), m_threads(threads), m_buffers(size_t(std::max(threads, 1))),
      m_spare(m_buffers.size()) {}

std::vector<DuplicateGroup> DuplicateCompare::settleAll(std::vector<Reading*>& files) {
    m_made.assign(size_t(std::max(m_threads, 1)), {});
    m_files.openFolders(files, m_threads);
    std::vector<std::pair<size_t, size_t>> sizes;
    for (size_t start = 0, end; start < files.size(); start = end) {
        for (end = start + 1; end < files.size() && files[end]->size() == files[start]->size();)
            ++end;
        sizes.emplace_back(start, end - start);
    }
    std::sort(sizes.begin(), sizes.end(), [&files](const auto& a, const auto& b) {
        return files[a.first]->size() * qint64(a.second) >
               files[b.first]->size() * qint64(b.second);
    });
    m_files.prepareOwnTables();
    std::vector<char> ownTable(size_t(std::max(m_threads, 1)), 0);
    ParallelLoop::runOnDisk(sizes.size(), m_threads, [&](size_t s, int worker) {
        // The loop's helper threads end with it; the calling thread does not.
        if (worker != 0 && !ownTable[size_t(worker)]) {
            ownTable[size_t(worker)] = 1;
            m_files.useOwnTable();
        }
        Reading** group = files.data() + sizes[s].first;
        const size_t count = sizes[s].second;
        for (size_t i = 0; i < count; ++i) {
            Reading& r = *group[i];
            if (m_cancel.isCancelled()) {
                m_files.release(r);
                continue;
            }
            if (r.fd < 0)
                r.fd = m_files.openAgain(*r.file, Check::AtTheEnd);
            // One buffer per worker for the whole scan: mapping and unmapping one per thread and
            // pass holds up the other threads' page faults.
            DuplicateQuickLook::look(m_files, r, buffer(m_buffers, worker));
        }
        settle(group, count, worker);
        // Nothing a size opened may outlive its thread's table.
        for (size_t i = 0; i < count; ++i)
            if (group[i]->fd >= 0)
                m_files.release(*group[i]);
    });
    m_files.endOwnTables();
    std::vector<DuplicateGroup> groups;
    for (std::vector<DuplicateGroup>& made : m_made)
        std::move(made.begin(), made.end(), std::back_inserter(groups));
    return groups;
}

// Every file of one size after the quick look: those whose first bytes looked like others' are
// compared with them to the end, the rest are released.
void DuplicateCompare::settle(Reading** files, size_t count, int worker) {
    DuplicateGrouping::digestRuns(files, files + count, [&](Reading** run, size_t n) {
        if (n >= 2)
            compareSet(run, n, worker);
        else
            m_files.release(*run[0]);
    });
}

// Settles a set of files of one size whose first bytes looked alike. They are read side by side,
// piece by piece, and held to the bytes of the first of them that reads: those that agree to the
// end are a group and share one SHA-256, taken of those bytes once. Files that part from the held
// bytes at one piece held the same bytes as each other up to it (and share the digest of them so
// far); those whose pieces there look alike (by a fingerprint) are compared among themselves from
// that piece on, a file alone in its kind drops out, and files that part at different pieces
// cannot be equal. So no file is read past the piece where it stands alone, and a piece is read at
// most twice however many kinds part at once.
void DuplicateCompare::compareSet(Reading* const* set, size_t count, int worker) {
    struct Left {
        std::vector<Reading*> files;
        qint64 offset = 0;            // what the files are known to share before
        std::unique_ptr<Sha256> hash; // of those bytes
    };
    std::vector<Left> left;
    left.push_back({std::vector<Reading*>(set, set + count), 0, std::make_unique<Sha256>()});
    const qint64 size = set[0]->size();
    char* const held = buffer(m_buffers, worker);
    char* const other = buffer(m_spare, worker);
    while (!left.empty()) {
        std::vector<Reading*> same = std::move(left.back().files);
        qint64 offset = left.back().offset;
        const std::unique_ptr<Sha256> hash = std::move(left.back().hash);
        left.pop_back();
        while (offset < size && same.size() >= 2) {
            const qsizetype want = qsizetype(std::min<qint64>(size - offset, comparePiece));
            const bool last = offset + want == size;
            std::vector<Reading*> agree;
            std::vector<std::pair<quint64, Reading*>> differ;
            for (Reading* r : same) {
                if (agree.empty()) {
                    if (readPiece(*r, held, want, offset, last))
                        agree.push_back(r);
                } else if (readPiece(*r, other, want, offset, last)) {
                    if (std::memcmp(held, other, size_t(want)) == 0)
                        agree.push_back(r);
                    else
                        differ.emplace_back(DuplicateQuickLook::fingerprint(other, want), r);
                }
            }
            std::sort(differ.begin(), differ.end());
            for (size_t i = 0, j; i < differ.size(); i = j) {
                for (j = i + 1; j < differ.size() && differ[j].first == differ[i].first;)
                    ++j;
                if (j - i == 1) {
                    m_files.release(*differ[i].second);
                    continue;
                }
                Left kind{{}, offset, std::make_unique<Sha256>()};
                kind.hash->assign(*hash);
                for (size_t k = i; k < j; ++k)
                    kind.files.push_back(differ[k].second);
                left.push_back(std::move(kind));
            }
            // Bytes that no two files share any more need no digest.
            if (agree.size() >= 2)
                hash->update(held, want);
            offset += want;
            same = std::move(agree);
        }
        if (same.size() >= 2 && offset == size)
            if (const std::optional<Digest> digest = DuplicateGrouping::toDigest(hash->finish()))
                m_made[size_t(worker)].push_back(DuplicateGrouping::makeGroup(
                    m_files.folders(), same.data(), same.size(), *digest));
        for (Reading* r : same)
            m_files.release(*r);
    }
}

// Reads one piece of a file of a set into `into`, opening it again by its folder when it is not
// open and keeping it open for its next piece while the budget allows. After its last piece the
// file is closed and must still be the file the walk stamped. False, with the file released, when
// any of that fails or the scan is cancelled.
bool DuplicateCompare::readPiece(Reading& r, char* into, qsizetype size, qint64 offset, bool last) {
    if (m_cancel.isCancelled()) {
        m_files.release(r);
        return false;
    }
    if (r.fd < 0)
        r.fd = m_files.openAgain(*r.file, Check::AtOnce);
    if (r.fd < 0 || m_files.readAt(r.fd, into, size, offset) != size) {
        m_files.release(r);
        return false;
    }
    if (!last) {
        m_files.keepOpen(r);
        return true;
    }
    struct stat st;
    if (::fstat(r.fd, &st) != 0 || st.st_nlink == 0 || stampFrom(st) != r.file->stamp) {
        m_files.release(r);
        return false;
    }
    m_files.closeFile(r);
    return true;
}

// The worker's own piece-sized buffer from `buffers`, made on first use.
char* DuplicateCompare::buffer(std::vector<std::unique_ptr<char[]>>& buffers, int worker) {
    std::unique_ptr<char[]>& b = buffers[size_t(worker)];
    if (!b)
        b.reset(new char[size_t(comparePiece)]);
    return b.get();
}
