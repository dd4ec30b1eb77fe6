#include "duplicates/DuplicateScan.h"

#include "duplicates/DuplicateCompare.h"
#include "duplicates/DuplicateGrouping.h"
#include "duplicates/DuplicateOpenFiles.h"
#include "duplicates/DuplicateSizeGroups.h"
#include "duplicates/DuplicateWalk.h"

#include "platform/DescriptorLimit.h"
#include "platform/NativePath.h"
#include "platform/ParallelLoop.h"
#include "platform/RegularFile.h"
#include "platform/Sha256.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

using DuplicateCandidates::Folder;
using DuplicateCandidates::Reading;

// The passes with an injected hasher (tests): each asks it for every file's digest by path, first
// of quickBytes, then of the whole file; a file no longer than the first prefix is settled by it.
void hashedPasses(std::vector<Reading*> pending, const std::vector<Folder>& folders,
                  const DuplicateScan::Options& options, int threads,
                  QList<DuplicateGroup>& groups) {
    const CancelToken& cancel = options.cancel;
    for (const qint64 prefix : {DuplicateScan::quickBytes, qint64(-1)}) {
        if (pending.empty())
            break;
        ParallelLoop::run(pending.size(), threads, [&](size_t i, int) {
            Reading& r = *pending[i];
            if (cancel.isCancelled()) {
                r.digest.reset();
                return;
            }
            const std::string path =
                DuplicateCandidates::joined(folders[r.file->folder], r.file->name);
            const qint64 end = prefix < 0 ? r.size() : std::min(prefix, r.size());
            if (end == r.size() &&
                RegularFile::stampAt(QByteArray::fromStdString(path)) != r.file->stamp) {
                r.digest.reset();
                return;
            }
            r.digest = DuplicateGrouping::toDigest(options.hasher(path, prefix, cancel));
        });
        if (cancel.isCancelled())
            break;
        std::vector<Reading*> next;
        std::vector<std::pair<Reading* const*, size_t>> settled;
        DuplicateGrouping::equalRuns(pending, [&](Reading* const* run, size_t count) {
            if (prefix < 0 || run[0]->size() <= prefix) {
                settled.emplace_back(run, count);
                return;
            }
            next.insert(next.end(), run, run + count);
        });
        std::vector<DuplicateGroup> made(settled.size());
        ParallelLoop::run(settled.size(), threads, [&](size_t i, int) {
            made[i] = DuplicateGrouping::makeGroup(folders, settled[i].first, settled[i].second,
                                                   *settled[i].first[0]->digest);
        });
        for (DuplicateGroup& group : made)
            groups.append(std::move(group));
        pending = std::move(next);
    }
}

} // namespace

namespace DuplicateScan {

std::optional<QByteArray> digest(const std::function<qsizetype(char*, qsizetype)>& read,
                                 qint64 limit, const CancelToken& cancel) {
    thread_local std::vector<char> buffer(static_cast<size_t>(Sha256::pieceSize));
    Sha256 hash;
    qint64 left = limit < 0 ? std::numeric_limits<qint64>::max() : limit;
    while (left > 0) {
        if (cancel.isCancelled())
            return std::nullopt;
        const qsizetype want = qsizetype(std::min<qint64>(left, Sha256::pieceSize));
        const qsizetype got = read(buffer.data(), want);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        hash.update(buffer.data(), got);
        left -= got;
    }
    return hash.finish();
}

std::optional<QByteArray> fileDigest(const std::string& path, qint64 limit,
                                     const CancelToken& cancel) {
    RegularFile file(NativePath::decode(QByteArray::fromStdString(path)));
    if (!file.isOpen())
        return std::nullopt;
    return digest([&file](char* buffer, qsizetype capacity) { return file.read(buffer, capacity); },
                  limit, cancel);
}

Outcome run(const QString& folder, const Options& options) {
    Outcome outcome;
    if (!DuplicateWalk::opens(folder))
        return outcome;
    outcome.readable = true;
    const CancelToken& cancel = options.cancel;
    const int threads = options.threads > 0 ? options.threads : ParallelLoop::diskThreads();

    DuplicateWalk::Walked walked = DuplicateWalk::walk(folder, threads, cancel, options.progress);
    outcome.candidates = walked.candidates;
    if (walked.cancelled) {
        outcome.cancelled = true;
        return outcome;
    }
    // Sorting by size computes: the processors' count, not the disk's.
    DuplicateSizeGroups::Shared shared =
        DuplicateSizeGroups::shared(walked.lists, std::min(threads, ParallelLoop::flatThreads()));

    // Every file that shares its size with another goes through two passes: a quick look at its
    // first bytes, then, for the files whose first bytes looked like another's of their size, the
    // whole content. The quick look only saves reading on files that already differ near their
    // start: a group needs equal contents either way.
    if (options.hasher) {
        hashedPasses(std::move(shared.files), shared.folders, options, threads, outcome.groups);
    } else {
        const int keptBudget = options.keptDescriptors ? std::max(0, *options.keptDescriptors)
                                                       : DescriptorLimit::spareHalf(threads);
        DescriptorLimit::reserveTable(int(DescriptorLimit::openNow().size()) + keptBudget +
                                      2 * threads);
        DuplicateOpenFiles files(shared.folders, options.read, keptBudget);
        std::vector<DuplicateGroup> made =
            DuplicateCompare(files, cancel, threads).settleAll(shared.files);
        outcome.groups.reserve(qsizetype(made.size()));
        std::move(made.begin(), made.end(), std::back_inserter(outcome.groups));
    }
    if (cancel.isCancelled()) {
        outcome.cancelled = true;
        return outcome;
    }
    DuplicateGrouping::putInOrder(outcome.groups);
    return outcome;
}

} // namespace DuplicateScan
