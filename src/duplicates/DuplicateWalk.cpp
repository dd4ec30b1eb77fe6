#include "duplicates/DuplicateWalk.h"

#include "duplicates/DuplicateScan.h"

#include "platform/DirectoryWalker.h"
#include "platform/NativePath.h"
#include "platform/WalkRules.h"

#include <atomic>
#include <fcntl.h>

namespace DuplicateWalk {

using DuplicateCandidates::Candidate;
using DuplicateCandidates::Folder;

bool opens(const QString& folder) {
    const QByteArray native = NativePath::encode(folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

Walked walk(const QString& folder, int threads, const CancelToken& cancel,
            const std::function<void(qint64 candidates)>& progress) {
    // Every worker collects into its own lists, a folder once for the run of its files it meets.
    DirectoryWalker::Options walkOptions;
    walkOptions.threads = threads;
    const DirectoryWalker walker(walkOptions, cancel);
    PerWorker<Found> found(walker.threads());
    std::atomic<qint64> counted{0};
    const DirectoryWalker::Result walked = walker.walk(folder, [&](const DirectoryWalker::Entry&
                                                                       e) {
        if (const auto step = WalkRules::pickedFolderStep(e))
            return *step;
        if (!e.isFile() || e.repeatLink || e.sizeBytes < DuplicateScan::minimumSize)
            return DirectoryWalker::Action::Continue;
        Found& mine = found.slot(e.worker);
        if (mine.folders.empty() || mine.folders.back().inode != e.folderInode ||
            mine.folders.back().device != e.folderDevice || mine.folders.back().path != e.folder)
            mine.folders.push_back(Folder{std::string(e.folder), e.folderDevice, e.folderInode});
        mine.files.push_back(Candidate{
            std::string(e.name), quint32(mine.folders.size() - 1), e.allocatedBytes,
            RegularFile::Stamp{e.device, e.inode, e.sizeBytes, e.modifyTimeNs, e.changeTimeNs}});
        const qint64 n = counted.fetch_add(1, std::memory_order_relaxed) + 1;
        if (n % DuplicateScan::progressStep == 0 && progress)
            progress(n);
        return DirectoryWalker::Action::Continue;
    });
    Walked out;
    out.candidates = counted.load();
    out.cancelled = walked.cancelled || cancel.isCancelled();
    out.lists.resize(size_t(walker.threads()));
    for (size_t w = 0; w < out.lists.size(); ++w)
        out.lists[w] = std::move(found.slot(int(w)));
    return out;
}

} // namespace DuplicateWalk
